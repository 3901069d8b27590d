// The header and footer styles of the backdrop: fourteen hexadecimal fields and a face name.
#include <string.h>

#include "common/strings.h"
#include "ui/background_window.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One hexadecimal number as "%lx" reads it: leading white space, a sign, an optional 0x, at least one
// digit; the value wraps to 32 bits. Returns the text after it, or null when there is no number.
const char* ReadHexField(const char* text, DWORD* value) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && HexDigit(text[2]) >= 0) text += 2;
    if (HexDigit(*text) < 0) return nullptr;
    DWORD number = 0;
    for (int digit; (digit = HexDigit(*text)) >= 0; ++text) number = number * 16 + static_cast<DWORD>(digit);
    *value = negative ? 0u - number : number;
    return text;
}

}  // namespace

void ParseTextStyle(const char* value, TextStyle* style) {
    LOGFONTA& font = style->font;
    LONG* const longs[] = {&font.lfHeight, &font.lfWidth, &font.lfEscapement, &font.lfOrientation,
                           &font.lfWeight};
    BYTE* const bytes[] = {&font.lfItalic,  &font.lfUnderline,     &font.lfStrikeOut,
                           &font.lfCharSet, &font.lfOutPrecision,  &font.lfClipPrecision,
                           &font.lfQuality, &font.lfPitchAndFamily};
    const char* text = value;
    for (int field = 0; field < 14; ++field) {
        if (field > 0 && *text++ != ',') break;
        DWORD number;
        text = ReadHexField(text, &number);
        if (text == nullptr) break;
        if (field == 0)
            style->colour = number;
        else if (field <= 5)
            *longs[field - 1] = static_cast<LONG>(number);
        else
            *bytes[field - 6] = static_cast<BYTE>(number);
    }

    // The face name follows the fourteenth comma, whatever the numbers before it were.
    const char* face = value;
    for (int commas = 0; commas < 14 && face != nullptr; ++commas) {
        face = strchr(face, ',');
        if (face != nullptr) ++face;
    }
    if (face != nullptr) CopyBounded(sizeof font.lfFaceName, font.lfFaceName, face);
}
