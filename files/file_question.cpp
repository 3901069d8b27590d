// The common behaviour of the file questions.
#include "files/file_question.h"

#include "common/message_box.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "ui/resources/resource_ids.h"

namespace {

const FileQuestionRules* RulesOf(HWND dialog) {
    return reinterpret_cast<const FileQuestionRules*>(GetPropA(dialog, "KPFQ"));
}

void EndWithAnswer(HWND dialog, int answer, INT_PTR result) {
    const FileQuestionRules* rules = RulesOf(dialog);
    if (rules != nullptr && IsDlgButtonChecked(dialog, IDC_NO_MORE_CONFIRMATION) == BST_CHECKED)
        *rules->answerForAll = answer;
    RemovePropA(dialog, "KPFQ");
    EndDialog(dialog, result);
}

void Paint(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    DrawIcon(dc, 15, 15, LoadIconA(nullptr, IDI_QUESTION));
    EndPaint(dialog, &paint);
}

INT_PTR HandleCommand(HWND dialog, WORD control) {
    const FileQuestionRules* rules = RulesOf(dialog);
    if (rules == nullptr) return FALSE;
    if (control == IDC_YES_BUTTON) {
        EndWithAnswer(dialog, 1, 1);
    } else if (control == IDC_NO_BUTTON) {
        EndWithAnswer(dialog, -1, 0);
    } else if (control == IDCANCEL) {  // Escape keeps this file and decides nothing for the others
        RemovePropA(dialog, "KPFQ");
        EndDialog(dialog, 0);
    } else if (control == rules->abortButton) {
        if (ShowMessage(dialog, SelectText(rules->abortQuestion),
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
            *rules->abortFlag = 1;
            RemovePropA(dialog, "KPFQ");
            EndDialog(dialog, 0);
        }
    } else {
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void OpenFileQuestion(HWND dialog, const FileQuestionRules* rules) {
    SetPropA(dialog, "KPFQ", const_cast<FileQuestionRules*>(rules));
    SetWindowTextA(dialog, ModuleCaption);
    CheckDlgButton(dialog, IDC_NO_MORE_CONFIRMATION, BST_UNCHECKED);
    SetDlgItemTextA(dialog, IDC_NO_MORE_CONFIRMATION, SelectText(MessageId::NoMoreConfirmation));
    SetDlgItemTextA(dialog, IDC_YES_BUTTON, SelectText(MessageId::Yes));
    SetDlgItemTextA(dialog, IDC_NO_BUTTON, SelectText(MessageId::No));
    SetDlgItemTextA(dialog, rules->abortButton, SelectText(rules->abortLabel));
    MessageBeep(MB_ICONQUESTION);
}

INT_PTR HandleFileQuestion(HWND dialog, UINT message, WPARAM wParam) {
    if (message == WM_PAINT) {
        Paint(dialog);
        return TRUE;
    }
    return message == WM_COMMAND ? HandleCommand(dialog, LOWORD(wParam)) : FALSE;
}
