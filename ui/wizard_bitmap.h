// The wizard bitmap: painted by the pages into their sunken frame, centred and cut, never scaled.
#pragma once

#include <windows.h>

// The frame of the page that opened last, in its client coordinates: control 1008 shrunk by one pixel.
// Written by each page with a frame when it opens; read when it paints.
extern RECT BitmapRect;

// Where a bitmap of width x height lands in frame, and which part of it shows.
struct BitmapPlacement {
    int x, y, width, height;  // destination in the page
    int sourceX, sourceY;     // from the bitmap's top-left (the rows counted from the top)
};
BitmapPlacement PlaceBitmap(int width, int height, const RECT& frame);

// Entries of the colour table: biClrUsed, else 2^biBitCount up to 8 bits per pixel, else 0.
DWORD ColourCount(const BITMAPINFOHEADER& header);

// Paints the wizard bitmap (WizardBitmap) into BitmapRect between BeginPaint and EndPaint; with no
// bitmap, or one whose sizes do not fit its data, nothing is painted.
void PaintWizardBitmap(HWND page);

// The control's rectangle in the page's client coordinates.
void GetControlRect(HWND page, int controlId, RECT* rectangle);
