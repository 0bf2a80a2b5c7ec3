# Cross-compiles the Windows program with Debian's mingw-w64 and runs its tests under Wine.
# TALLYMERE_WINDOWS_CPU is i686 for the program that ships (32-bit, so that it runs on every
# Windows from 7 on, 64-bit and ARM ones through their x86 layers) or x86_64.
set(CMAKE_SYSTEM_NAME Windows)
set(TALLYMERE_WINDOWS_CPU i686 CACHE STRING "i686 or x86_64")
set(CMAKE_SYSTEM_PROCESSOR ${TALLYMERE_WINDOWS_CPU})
set(triplet ${TALLYMERE_WINDOWS_CPU}-w64-mingw32)

# The posix thread model has std::mutex, which GoogleTest needs; its winpthread is linked in
# statically like the rest.
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows 7 SP1 is the floor: nothing newer is declared, so nothing newer can be called but
# through a run-time look-up, and the program says so in its header.
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
set(CMAKE_RC_FLAGS_INIT "-D_WIN32_WINNT=0x0601 -DWINVER=0x0601")
# One self-contained .exe, with no libstdc++ or libgcc DLL to ship, and byte for byte the same
# from every build of the same sources: no link time in its header.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp \
-Wl,--major-os-version,6,--minor-os-version,1,--major-subsystem-version,6,--minor-subsystem-version,1")

# Wine runs the tests, with the loader of the program's own width.
if(TALLYMERE_WINDOWS_CPU STREQUAL i686)
    set(TALLYMERE_WINDOWS_BITS 32)
else()
    set(TALLYMERE_WINDOWS_BITS 64)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${TALLYMERE_WINDOWS_BITS})
