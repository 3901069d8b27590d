// The install folder page: where the application goes, and the space it needs.
#pragma once

#include <windows.h>

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
