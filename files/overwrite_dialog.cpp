// The overwrite question: both files described, the suggested answer focused, an answer for all.
#include "files/overwrite_dialog.h"

#include <windows.h>

#include "common/messages.h"
#include "common/paths.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/process_state.h"
#include "ui/resources/resource_ids.h"
#include "common/wizard_state.h"
#include "files/file_question.h"

std::atomic<int> SourceOverwriteAnswer{0};
std::atomic<int> MiscOverwriteAnswer{0};

namespace {

const FileQuestionRules SourceRules = {&SourceOverwriteAnswer, IDC_ABORT, MessageId::Abort,
                                       MessageId::AbortInstallQuestion, &AbortFlag};
const FileQuestionRules MiscRules = {&MiscOverwriteAnswer, IDC_ABORT, MessageId::Abort,
                                     MessageId::AbortInstallQuestion, &AbortFlag};

void Open(HWND dialog, const OverwriteQuestion* question) {
    OpenFileQuestion(dialog, question->kind == MiscFile ? &MiscRules : &SourceRules);

    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(question->existing.path));
    char text[600];
    wsprintfA(text, SelectText(MessageId::FileAlreadyExists), folder);
    SetDlgItemTextA(dialog, IDC_QUESTION, text);
    DescribeFile(question->existing, text);
    SetDlgItemTextA(dialog, IDC_LINE1, text);
    SetDlgItemTextA(dialog, IDC_LINE2, SelectText(MessageId::ReplaceFileQuestion));
    DescribeFile(question->member, text);
    SetDlgItemTextA(dialog, IDC_LINE3, text);

    // An older package file should not replace a newer one at a careless Enter.
    if (!IsNewer(question->member, question->existing, 1))
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_NO_BUTTON)),
                     TRUE);
}

}  // namespace

int IsNewer(const FileFacts& member, const FileFacts& existing, int orSame) {
    int versions = CompareVersions(member.version, existing.version);
    if (versions != 0) return versions > 0;
    int times = CompareFileTime(&member.time, &existing.time);
    return orSame ? times >= 0 : times > 0;
}

void DescribeFile(const FileFacts& facts, char* buffer) {
    char name[PathBufferSize];
    CopyBounded(sizeof name, name, FileNameOf(facts.path));
    char size[32];
    CopyBounded(sizeof size, size, GroupDigits(facts.size));
    SYSTEMTIME time = {};
    FileTimeToSystemTime(&facts.time, &time);
    if (facts.version.high == 0xFFFFFFFF && facts.version.low == 0xFFFFFFFF) {
        wsprintfA(buffer, CommonText::FileWithoutVersion, name, time.wYear, time.wMonth, time.wDay,
                  time.wHour, time.wMinute, size);
    } else {
        wsprintfA(buffer, CommonText::FileWithVersion, name, HIWORD(facts.version.high),
                  LOWORD(facts.version.high), HIWORD(facts.version.low), LOWORD(facts.version.low),
                  time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, size);
    }
}

INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return HandleFileQuestion(dialog, message, wParam);
    Open(dialog, reinterpret_cast<const OverwriteQuestion*>(lParam));
    return FALSE;  // the focus is set
}

namespace {

// The question as the dialog puts it, on one line, with the answer the dialog suggests.
int AnswerOverwriteSilently(const OverwriteQuestion& question) {
    const int replace = IsNewer(question.member, question.existing, 1);
    char folder[PathBufferSize];
    CopyBounded(sizeof folder, folder, FolderOf(question.existing.path));
    char text[1400], line[600];
    wsprintfA(text, MessageOf(MessageId::FileAlreadyExists).english, folder);
    DescribeFile(question.existing, line);
    AppendBounded(sizeof text, text, " ");
    AppendBounded(sizeof text, text, line);
    AppendBounded(sizeof text, text, " ");
    AppendBounded(sizeof text, text, MessageOf(MessageId::ReplaceFileQuestion).english);
    DescribeFile(question.member, line);
    AppendBounded(sizeof text, text, " ");
    AppendBounded(sizeof text, text, line);
    AppendBounded(sizeof text, text, replace ? " Answer: Yes" : " Answer: No");
    LogResult("Question", text);
    return replace;
}

}  // namespace

int AskOverwrite(const OverwriteQuestion& question) {
    if (SilentRun) return AnswerOverwriteSilently(question);
    INT_PTR answer = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_OVERWRITE), CurrentPage,
                                     OverwriteDialogProc, reinterpret_cast<LPARAM>(&question));
    return answer == 1;
}
