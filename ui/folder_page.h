// The install folder page: where the application goes, and the space it needs.
#pragma once

#include <windows.h>

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// [General] SpaceNeeded as the install folder page read it; the total of the progress bar.
extern DWORD SpaceNeeded;
