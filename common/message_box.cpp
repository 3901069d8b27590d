// Message boxes with the module caption.
#include "common/message_box.h"

#include "common/messages.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/wizard_state.h"

char ModuleCaption[260] = "Kelpack";

int ShowMessage(HWND owner, const char* text, UINT style) {
    if (SilentRun) return AnswerSilently(InEnglish(text), style);
    return MessageBoxA(owner, text, ModuleCaption, style);
}

int ShowMessageAbout(HWND owner, MessageId id, const char* argument, UINT style) {
    char shown[PathBufferSize];
    CopyBounded(sizeof shown, shown, argument);
    char message[1024];  // the longest text with a whole path buffer fits
    wsprintfA(message, SilentRun ? MessageOf(id).english : SelectText(id), shown);
    return ShowMessage(owner, message, style);
}

int ShowWorkMessage(MessageId id, const char* argument, UINT style) {
    if (AbortFlag) return 0;
    if (argument == nullptr) return ShowMessage(CurrentPage, SelectText(id), style);
    return ShowMessageAbout(CurrentPage, id, argument, style);
}
