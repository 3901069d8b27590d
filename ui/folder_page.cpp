// The install folder page: where the application goes. It proposes a folder, lets the user type or
// browse for another, and on Install checks and creates it before the installation starts.
#include <shlobj.h>
#include <windows.h>

#include "script/leading_members.h"
#include "common/message_box.h"
#include "common/file_system.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/scoped_handles.h"
#include "common/strings.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "common/process_state.h"
#include "ui/background_window.h"
#include "ui/folder_page.h"
#include "ui/pages.h"
#include "common/private_messages.h"
#include "ui/resources/resource_ids.h"

DWORD SpaceNeeded = 0;

namespace {

// What Browse appends to the chosen folder; set anew each time the page opens.
char DefaultSubfolder[PathBufferSize];

void Report(HWND page, LPARAM result) {
    SendMessageA(BackgroundWindow, WM_USER, UM_FOLDER_DONE, result);
    DestroyWindow(page);
}

// "Space needed: 4,883KBytes": the bytes rounded to the nearest kilobyte.
void ShowSpaceNeeded(HWND page) {
    SpaceNeeded = static_cast<DWORD>(ReadIntSetting("General", "SpaceNeeded", 0, InstallInfoFile));
    const unsigned long needed = SpaceNeeded;
    char kilobytes[PathBufferSize];
    CopyBounded(sizeof kilobytes, kilobytes, GroupDigits(((needed + 512) & 0xFFFFFFFFul) >> 10));
    char text[2 * PathBufferSize];
    wsprintfA(text, CommonText::SpaceSize, SelectText(MessageId::SpaceNeeded), kilobytes);
    SetDlgItemTextA(page, IDC_SPACE_NEEDED, text);
}

// Text the page puts there leaves the modified flag clear: only typing counts as the user's choice.
void SetEditText(HWND page, const char* text) {
    SetDlgItemTextA(page, IDC_FOLDER_EDIT, text);
    SendDlgItemMessageA(page, IDC_FOLDER_EDIT, EM_SETMODIFY, FALSE, 0);
}

void ProposeFolder(HWND page) {
    char setting[PathBufferSize] = "";
    ReadSetting("General", "DefInstallFolder", "", setting, sizeof setting, InstallInfoFile);
    char folder[PathBufferSize];
    ProposeInstallFolder(setting, folder, DefaultSubfolder);
    SetEditText(page, folder);
}

void Browse(HWND page) {
    char displayName[MAX_PATH];
    BROWSEINFOA info = {};
    info.hwndOwner = page;
    info.pszDisplayName = displayName;
    info.lpszTitle = SelectText(MessageId::SelectInstallFolderPrompt);
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    ScopedItemList list(SHBrowseForFolderA(&info));
    if (!list.valid()) return;
    char chosen[MAX_PATH] = "";
    if (!SHGetPathFromIDListA(list.get(), chosen)) return;
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, JoinPath(chosen, DefaultSubfolder));
    NormaliseFolder(folder);
    SetEditText(page, folder);
}

// The page stays open with the folder selected for another try.
void BackToEdit(HWND page) {
    HWND edit = GetDlgItem(page, IDC_FOLDER_EDIT);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

// Install: the checks; 1 when the folder is accepted, exists and is in InstallDir.
int AcceptFolder(HWND page) {
    GetDlgItemTextA(page, IDC_FOLDER_EDIT, InstallDir, sizeof InstallDir);
    const int typed = SendDlgItemMessageA(page, IDC_FOLDER_EDIT, EM_GETMODIFY, 0, 0) != 0;
    return CheckInstallFolder(page, typed);
}

void Install(HWND page) {
    if (!AcceptFolder(page)) {
        BackToEdit(page);
        return;
    }
    CopyBounded(sizeof InstallDrive, InstallDrive, DriveOf(InstallDir));
    Report(page, 1);
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

int CheckInstallFolder(HWND owner, int typed) {
    if (IsBlank(InstallDir)) return 0;
    Trim(InstallDir);
    FixDriveRoot(InstallDir);
    NormaliseFolder(InstallDir);
    if (!IsAbsolutePath(InstallDir))
        CopyBounded(sizeof InstallDir, InstallDir, JoinPath(InstallFileDir, InstallDir));

    if (InstallDir[0] == '\\' && InstallDir[1] == '\\') {
        ShowMessage(owner, SelectText(MessageId::CantInstallToRemote), MB_OK | MB_ICONWARNING);
        return 0;
    }
    char drive[PathBufferSize];
    CopyBounded(sizeof drive, drive, DriveOf(InstallDir));
    if (!FolderExists(drive)) {
        ShowMessageAbout(owner, MessageId::InvalidDrive, drive, MB_OK | MB_ICONWARNING);
        return 0;
    }
    if (IsRemovableDrive(InstallDir) && ShowMessageAbout(owner, MessageId::RemovableDrive, drive,
                                                         MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return 0;
    if (typed && !FolderExists(InstallDir) &&
        ShowMessageAbout(owner, MessageId::CreateFolderQuestion, InstallDir, MB_YESNO | MB_ICONQUESTION) !=
            IDYES)
        return 0;
    if (DiskFreeBytes(InstallDir) <= SpaceNeeded) {
        ShowMessageAbout(owner, MessageId::NotEnoughSpace, drive, MB_OK | MB_ICONWARNING);
        return 0;
    }
    // Folders made here stay logged even when the last level fails, so that the rollback finds them.
    CreateLoggedFolders(InstallDir);
    if (!FolderExists(InstallDir)) {
        ShowMessageAbout(owner, MessageId::CantCreateFolder, InstallDir, MB_OK | MB_ICONWARNING);
        return 0;
    }
    return 1;
}

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    INT_PTR result;
    if (HandleFramedPage(page, message, lParam, &result)) return result;
    switch (message) {
        case WM_INITDIALOG:
            Open(page);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BROWSE) Browse(page);
            if (LOWORD(wParam) == IDC_INSTALL) Install(page);
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
