// Bounded string routines: appending, copying, trimming, field splitting, digit grouping.
#include "common/strings.h"

#include <string.h>

namespace {

int IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// Length of text, but never more than limit; the text need not be terminated within limit.
size_t BoundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != '\0') ++length;
    return length;
}

}  // namespace

void AppendBounded(size_t size, char* text, const char* addition) {
    if (size == 0 || addition == nullptr) return;
    size_t length = BoundedLength(text, size);
    if (length + 1 >= size) return;
    size_t room = size - 1 - length;
    size_t count = BoundedLength(addition, room);
    // memmove: the addition may be a part of text itself.
    memmove(text + length, addition, count);
    text[length + count] = '\0';
}

void CopyBounded(size_t size, char* dest, const char* source) {
    if (size == 0) return;
    if (source == nullptr) {
        dest[0] = '\0';
        return;
    }
    size_t count = BoundedLength(source, size - 1);
    memmove(dest, source, count);
    dest[count] = '\0';
}

int IsBlank(const char* text) {
    if (text == nullptr) return 1;
    for (; *text != '\0'; ++text) {
        if (!IsBlankChar(*text)) return 0;
    }
    return 1;
}

void TrimLeft(char* text) {
    if (text == nullptr) return;
    size_t skip = 0;
    while (IsBlankChar(text[skip])) ++skip;
    if (skip > 0) memmove(text, text + skip, strlen(text + skip) + 1);
}

void TrimRight(char* text) {
    if (text == nullptr) return;
    size_t length = strlen(text);
    while (length > 0 && IsBlankChar(text[length - 1])) --length;
    text[length] = '\0';
}

void Trim(char* text) {
    TrimRight(text);
    TrimLeft(text);
}

void TrimLeftBackslashes(char* text) {
    if (text == nullptr) return;
    TrimLeft(text);
    size_t skip = 0;
    while (text[skip] == '\\') ++skip;
    if (skip > 0) memmove(text, text + skip, strlen(text + skip) + 1);
}

void TrimRightBackslashes(char* text) {
    if (text == nullptr) return;
    TrimRight(text);
    size_t length = strlen(text);
    while (length > 0 && text[length - 1] == '\\') --length;
    text[length] = '\0';
}

void TrimBackslashes(char* text) {
    TrimRightBackslashes(text);
    TrimLeftBackslashes(text);
}

void QuotePath(char* text) {
    if (text == nullptr) return;
    Trim(text);
    size_t length = strlen(text);
    int quoteStart = length == 0 || text[0] != '"';
    int quoteEnd = length == 0 || text[length - 1] != '"';
    if (quoteStart) {
        if (length > PathBufferSize - 2) length = PathBufferSize - 2;
        memmove(text + 1, text, length);
        text[0] = '"';
        text[length + 1] = '\0';
    }
    if (quoteEnd) AppendBounded(PathBufferSize, text, "\"");
}

void SplitFields(const char* text, char* const* fields, int count) {
    for (int i = 0; i < count; ++i) NextField(fields[i], i == 0 ? text : nullptr);
}

const char* NextField(char* out, const char* text) {
    static char buffer[FieldBufferSize];
    static char* position = buffer;
    if (text != nullptr) {
        CopyBounded(sizeof buffer, buffer, text);
        position = buffer;
    }
    char* field = position;
    char* comma = strchr(field, ',');
    if (comma != nullptr) {
        *comma = '\0';
        position = comma + 1;
    } else {
        // Stay on the terminator so that further calls give empty fields.
        position = field + strlen(field);
    }
    if (out != nullptr) CopyBounded(PathBufferSize, out, field);
    return field;
}

const char* GroupDigits(unsigned long number) {
    static char buffer[PathBufferSize];
    // Filled from the right: digits, and a comma after every third one while more follow.
    char* p = buffer + sizeof buffer - 1;
    *p = '\0';
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) *--p = ',';
        *--p = static_cast<char>('0' + number % 10);
        number /= 10;
        ++digits;
    } while (number != 0);
    memmove(buffer, p, strlen(p) + 1);
    return buffer;
}

int IsBlankKeyPath(const char* text) {
    if (text == nullptr) return 1;
    for (; *text != '\0'; ++text)
        if (*text != ' ' && *text != '\t' && *text != '\\') return 0;
    return 1;
}

const char* RestAfterFields(const char* text, int count) {
    for (; count > 0 && text != nullptr; --count) {
        text = strchr(text, ',');
        if (text != nullptr) ++text;
    }
    return text != nullptr ? text : "";
}

int LeadingNumber(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    int number = 0;
    for (; *text >= '0' && *text <= '9' && number < 100000; ++text) number = number * 10 + (*text - '0');
    return number;
}
