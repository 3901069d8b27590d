// The progress bar: a small self-painting control (class KPPB) showing a filled bar with its percentage,
// which is also its window text.
// One bar exists at a time in the process; the progress page and the uninstall dialog use it.
#pragma once

#include <windows.h>

constexpr const char* ProgressBarClassName = "KPPB";

// Registers the class and creates the bar as a child of parent at rectangle (parent's client
// coordinates). 1 on success; 0 when the class cannot be registered or the window cannot be created,
// and then the class is left unregistered.
int CreateProgressBar(HINSTANCE instance, HWND parent, const RECT& rectangle);

// Destroys the bar and unregisters the class; another bar may be created afterwards.
void DestroyProgressBar();

// Sets the bar to done / total (total above 0). Not limited to a full bar: done above total shows
// more than 100%. Nothing happens without a bar.
void SetProgress(DWORD done, DWORD total);

// Moves the bar's end one pixel to the left: 1 when it moved, 0 when it was already empty or there is
// no bar. May be called from a worker thread; the painting stays on the bar's own thread.
int StepProgressBack();

// The fraction the bar shows now: 1.0 is a full bar.
double ProgressFraction();

LRESULT CALLBACK ProgressBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
