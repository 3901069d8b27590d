// The progress page's bar.
#pragma once

// Moves the bar's end one pixel back; 1 when it moved, 0 at zero or without a bar.
int StepProgressBack();
