// The backdrop's gradient. Single-precision running values, as the rows have always been painted.
#include "ui/gradient.h"

namespace {

int Component(COLORREF colour, int index) { return static_cast<int>((colour >> (8 * index)) & 0xFF); }

}  // namespace

void StartGradient(Gradient* gradient, COLORREF top, COLORREF bottom, int height) {
    for (int i = 0; i < 3; ++i) {
        gradient->value[i] = static_cast<float>(Component(top, i));
        // A minimized window has a client area of height 0: no division by it.
        gradient->step[i] = height > 0 ? static_cast<float>(Component(top, i) - Component(bottom, i)) /
                                             static_cast<float>(height)
                                       : 0.0f;
    }
}

COLORREF GradientColour(const Gradient& gradient) {
    BYTE rgb[3];
    for (int i = 0; i < 3; ++i) rgb[i] = static_cast<BYTE>(static_cast<int>(gradient.value[i]) & 0xFF);
    return RGB(rgb[0], rgb[1], rgb[2]);
}

void NextGradientRow(Gradient* gradient) {
    for (int i = 0; i < 3; ++i) gradient->value[i] -= gradient->step[i];
}
