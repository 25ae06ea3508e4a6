// <windows.h> for the files that also use the program's fatal boundary.
// The system headers declare a kernel function named FatalExit, which our
// own FatalExit (rules/Fatal.h) would clash with; the kernel one is never
// used, so its declaration is renamed out of the way.
#pragma once
#define FatalExit Win32KernelFatalExit
#include <windows.h>
#undef FatalExit
