// Pages that are not built yet. The progress page comes with the file phase; until then the install
// folder page does not lead to it, and this procedure only closes itself should it ever be shown.
#include "ui/progress_page.h"

INT_PTR CALLBACK ProgressPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        DestroyWindow(page);
        return TRUE;
    }
    return FALSE;
}
