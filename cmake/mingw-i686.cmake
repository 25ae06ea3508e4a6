# Cross build of the Windows programs: 32-bit MinGW-w64, run through Wine.
set(LORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
