// Command identifiers, shared by the resources and the window procedure.
// They arrive in the low word of WM_COMMAND's wParam.
#pragma once

#define IDM_DRAW 100  // sent by the window to itself while it is created
#define IDM_COPY 101
#define IDM_PRINT 102
#define IDM_ABOUT 103
