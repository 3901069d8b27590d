// What every page of the wizard does alike: opening, the bitmap frame, and the minimize that a
// modeless page passes on.
#include "ui/pages.h"

#include "common/process_state.h"
#include "ui/background_window.h"
#include "ui/resources/resource_ids.h"
#include "ui/wizard_bitmap.h"

void OpenPage(HWND page, const char* caption, bool hasBitmapFrame) {
    if (hasBitmapFrame) {
        // The frame's sunken edge stays visible around the bitmap.
        GetControlRect(page, IDC_BITMAP_FRAME, &BitmapRect);
        InflateRect(&BitmapRect, -1, -1);
    }
    HICON icon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_MODULE));
    SendMessageA(page, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetWindowTextA(page, caption);
    SetDlgItemTextA(page, IDC_WIZARD_STAMP, WizardStampValue);
}

bool HandleFramedPage(HWND page, UINT message, LPARAM lParam, INT_PTR* result) {
    *result = FALSE;
    if (message == WM_CTLCOLORSTATIC) {
        // Other statics get the default colours.
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_BITMAP_FRAME)
            *result = reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
        return true;
    }
    if (message == WM_PAINT) {
        PaintWizardBitmap(page);  // the default processing then validates what is left
        return true;
    }
    return false;
}

INT_PTR ForwardMinimize(UINT command, LPARAM lParam) {
    // The background window minimizes and hides its pages with it; the page itself stays as it is.
    SendMessageA(BackgroundWindow, WM_SYSCOMMAND, command, lParam);
    return TRUE;
}
