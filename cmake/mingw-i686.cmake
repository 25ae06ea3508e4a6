# Cross build of the Windows programs: 32-bit MinGW-w64, run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The posix thread model: GoogleTest needs std::mutex, which the win32
# model lacks. Linked statically (see the top level), so no DLL is needed.
# The release takes the win32 model (mingw-i686-release.cmake).
if(NOT LORVANE_MINGW_THREADS)
  set(LORVANE_MINGW_THREADS posix)
endif()
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-${LORVANE_MINGW_THREADS})
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-${LORVANE_MINGW_THREADS})
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and test discovery run the .exe files under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
