// The background window of install mode: owner of the wizard pages and driver of the install sequence.
#pragma once

#include <windows.h>

constexpr const char* BackgroundClassName = "KPBG";

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
