// Reading the switches of an unattended run.
#include "common/unattended_switches.h"

#include <string.h>

#include "common/paths.h"
#include "common/strings.h"

namespace {

constexpr size_t WordSize = 1024;

int IsBlankChar(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// 1 when word starts with name, compared without regard to case.
int StartsWith(const char* word, const char* name) {
    for (; *name != '\0'; ++word, ++name)
        if (Upper(*word) != *name) return 0;
    return 1;
}

// The next word of the line into word, its quotes taken out; quoted is set when it had any. Returns
// where the line goes on, null at its end; unterminated is set for a quote left open.
const char* NextWord(const char* line, char* word, int* quoted, int* unterminated) {
    while (IsBlankChar(*line)) ++line;
    if (*line == '\0') return nullptr;
    size_t length = 0;
    int inQuotes = 0;
    *quoted = 0;
    for (; *line != '\0' && (inQuotes || !IsBlankChar(*line)); ++line) {
        if (*line == '"') {
            inQuotes = !inQuotes;
            *quoted = 1;
        } else if (length + 1 < WordSize) {
            word[length++] = *line;
        }
    }
    word[length] = '\0';
    *unterminated = inQuotes;
    return line;
}

struct ValueSwitch {
    const char* name;  // upper case, with its "="
    int absolute;      // the value must be an absolute path
};
const ValueSwitch ValueSwitches[] = {{"/D=", 1}, {"/LOG=", 0}, {"/U=", 1}};
constexpr int ValueCount = sizeof ValueSwitches / sizeof ValueSwitches[0];

void Blame(char* problem, const char* word) {
    if (problem[0] == '\0') CopyBounded(PathBufferSize, problem, word);
}

// A value given: not empty, fits a path buffer, and absolute where it must be.
int IsGoodValue(const ValueSwitch& kind, char* value) {
    Trim(value);
    return value[0] != '\0' && strlen(value) < PathBufferSize && (!kind.absolute || IsAbsolutePath(value));
}

}  // namespace

SwitchesRead ReadUnattendedSwitches(const char* line, UnattendedSwitches* switches, char* problem) {
    memset(switches, 0, sizeof *switches);
    problem[0] = '\0';
    char values[ValueCount][WordSize];
    int given[ValueCount] = {};

    char word[WordSize];
    int quoted = 0, unterminated = 0;
    // The value an unquoted word may still extend: "/D=C:\Program Files\App".
    char* open = nullptr;
    for (const char* at = line != nullptr ? line : ""; (at = NextWord(at, word, &quoted, &unterminated));) {
        if (unterminated) Blame(problem, word);
        if (word[0] != '/' && open != nullptr && !quoted) {
            AppendBounded(WordSize, open, " ");
            AppendBounded(WordSize, open, word);
            continue;
        }
        open = nullptr;
        if (StartsWith(word, "/S") && word[2] == '\0') {
            switches->silent = 1;
            continue;
        }
        int known = 0;
        for (int i = 0; i < ValueCount; ++i) {
            if (!StartsWith(word, ValueSwitches[i].name)) continue;
            known = given[i] = 1;
            CopyBounded(WordSize, values[i], word + strlen(ValueSwitches[i].name));
            if (!quoted) open = values[i];
        }
        if (!known) Blame(problem, word);
    }

    char* const targets[ValueCount] = {switches->folder, switches->logFile, switches->uninstallInfo};
    for (int i = 0; i < ValueCount; ++i) {
        if (!given[i]) continue;
        if (!IsGoodValue(ValueSwitches[i], values[i])) {
            char named[WordSize];
            CopyBounded(sizeof named, named, ValueSwitches[i].name);
            AppendBounded(sizeof named, named, values[i]);
            Blame(problem, named);
        } else {
            CopyBounded(PathBufferSize, targets[i], values[i]);
        }
    }
    if (!switches->silent) return SwitchesRead::NotSilent;
    return problem[0] == '\0' ? SwitchesRead::Silent : SwitchesRead::Malformed;
}
