# The Debian packages each command needs; sourced by run.sh and test.sh.
# qt6-qpa-plugins holds the X11 and offscreen platforms; the font draws the Chinese captions.
build_packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins fonts-wqy-microhei)
test_packages=(libgtest-dev xvfb xdotool)
