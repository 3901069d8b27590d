// State of the wizard that other subsystems read: the abort flag and the page that owns messages.
#pragma once

#include <windows.h>

#include <atomic>

// Set when the user aborts the installation (or gives up a volume); read by the workers and the
// message routines, which stay silent once it is set. Shared between threads.
extern std::atomic<int> AbortFlag;

// The wizard page shown now, owner of every message box; none before the wizard exists. Written by
// the background window on the user-interface thread; read by the workers for their questions.
extern std::atomic<HWND> CurrentPage;
