# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, for
# std::thread and std::mutex). scripts/build-windows.sh uses it:
#   cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(POLYPORT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${POLYPORT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${POLYPORT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${POLYPORT_MINGW_TRIPLE}-windres)

# Libraries and headers come from the Windows sysroot only, never the
# host's /usr (its zlib or Qt would link, or fail to, for the wrong system).
set(CMAKE_FIND_ROOT_PATH /usr/${POLYPORT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The .exe then runs without libstdc++-6.dll, libgcc_s_seh-1.dll and
# libwinpthread-1.dll beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets ctest and add_test run the .exe under Wine where it is installed.
find_program(POLYPORT_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(POLYPORT_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${POLYPORT_WINE})
endif()
