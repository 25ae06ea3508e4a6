# The release build of the Windows programs: as mingw-i686.cmake, with the
# win32 thread model. The programs start no thread, and the posix model's
# runtime, linked in statically, would make the checker import functions
# that only Windows Vista and later have (GetTickCount64).
set(LORVANE_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
