// Fitting a path into a one-line control: the last components say most about where a file goes.
#include "common/shorten_path.h"

#include "common/scoped_handles.h"
#include "common/strings.h"

int PathWidthLimit = 0;

namespace {

char ShortenedPath[260];

int TextWidth(HDC dc, const char* text) {
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

}  // namespace

const char* ShortenPathForControl(HWND control, const char* text) {
    // text may be the previous result, so work on a copy.
    char remaining[260];
    CopyBounded(sizeof remaining, remaining, text);
    const char* rest = remaining;
    bool shortened = false;
    if (ScopedWindowDc dc(control); dc.get() != nullptr) {
        while (TextWidth(dc.get(), rest) >= PathWidthLimit) {
            const char* backslash = rest;
            while (*backslash != '\0' && *backslash != '\\') ++backslash;
            if (*backslash == '\0') break;
            rest = backslash + 1;
            shortened = true;
        }
    }
    ShortenedPath[0] = '\0';
    if (shortened) AppendBounded(sizeof ShortenedPath, ShortenedPath, "...\\");
    AppendBounded(sizeof ShortenedPath, ShortenedPath, rest);
    return ShortenedPath;
}
