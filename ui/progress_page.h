// The progress page: starts the file phase and shows how far it has come.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
