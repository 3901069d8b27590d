// State of the wizard that other subsystems read: the abort flag and the page that owns messages.
#pragma once

#include <windows.h>

#include <atomic>

// Set when the user aborts the installation (or gives up a volume); read by the workers and the
// message routines, which stay silent once it is set. Shared between threads.
extern std::atomic<int> AbortFlag;

// Set by the progress page while its abort question is open. The file-phase worker waits at its next
// report to the page (WaitWhileWorkerHeld) until it is clear: the worker stops at a point of its own
// choosing, never inside the heap or a file write as a suspended thread could.
extern std::atomic<int> WorkerHeld;
void WaitWhileWorkerHeld();

// A restart is pending because something was scheduled for it. Set by the file phase and the restart
// operations; read by the install sequence.
extern std::atomic<int> RestartNeeded;

// Bytes of the files the file phase installed or kept in place: the size the uninstall entry gives.
// Written by the file phase; read by the uninstall registration after it.
extern unsigned long long InstalledBytes;

// The user agreed to restart now. Set by the restart questions; read when a mode ends.
extern std::atomic<int> RestartRequested;

// The wizard page shown now, owner of every message box; none before the wizard exists. Written by
// the background window on the user-interface thread; read by the workers for their questions.
extern std::atomic<HWND> CurrentPage;

// Set by install mode when the install information has [Background] Header: the background window
// then covers the screen and paints it. Read by the background window.
extern int BackgroundShown;
// The value of [Background] Header, the text painted on the background.
extern char HeaderText[260];
