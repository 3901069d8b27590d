// Fitting a path into a one-line control by dropping its leading components.
#pragma once

#include <windows.h>

// Width in pixels that a shortened path may take. Set by whoever shows the path (the progress page
// from its folder text control).
extern int PathWidthLimit;

// text, shortened by whole leading components until it is narrower than PathWidthLimit in the
// control's font or no backslash is left, then shown as "...\" and the rest. The result lives in a
// buffer of this routine, valid until its next call; bounded to 259 characters.
const char* ShortenPathForControl(HWND control, const char* text);
