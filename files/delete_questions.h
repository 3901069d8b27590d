// The uninstaller's questions about single files, both on IDD_DELETE: whether to delete a file that may
// be shared with another application, and one in a logged folder that the installation did not make.
#pragma once

#include <windows.h>

// Dialog procedures; the parameter is the file's full path. Yes ends with 1, No and Abort with 0; Abort
// sets UninstallAbort once the user confirms it. The box sets SharedFileAnswer or SweepAnswer.
INT_PTR CALLBACK SharedFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UnknownFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Show the question owned by the current page (the uninstall dialog); 1 to delete, 0 to keep.
int AskDeleteSharedFile(const char* path);
int AskDeleteUnknownFile(const char* path);
