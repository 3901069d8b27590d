// The silent run's answers and its result log.
#include "common/silent_run.h"

#include "common/scoped_handles.h"
#include "common/strings.h"
#include "common/wizard_state.h"

int SilentRun = 0;
int SilentFailed = 0;

namespace {

char ResultLogPath[260] = "";

// The text on one line: each run of line breaks becomes one blank.
void JoinLines(const char* text, char* line, size_t size) {
    size_t length = 0;
    for (; *text != '\0' && length + 1 < size; ++text) {
        const int isBreak = *text == '\r' || *text == '\n';
        if (isBreak && length > 0 && line[length - 1] == ' ') continue;
        line[length++] = isBreak ? ' ' : *text;
    }
    line[length] = '\0';
}

const char* AnswerName(int answer) {
    switch (answer) {
        case IDYES:
            return "Yes";
        case IDNO:
            return "No";
        case IDRETRY:
            return "Retry";
        case IDABORT:
            return "Abort";
        case IDOK:
            return "OK";
        default:
            return "Cancel";
    }
}

// The button a question's default would press; a retry is never chosen.
int DefaultAnswer(UINT style) {
    const UINT defaultButton = (style & MB_DEFMASK) >> 8;  // 0 first, 1 second, 2 third
    switch (style & MB_TYPEMASK) {
        case MB_YESNO:
            return defaultButton == 0 ? IDYES : IDNO;
        case MB_YESNOCANCEL: {
            static const int buttons[] = {IDYES, IDNO, IDCANCEL};
            return buttons[defaultButton < 3 ? defaultButton : 0];
        }
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        case MB_OK:
            return IDOK;
        default:  // OK or Cancel, Retry or Cancel
            return IDCANCEL;
    }
}

}  // namespace

void OpenResultLog(const char* path, int fresh) {
    CopyBounded(sizeof ResultLogPath, ResultLogPath, path);
    if (!fresh || ResultLogPath[0] == '\0') return;
    ScopedFile file(CreateFileA(ResultLogPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
}

void LogResult(const char* kind, const char* text) {
    if (ResultLogPath[0] == '\0') return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char joined[1200];
    JoinLines(text, joined, sizeof joined);
    char line[1400];
    const int length = wsprintfA(line, "%04u-%02u-%02u %02u:%02u:%02u %s: %s\r\n", now.wYear, now.wMonth,
                                 now.wDay, now.wHour, now.wMinute, now.wSecond, kind, joined);
    // Opened for each line and closed again: another run of the module may append between two lines.
    ScopedFile file(CreateFileA(ResultLogPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    SetFilePointer(file.get(), 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file.get(), line, static_cast<DWORD>(length), &written, nullptr);
}

int LogExitCode(int code) {
    char text[16];
    wsprintfA(text, "%d", code);
    LogResult("Exit code", text);
    return code;
}

int AnswerSilently(const char* englishText, UINT style) {
    const int answer = DefaultAnswer(style);
    if ((style & MB_TYPEMASK) != MB_OK) {
        char question[1200];
        CopyBounded(sizeof question, question, englishText);
        AppendBounded(sizeof question, question, " Answer: ");
        AppendBounded(sizeof question, question, AnswerName(answer));
        LogResult("Question", question);
        return answer;
    }
    LogResult("Message", englishText);
    const UINT icon = style & MB_ICONMASK;
    if (icon == MB_ICONERROR || icon == MB_ICONWARNING) {
        SilentFailed = 1;
        // The file phase stops at its next step, as after the user's abort.
        AbortFlag = 1;
    }
    return answer;
}
