# Cross build of the Windows programs: 64-bit MinGW-w64, run through wine64
# (the Windows tests on hosts that run no 32-bit code, and on every host).
set(LORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
