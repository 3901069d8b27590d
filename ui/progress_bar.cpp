// The KPPB progress bar: painted off-screen and copied in one blit, so that the many updates of a file
// phase do not flicker.
#include "ui/progress_bar.h"

#include <atomic>
#include <climits>

#include "common/scoped_handles.h"

namespace {

// The bar's state. The rollback worker steps the bar back from its own thread while the user-interface
// thread paints it, so the window and the fraction are atomic.
std::atomic<HWND> Bar{nullptr};
std::atomic<double> Fraction{0.0};
ATOM ClassAtom = 0;
HINSTANCE ClassInstance = nullptr;
// Taken once at creation: the bar is never resized, and every paint should stay cheap.
RECT ClientRect;
HBRUSH FillBrush = nullptr;
HBRUSH RestBrush = nullptr;

void UnregisterBarClass() {
    if (ClassAtom == 0) return;
    UnregisterClassA(ProgressBarClassName, ClassInstance);
    ClassAtom = 0;
    ClassInstance = nullptr;
}

// A fraction far above 1 must not overflow the int that GDI and "%d" take.
int ClampToInt(double value) {
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

// Pixels of the bar filled at fraction: beyond the right edge the filled part simply covers everything.
int FilledWidth(double fraction) {
    const int width = ClientRect.right - ClientRect.left;
    const int filled = ClampToInt(width * fraction);
    return filled > width ? width : filled;
}

int Percentage(double fraction) { return ClampToInt(fraction * 100.0); }

// Every GDI object of one paint is given back before the paint ends.
void DrawBar(HWND window, HDC windowDc) {
    const int width = ClientRect.right - ClientRect.left;
    const int height = ClientRect.bottom - ClientRect.top;
    ScopedMemoryDc memory(CreateCompatibleDC(windowDc));
    ScopedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(windowDc, width, height));
    if (!memory.valid() || !bitmap.valid()) return;
    const HDC memoryDc = memory.get();
    ScopedSelection selected(memoryDc, bitmap.get());

    const double fraction = Fraction;
    RECT filled = ClientRect;
    filled.right = ClientRect.left + FilledWidth(fraction);
    RECT rest = ClientRect;
    rest.left = filled.right;
    FillRect(memoryDc, &filled, FillBrush);
    FillRect(memoryDc, &rest, RestBrush);

    char text[16];
    wsprintfA(text, "%d%%", Percentage(fraction));
    // The percentage is also the window's text, for screen readers and other programs that read it.
    char shown[16];
    if (GetWindowTextA(window, shown, sizeof shown) == 0 || lstrcmpA(shown, text) != 0)
        SetWindowTextA(window, text);
    SetBkMode(memoryDc, TRANSPARENT);
    RECT textRect = ClientRect;
    // The text changes colour where the bar ends, so each half contrasts with what lies beneath it.
    ScopedGdiObject<HRGN> filledRegion(CreateRectRgnIndirect(&filled));
    ScopedGdiObject<HRGN> restRegion(CreateRectRgnIndirect(&rest));
    SelectClipRgn(memoryDc, filledRegion.get());
    SetTextColor(memoryDc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    DrawTextA(memoryDc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectClipRgn(memoryDc, restRegion.get());
    SetTextColor(memoryDc, GetSysColor(COLOR_HIGHLIGHT));
    DrawTextA(memoryDc, text, -1, &textRect, DT_SINGLELINE | DT_VCENTER | DT_CENTER);

    BitBlt(windowDc, ClientRect.left, ClientRect.top, width, height, memoryDc, ClientRect.left,
           ClientRect.top, SRCCOPY);
    SelectClipRgn(memoryDc, nullptr);
}

void PaintBar(HWND window) {
    PAINTSTRUCT paint;
    DrawBar(window, BeginPaint(window, &paint));
    EndPaint(window, &paint);
}

}  // namespace

LRESULT CALLBACK ProgressBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            FillBrush = GetSysColorBrush(COLOR_HIGHLIGHT);
            RestBrush = GetSysColorBrush(COLOR_WINDOW);
            GetClientRect(window, &ClientRect);
            Fraction = 0.0;
            return 0;
        case WM_PAINT:
            PaintBar(window);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int CreateProgressBar(HINSTANCE instance, HWND parent, const RECT& rectangle) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ProgressBarWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    windowClass.lpszClassName = ProgressBarClassName;
    // A bar that exists already keeps the class: this call fails and leaves it alone.
    const ATOM atom = RegisterClassA(&windowClass);
    if (atom == 0) return 0;
    ClassAtom = atom;
    ClassInstance = instance;
    HWND bar = CreateWindowExA(WS_EX_CLIENTEDGE, ProgressBarClassName, "", WS_CHILD | WS_VISIBLE,
                               rectangle.left, rectangle.top, rectangle.right - rectangle.left,
                               rectangle.bottom - rectangle.top, parent, nullptr, instance, nullptr);
    if (bar == nullptr) {
        UnregisterBarClass();
        return 0;
    }
    Bar = bar;
    return 1;
}

void DestroyProgressBar() {
    HWND bar = Bar.exchange(nullptr);
    if (bar != nullptr) DestroyWindow(bar);
    UnregisterBarClass();
}

void SetProgress(DWORD done, DWORD total) {
    HWND bar = Bar;
    if (bar == nullptr) return;
    const double fraction = static_cast<double>(done) / static_cast<double>(total);
    const double previous = Fraction.exchange(fraction);
    // A file phase reports every 16 KiB, and a paint costs far more than a block; repaint only when a
    // pixel or the percentage changes. The bar is then either up to date or already due a paint.
    if (FilledWidth(fraction) == FilledWidth(previous) && Percentage(fraction) == Percentage(previous))
        return;
    InvalidateRect(bar, nullptr, FALSE);
}

int StepProgressBack() {
    HWND bar = Bar;
    if (bar == nullptr) return 0;
    RECT client;
    GetClientRect(bar, &client);
    const double width = client.right - client.left;
    const double x = width * Fraction;
    if (!(x > 0.0)) return 0;
    Fraction = x - 1.0 < 0.0 ? 0.0 : (x - 1.0) / width;
    InvalidateRect(bar, nullptr, FALSE);
    return 1;
}

double ProgressFraction() { return Fraction; }
