// The install folder page: where the application goes. This much opens the page, proposes the folder
// and leads back or out; checking and creating the folder on Install comes with the file phase.
#include <windows.h>

#include "archive/leading_members.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/strings.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "startup/process_state.h"
#include "ui/background_window.h"
#include "ui/folder_page.h"
#include "ui/pages.h"
#include "ui/private_messages.h"
#include "ui/resources/resource_ids.h"

DWORD SpaceNeeded = 0;

namespace {

void Report(HWND page, LPARAM result) {
    SendMessageA(BackgroundWindow, WM_USER, UM_FOLDER_DONE, result);
    DestroyWindow(page);
}

// "Space needed: 4,883KBytes": the bytes rounded to the nearest kilobyte.
void ShowSpaceNeeded(HWND page) {
    const unsigned long needed =
        static_cast<unsigned long>(ReadIntSetting("General", "SpaceNeeded", 0, InstallInfoFile));
    char kilobytes[PathBufferSize];
    CopyBounded(sizeof kilobytes, kilobytes, GroupDigits(((needed + 512) & 0xFFFFFFFFul) >> 10));
    char text[2 * PathBufferSize];
    wsprintfA(text, CommonText::SpaceSize, SelectText(MessageId::SpaceNeeded), kilobytes);
    SetDlgItemTextA(page, IDC_SPACE_NEEDED, text);
}

// The folder from [General] DefInstallFolder: with a folder variable it names a place of its own,
// otherwise it is taken relative to the package's folder.
void ProposeFolder(HWND page) {
    char folder[PathBufferSize] = "";
    ReadSetting("General", "DefInstallFolder", "", folder, sizeof folder, InstallInfoFile);
    Trim(folder);
    if (!IsAbsolutePath(folder) && !ExpandPathVariables(folder))
        CopyBounded(sizeof folder, folder, JoinPath(InstallFileDir, folder));
    SetDlgItemTextA(page, IDC_FOLDER_EDIT, folder);
}

void Open(HWND page) {
    const int forced = ReadBoolSetting("General", "ForceInstallFolder", 0, InstallInfoFile);
    char caption[2 * PathBufferSize];
    if (forced) {
        CopyBounded(sizeof caption, caption, ModuleCaption);
    } else {
        wsprintfA(caption, CommonText::PageCaption, ModuleCaption,
                  SelectText(MessageId::SelectInstallFolder));
    }
    OpenPage(page, caption, true);
    SendDlgItemMessageA(page, IDC_FOLDER_EDIT, EM_LIMITTEXT, PathBufferSize - 1, 0);
    char title[2 * PathBufferSize];
    wsprintfA(title, SelectText(MessageId::WillBeInstalledTo), Title);
    SetDlgItemTextA(page, IDC_FOLDER_TITLE, title);
    SetDlgItemTextA(page, IDC_FOLDER_INSTRUCTIONS,
                    SelectText(forced ? MessageId::ClickInstall : MessageId::ClickInstallOrBrowse));
    ShowSpaceNeeded(page);
    SetDlgItemTextA(page, IDC_FOLDER_GROUP, SelectText(MessageId::InstallFolder));
    SetDlgItemTextA(page, IDC_BROWSE, SelectText(MessageId::Browse));
    EnableWindow(GetDlgItem(page, IDC_BROWSE), !forced);
    if (LicenseText != nullptr || InfoText != nullptr) {
        SetDlgItemTextA(page, IDC_PREV, SelectText(MessageId::Prev));
        ShowWindow(GetDlgItem(page, IDC_PREV), SW_SHOW);
    }
    SetDlgItemTextA(page, IDC_INSTALL, SelectText(MessageId::Install));
    SetDlgItemTextA(page, IDC_CANCEL, SelectText(MessageId::Cancel));
    ProposeFolder(page);
    HWND edit = GetDlgItem(page, IDC_FOLDER_EDIT);
    if (forced) {
        SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
        SetFocus(GetDlgItem(page, IDC_INSTALL));
    } else {
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
}

}  // namespace

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(page, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            Open(page);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_PREV) Report(page, 2);
            if (LOWORD(wParam) == IDC_CANCEL) SendMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) return ForwardMinimize(SC_MINIMIZE, lParam);
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                if (ShowMessage(page, SelectText(MessageId::AbortInstallQuestion),
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
                    Report(page, 0);
                return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}
