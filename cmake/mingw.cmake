# What both MinGW-w64 cross builds share: set LORVANE_MINGW_ARCH (i686 or
# x86_64) and include this file. The programs run through Wine
# (scripts/wine.sh picks the loader and prefix for the program's machine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LORVANE_MINGW_ARCH})

# The posix thread model: GoogleTest needs std::mutex, which the win32
# model lacks. Linked statically (see the top level), so no DLL is needed.
# The release takes the win32 model (mingw-i686-release.cmake).
if(NOT LORVANE_MINGW_THREADS)
  set(LORVANE_MINGW_THREADS posix)
endif()
set(triple ${LORVANE_MINGW_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-${LORVANE_MINGW_THREADS})
set(CMAKE_CXX_COMPILER ${triple}-g++-${LORVANE_MINGW_THREADS})
set(CMAKE_RC_COMPILER ${triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and test discovery run the .exe files under Wine.
get_filename_component(scripts ${CMAKE_CURRENT_LIST_DIR}/../scripts ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${scripts}/wine.sh)
