// The background window: the backdrop, the frame that the pages are owned by, and the driver of the
// install sequence. It owns the run's message loop: when it is destroyed, the loop ends.
#include <windows.h>

#include "script/leading_members.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "files/rollback.h"
#include "ui/post_install_workers.h"
#include "script/settings.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "ui/background_window.h"
#include "ui/folder_page.h"
#include "ui/gradient.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "ui/progress_page.h"
#include "ui/resources/resource_ids.h"
#include "ui/system_items.h"
#include "common/wizard_state.h"

namespace {

constexpr UINT_PTR WelcomeTimer = 100;

// The backdrop, read when the window is created; used only when BackgroundShown is set.
TextStyle HeaderStyle;
TextStyle FooterStyle;
int ShadowShown = 0;
char FooterText[260] = "";
COLORREF TopColour = 0;
COLORREF BottomColour = 0;
// The window was minimized at its last position change: restoring it brings the page back.
int WasMinimized = 0;

void ReadTextStyle(const char* key, const char* defaultValue, TextStyle* style) {
    char value[260];
    ReadSetting("Background", key, defaultValue, value, sizeof value, InstallInfoFile);
    *style = TextStyle{};
    ParseTextStyle(value, style);
}

COLORREF ReadColour(const char* key, const char* defaultValue) {
    char value[260];
    ReadSetting("Background", key, defaultValue, value, sizeof value, InstallInfoFile);
    TextStyle style{};  // the colour is the first field of a style
    ParseTextStyle(value, &style);
    return style.colour;
}

void ReadBackdrop() {
    ReadTextStyle("HeaderFont", "ffffff,ffffffd0,0,0,0,2bc,ff,0,0,0,3,2,1,12,Times New Roman", &HeaderStyle);
    ShadowShown = ReadBoolSetting("Background", "Shadow", 1, InstallInfoFile);
    ReadSetting("Background", "Footer", "", FooterText, sizeof FooterText, InstallInfoFile);
    ReadTextStyle("FooterFont", "ffffff,fffffff3,0,0,0,190,0,0,0,0,1,2,1,22,MS Sans Serif", &FooterStyle);
    TopColour = ReadColour("BackgroundColor1", "ff8000");
    BottomColour = ReadColour("BackgroundColor2", "0");
}

void PaintGradient(HDC dc, int width, int height) {
    Gradient gradient;
    StartGradient(&gradient, TopColour, BottomColour, height);
    for (int y = 0; y < height; ++y) {
        ScopedGdiObject<HBRUSH> brush(CreateSolidBrush(GradientColour(gradient)));
        RECT row = {0, y, width, y + 1};
        FillRect(dc, &row, brush.get());
        NextGradientRow(&gradient);
    }
}

void PaintBackdrop(HDC dc, const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    PaintGradient(dc, width, height);
    SetBkMode(dc, TRANSPARENT);

    {
        ScopedGdiObject<HFONT> font(CreateFontIndirectA(&HeaderStyle.font));
        ScopedSelection selected(dc, font.get());
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        const int headerLength = lstrlenA(HeaderText);
        if (ShadowShown) {
            SetTextColor(dc, 0);
            TEXTMETRICA metrics = {};
            GetTextMetricsA(dc, &metrics);
            const int offset = metrics.tmHeight / 10;
            TextOutA(dc, 20 + offset, 16 + offset, HeaderText, headerLength);
        }
        SetTextColor(dc, HeaderStyle.colour);
        TextOutA(dc, 20, 16, HeaderText, headerLength);
    }

    ScopedGdiObject<HFONT> font(CreateFontIndirectA(&FooterStyle.font));
    ScopedSelection selected(dc, font.get());
    SetTextAlign(dc, TA_RIGHT | TA_BOTTOM);
    SetTextColor(dc, FooterStyle.colour);
    TextOutA(dc, width - 10, height - 7, FooterText, lstrlenA(FooterText));
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (BackgroundShown) {
        RECT client;
        GetClientRect(window, &client);
        PaintBackdrop(dc, client);
    }
    EndPaint(window, &paint);
}

void Start(LPTHREAD_START_ROUTINE routine) {
    if (HANDLE worker = StartWorker(routine)) CloseHandle(worker);
}

// A page that cannot be created would leave the run waiting with nothing to click; nothing has been
// changed before the progress page runs, so the run ends.
void Open(HWND window, int templateId, DLGPROC procedure, LPARAM parameter) {
    if (ShowPage(templateId, procedure, parameter) != nullptr) return;
    ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
    DestroyWindow(window);
}

void ClosePage() { SendMessageA(CurrentPage, WM_USER, UM_CLOSE_PAGE, 0); }

// The silent tool is done: the finish page, or the question about the restart it waits for.
void Finish(HWND window) {
    HWND page = CurrentPage;
    SetDlgItemTextA(page, IDC_CURRENT_ITEM, "");
    if (!RestartNeeded) {
        ClosePage();
        FinishAfterRestart = 0;
        Start(FinishWorker);
        return;
    }
    SetForegroundWindow(page);
    if (ShowMessage(page, SelectText(MessageId::RestartToCompleteInstall), MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        RestartRequested = 1;
    else
        ShowMessage(page, SelectText(MessageId::CompletedAfterRestart), MB_OK | MB_ICONWARNING);
    ClosePage();
    DestroyWindow(window);
}

void RollBack() {
    HWND page = CurrentPage;
    SetDlgItemTextA(page, IDC_CURRENT_ITEM, "");
    EnableWindow(GetDlgItem(page, IDC_ABORT), FALSE);
    Start(RollbackWorker);
}

// What comes after each page, by how it closed: 0 Cancel, 1 Next (or Install), 2 Prev.
void FollowPage(HWND window, WPARAM code, LPARAM result) {
    switch (code) {
        case UM_WELCOME_DONE:
            if (result == 0)
                DestroyWindow(window);
            else if (LicenseText != nullptr)
                Open(window, IDD_LICENSE, LicensePageProc, 1);
            else
                SendMessageA(window, WM_USER, UM_LICENSE_DONE, 1);
            break;
        case UM_LICENSE_DONE:
            if (result == 0) {
                DestroyWindow(window);
            } else if (InfoText != nullptr) {
                ReturnedFromFolder = 0;
                Open(window, IDD_LICENSE, LicensePageProc, 0);
            } else {
                SendMessageA(window, WM_USER, UM_INFO_DONE, 1);
            }
            break;
        case UM_INFO_DONE:
            if (result == 0)
                DestroyWindow(window);
            else if (result == 2)
                Open(window, IDD_LICENSE, LicensePageProc, 1);
            else
                Open(window, IDD_FOLDER, FolderPageProc, 0);
            break;
        case UM_FOLDER_DONE:
            if (result == 0) {
                DestroyWindow(window);
            } else if (result == 2) {
                ReturnedFromFolder = 1;
                Open(window, IDD_LICENSE, LicensePageProc, InfoText != nullptr ? 0 : 1);
            } else {
                Open(window, IDD_PROGRESS, ProgressPageProc, 0);
            }
            break;
        case UM_FILES_DONE:
            if (AbortFlag)
                RollBack();
            else
                RunSystemItems();
            break;
        case UM_TOOL_DONE:
            Finish(window);
            break;
        case UM_FINISH_DONE:
            DestroyWindow(window);
            break;
        case UM_ROLLBACK_DONE:
            ClosePage();
            DestroyWindow(window);
            break;
        case UM_ACTIVATE_PAGE:
            SetForegroundWindow(CurrentPage);
            break;
        default:
            break;
    }
}

// Input that reaches the backdrop belongs to the page.
void ForwardToPage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND page = CurrentPage;
    if (page == nullptr) return;
    SetForegroundWindow(page);
    SendMessageA(page, message, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK BackgroundWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            BackgroundWindow = window;
            if (BackgroundShown) ReadBackdrop();
            SetTimer(window, WelcomeTimer, BackgroundShown ? 500 : 50, nullptr);
            return 0;
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_TIMER:
            if (LOWORD(wParam) != WelcomeTimer) break;
            KillTimer(window, WelcomeTimer);
            Open(window, IDD_WELCOME, WelcomePageProc, 0);
            return 0;
        case WM_USER:
            FollowPage(window, wParam, lParam);
            return 0;
        case WM_CLOSE:
            // The page decides: leave, or ask whether to abort.
            if (HWND page = CurrentPage) SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MOVE:
                case SC_CLOSE:
                    ForwardToPage(message, wParam, lParam);
                    return 0;
                case SC_RESTORE:
                    if (HWND page = CurrentPage) SetForegroundWindow(page);
                    break;
            }
            break;
        case WM_KEYDOWN:
            ForwardToPage(message, wParam, lParam);
            return 0;
        case WM_WINDOWPOSCHANGED:
            if (IsIconic(window)) {
                WasMinimized = 1;
            } else {
                if (WasMinimized) PostMessageA(window, WM_USER, UM_ACTIVATE_PAGE, 0);
                WasMinimized = 0;
            }
            break;
        case WM_DESTROY:
            // The pages it owned are gone with it.
            CurrentPage = nullptr;
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
