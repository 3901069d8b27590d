// Settings access: missing keys told from empty ones, quote-safe writes, numbers with defaults, win.ini
// for a blank file name, and the registry string read.
#include "script/settings.h"

#include <limits.h>
#include <string.h>

#include "common/strings.h"

namespace {

// Passed as defaults only, never written: a stored value can equal one of them but not both.
const char FirstSentinel[] = "$1234567890$";
const char SecondSentinel[] = "$ABCDEFGHIJ$";
constexpr DWORD ProbeSize = 40;

// Room for the longest value any caller writes (one full item entry) and the two added quotes.
constexpr size_t QuotedValueSize = FieldBufferSize + 2;

constexpr DWORD NumberTextSize = 40;

DWORD GetString(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size,
                const char* file) {
    if (IsBlank(file)) return GetProfileStringA(section, key, defaultValue, buffer, size);
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

int PutString(const char* section, const char* key, const char* value, const char* file) {
    if (IsBlank(file)) return WriteProfileStringA(section, key, value);
    return WritePrivateProfileStringA(section, key, value, file);
}

int DiffersFromDefault(const char* section, const char* key, const char* sentinel, const char* file) {
    char probe[ProbeSize];
    GetString(section, key, sentinel, probe, sizeof probe, file);
    return strcmp(probe, sentinel) != 0;
}

int IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// "%ld" without the C library's scanner: 1 and the number when text begins with one, else 0. Digits past
// the range of long saturate instead of wrapping.
int ParseLong(const char* text, long* number) {
    while (IsSpace(*text)) ++text;
    int negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (*text < '0' || *text > '9') return 0;
    // Accumulated as a negative number, which reaches LONG_MIN without overflow.
    long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value < (LONG_MIN + digit) / 10) {
            value = LONG_MIN;
        } else {
            value = value * 10 - digit;
        }
    }
    if (!negative) value = value == LONG_MIN ? LONG_MAX : -value;
    *number = value;
    return 1;
}

void FormatLong(long number, char* text) {
    char digits[NumberTextSize];
    size_t count = 0;
    // Unsigned, so that LONG_MIN has a magnitude too.
    unsigned long magnitude = number < 0 ? 0ul - static_cast<unsigned long>(number) : number;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) *text++ = '-';
    while (count > 0) *text++ = digits[--count];
    *text = '\0';
}

}  // namespace

int SettingExists(const char* section, const char* key, const char* file) {
    if (DiffersFromDefault(section, key, FirstSentinel, file)) return 1;
    return DiffersFromDefault(section, key, SecondSentinel, file);
}

char* ReadSetting(const char* section, const char* key, const char* defaultValue, char* buffer, DWORD size,
                  const char* file) {
    // A zero size leaves nowhere to put a terminator.
    if (buffer == nullptr || size == 0) return nullptr;
    if (SettingExists(section, key, file)) {
        GetString(section, key, "", buffer, size, file);
        return buffer;
    }
    if (defaultValue == nullptr) return nullptr;
    CopyBounded(size, buffer, defaultValue);
    return buffer;
}

long ReadIntSetting(const char* section, const char* key, long defaultValue, const char* file) {
    char value[PathBufferSize];
    if (ReadSetting(section, key, nullptr, value, sizeof value, file) == nullptr) return defaultValue;
    long number = 0;
    if (IsBlank(value) || !ParseLong(value, &number)) return defaultValue;
    return number;
}

int ReadBoolSetting(const char* section, const char* key, long defaultValue, const char* file) {
    return ReadIntSetting(section, key, defaultValue, file) != 0 ? 1 : 0;
}

int WriteSetting(const char* section, const char* key, const char* value, const char* file) {
    if (value == nullptr) return PutString(section, key, nullptr, file);
    const char* begin = value;
    while (*begin == ' ' || *begin == '\t') ++begin;
    const char* end = begin + strlen(begin);
    while (end > begin && (end[-1] == ' ' || end[-1] == '\t')) --end;
    size_t length = static_cast<size_t>(end - begin);
    if (length < 2 || *begin != end[-1] || (*begin != '"' && *begin != '\'')) {
        return PutString(section, key, value, file);
    }
    // The profile API strips one pair of enclosing quotes on reading; an extra pair keeps the value's own.
    char quoted[QuotedValueSize];
    // A cut copy would lose its closing quote: refuse rather than store something else.
    if (length + 3 > sizeof quoted) return 0;
    quoted[0] = '"';
    CopyBounded(length + 1, quoted + 1, begin);
    AppendBounded(sizeof quoted, quoted, "\"");
    return PutString(section, key, quoted, file);
}

int WriteIntSetting(const char* section, const char* key, long value, const char* file) {
    char text[NumberTextSize];
    FormatLong(value, text);
    return WriteSetting(section, key, text, file);
}

int WriteBoolSetting(const char* section, const char* key, int flag, const char* file) {
    return WriteIntSetting(section, key, flag != 0 ? 1 : 0, file);
}

int SectionIsEmpty(const char* section, const char* file) {
    char names[PathBufferSize];
    names[0] = '\0';
    ReadSetting(section, nullptr, "", names, sizeof names, file);
    return IsBlank(names);
}

int ForEachNumberedSetting(const char* section, const char* prefix, DWORD valueSize,
                           int (*each)(const char* value), const char* file) {
    int result = 1;
    for (int n = 1;; ++n) {
        char key[64], value[1560];
        wsprintfA(key, "%s%d", prefix, n);
        if (!SettingExists(section, key, file)) return result;
        ReadSetting(section, key, "", value, valueSize < sizeof value ? valueSize : sizeof value, file);
        if (!each(value)) result = 0;
    }
}

int FileHasNoSections(const char* file) { return SectionIsEmpty(nullptr, file); }

int DeleteSetting(const char* section, const char* key, const char* file) {
    return WriteSetting(section, key, nullptr, file);
}

int DeleteSection(const char* section, const char* file) {
    return WriteSetting(section, nullptr, nullptr, file);
}

int FlushSettings(const char* file) { return WriteSetting(nullptr, nullptr, nullptr, file); }

int ReadRegistryString(HKEY key, const char* valueName, char* buffer, DWORD size) {
    if (buffer == nullptr || size == 0) return 0;
    DWORD type = 0;
    DWORD dataSize = size;
    LONG result =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &dataSize);
    if (result == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && dataSize <= size) {
        if (dataSize <= 1) {
            buffer[0] = '\0';
            return 1;
        }
        // A value stored without its terminator comes back without one.
        if (dataSize < size) {
            buffer[dataSize] = '\0';
            return 1;
        }
        if (buffer[size - 1] == '\0') return 1;
        // It fills the buffer and its terminator would not fit: as a buffer too small.
    }
    buffer[0] = '\0';
    return 0;
}
