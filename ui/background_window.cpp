// The background window. It owns the run's message loop: when it is destroyed, the loop ends.
// The wizard pages it will show are not built yet; until then the window stays until it is closed.
#include "ui/background_window.h"

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
