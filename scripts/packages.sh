# The Debian packages each command needs; sourced by the scripts beside it.
# qt6-qpa-plugins holds the X11 and offscreen platforms; the font draws the Chinese captions.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-wqy-microhei)
# Clang and its runtime give the sanitizers and libFuzzer; X11 and Damage watch for the first
# frame in the start-up benchmark; xwd reads the pixels of a real window; unshare and mount give
# the file tests a small disk of their own.
test_packages=(libgtest-dev xvfb xdotool x11-apps clang libclang-rt-dev libbenchmark-dev
    libx11-dev libxdamage-dev util-linux mount)
# The Windows program: the mingw-w64 cross-compilers, for the 32-bit program that ships and a 64-bit
# build; GoogleTest's sources to build it for Windows, Wine to run the tests, and the locale
# sources that make Wine a Chinese Windows. Wine's 32-bit part runs the program that ships, on
# machines that run 32-bit x86 code; it comes from the i386 architecture.
windows_build_packages=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64)
windows_test_packages=(googletest wine wine64 fonts-wqy-microhei xvfb xdotool x11-apps locales)
windows32_test_packages=(wine32:i386)
