// The simple pages of the install wizard (welcome, license/information, finish) and the behaviour that
// every page shares.
#pragma once

#include <windows.h>

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Init parameter: 1 license, 0 information.
INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Modal, run by the finish worker; reads the end-install information file.
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Scrolls the license text from the buttons while a license/information page is open.
LRESULT CALLBACK LicenseKeyHook(int code, WPARAM wParam, LPARAM lParam);

// Set the first time I Agree is pressed; never cleared in a run.
extern int LicenseAgreed;
// The finish page's choices, 1 when the box was checked as it closed. Read by the finish worker.
extern int RunApplicationChosen;
extern int ViewInformationChosen;

// What every page does as it opens: the bitmap rectangle (pages with a frame), the big icon, the
// caption, and the WizardStamp text.
void OpenPage(HWND page, const char* caption, bool hasBitmapFrame);
// What a page with a bitmap frame does alike for some messages: it paints the wizard bitmap, and the
// frame leaves its inside unpainted so that the bitmap stays visible. True when the message was one
// of these, with the dialog procedure's result in *result.
bool HandleFramedPage(HWND page, UINT message, LPARAM lParam, INT_PTR* result);
// A modeless page passes its minimize to the background window, which minimizes with it. TRUE.
INT_PTR ForwardMinimize(UINT command, LPARAM lParam);
