// The background window of install mode: owner of the wizard pages and driver of the install sequence.
#pragma once

#include <windows.h>

constexpr const char* BackgroundClassName = "KPBG";

// The KPBG window; pages and workers send their results to it. Set when it is created.
extern HWND BackgroundWindow;

// The information or license page is shown again after Prev on the install folder page: the
// information page then puts the focus on its Prev button. Written by the background window.
extern int ReturnedFromFolder;

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Creates the page from its template as a modeless dialog owned by the background window; it becomes
// the current page. The previous page destroys itself when its report returns.
HWND ShowPage(int templateId, DLGPROC procedure, LPARAM parameter);

// Starts routine on a new thread (created suspended, resumed at once); the thread handle, or null.
HANDLE StartWorker(LPTHREAD_START_ROUTINE routine);

// Colour and font of the backdrop's header or footer text.
struct TextStyle {
    COLORREF colour;
    LOGFONTA font;
};
// Parses "colour,height,width,escapement,orientation,weight,italic,underline,strikeout,charset,
// outprecision,clipprecision,quality,pitchandfamily,face" (hexadecimal numbers) into style, which the
// caller has zeroed: parsing stops at the first field that is no number, leaving the rest as it was.
void ParseTextStyle(const char* value, TextStyle* style);
