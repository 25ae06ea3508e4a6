// The commands of the menu bar and the function keys.
#pragma once
#include <windows.h>

void Copy(HWND window);
void Print(HWND window);
void About(HWND window);
