// The two delete questions: the file's folder and description, "Delete above file?", No focused.
#include "files/delete_questions.h"

#include "common/messages.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/shorten_path.h"
#include "common/strings.h"
#include "common/uninstall_state.h"
#include "common/wizard_state.h"
#include "files/file_question.h"
#include "files/overwrite_dialog.h"
#include "ui/resources/resource_ids.h"

namespace {

const FileQuestionRules SharedRules = {&SharedFileAnswer, IDC_UNINSTALL_BUTTON, MessageId::UninstallAbort,
                                       MessageId::AbortUninstallQuestion, &UninstallAbort};
const FileQuestionRules UnknownRules = {&SweepAnswer, IDC_UNINSTALL_BUTTON, MessageId::UninstallAbort,
                                        MessageId::AbortUninstallQuestion, &UninstallAbort};

void Open(HWND dialog, const char* path, MessageId heading, const FileQuestionRules* rules) {
    OpenFileQuestion(dialog, rules);
    SetDlgItemTextA(dialog, IDC_DELETE_QUESTION, SelectText(heading));

    HWND folderLine = GetDlgItem(dialog, IDC_DELETE_LINE1);
    RECT line = {};
    GetClientRect(folderLine, &line);
    PathWidthLimit = line.right - line.left - 10;
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(path));
    SetWindowTextA(folderLine, ShortenPathForControl(folderLine, folder));

    FileFacts facts = {};
    CopyBounded(sizeof facts.path, facts.path, path);
    char description[600] = "";
    if (GetFileFacts(&facts)) DescribeFile(facts, description);
    SetDlgItemTextA(dialog, IDC_DELETE_LINE2, description);
    SetDlgItemTextA(dialog, IDC_DELETE_LINE3, SelectText(MessageId::DeleteFileQuestion));
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_NO_BUTTON)), TRUE);
}

INT_PTR DeleteQuestion(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, MessageId heading,
                       const FileQuestionRules* rules) {
    if (message != WM_INITDIALOG) return HandleFileQuestion(dialog, message, wParam);
    Open(dialog, reinterpret_cast<const char*>(lParam), heading, rules);
    return FALSE;  // the focus is on No
}

int Ask(DLGPROC procedure, const char* path) {
    return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_DELETE), CurrentPage, procedure,
                           reinterpret_cast<LPARAM>(path)) == 1;
}

}  // namespace

INT_PTR CALLBACK SharedFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DeleteQuestion(dialog, message, wParam, lParam, MessageId::FileMayBeShared, &SharedRules);
}

INT_PTR CALLBACK UnknownFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return DeleteQuestion(dialog, message, wParam, lParam, MessageId::FileNotInstalledByUs, &UnknownRules);
}

int AskDeleteSharedFile(const char* path) { return Ask(SharedFileDialogProc, path); }
int AskDeleteUnknownFile(const char* path) { return Ask(UnknownFileDialogProc, path); }
