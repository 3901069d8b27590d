// Message boxes with the module caption.
#include "common/message_box.h"

char ModuleCaption[260] = "Kelpack";

int ShowMessage(HWND owner, const char* text, UINT style) {
    return MessageBoxA(owner, text, ModuleCaption, style);
}
