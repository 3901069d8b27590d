// The backdrop's vertical colour gradient, computed row by row as it is painted.
#pragma once

#include <windows.h>

// Running red, green and blue values and their step per row.
struct Gradient {
    float value[3];
    float step[3];
};

// Starts at top; each row moves one height-th of the way towards bottom, so the last of height rows
// stays one step short of it. A height of 0 or less has no rows and no step.
void StartGradient(Gradient* gradient, COLORREF top, COLORREF bottom, int height);

// The colour of the current row: each running value truncated toward zero, its low 8 bits.
COLORREF GradientColour(const Gradient& gradient);

void NextGradientRow(Gradient* gradient);
