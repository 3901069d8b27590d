// The uninstall dialog: the five phases with their markers, a progress bar and the wizard bitmap, while
// the uninstall worker removes the installation.
#pragma once

#include <windows.h>

// Dialog procedure of IDD_UNINSTALL, run modal without owner. Ends with 1 when the uninstallation
// completed and 0 when it was aborted or vetoed.
INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
