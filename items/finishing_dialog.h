// The small box of the run after a restart that registers the servers and type libraries recorded
// during the installation.
#pragma once

#include <windows.h>

// Dialog procedure of IDD_BUSY, run modally without owner. A second after it opens, it registers
// every server of [RegisterServer] and then every type library of [RegisterTypeLibrary] in
// EndInstallFile, keys "1", "2", ... up to the first missing number, and ends with 0. Failures are
// shown owned by the box, and the rest are still tried.
INT_PTR CALLBACK FinishingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The box's work without the box, for a silent run: the registrations as above, their failures told
// through the message routines.
void PerformDeferredRegistrations();
