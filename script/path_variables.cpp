// The {Name} path variables and their expansion in install-information values.
#include "script/path_variables.h"

#include <string.h>

#include "common/strings.h"

char WinDrive[260] = "";
char WinDir[260] = "";
char WinSysDir[260] = "";
char ProgramFilesDir[260] = "";
char CommonFilesDir[260] = "";
char InstallDrive[260] = "";
char InstallDir[260] = "";
char InstallFileDrive[260] = "";
char InstallFileDir[260] = "";
char TempFolder[260] = "";
char WorkFolder[260] = "";
char DeskTopDir[260] = "";
char StartMenuDir[260] = "";
char ProgramMenuDir[260] = "";
char StartupMenuDir[260] = "";
char QuickLaunchDir[260] = "";
char SendToDir[260] = "";

namespace {

struct Variable {
    const char* token;
    const char* value;
};

// The folder variables, in the order they are replaced; an occurrence of any of them is what the
// install folder page asks about.
const Variable FolderVariables[] = {
    {"{WinDrive}", WinDrive},
    {"{WinDir}", WinDir},
    {"{WinSysDir}", WinSysDir},
    {"{ProgramFiles}", ProgramFilesDir},
    {"{CommonFiles}", CommonFilesDir},
    {"{InstallDrive}", InstallDrive},
    {"{InstallDir}", InstallDir},
    {"{InstallFileDrive}", InstallFileDrive},
    {"{InstallFileDir}", InstallFileDir},
    {"{TempDir}", TempFolder},
    {"{UserTempDir}", WorkFolder},
};

const Variable ShellFolderVariables[] = {
    {"{DeskTop}", DeskTopDir},         {"{StartMenu}", StartMenuDir},     {"{ProgramMenu}", ProgramMenuDir},
    {"{StartupMenu}", StartupMenuDir}, {"{QuickLaunch}", QuickLaunchDir}, {"{SendTo}", SendToDir},
};

// Both brace escapes in one pass: a brace that one of them produces never pairs up with the text
// behind it ("{{}}}" is a brace followed by "}}", not an escaped "}"). The text never grows here.
void ExpandBraceEscapes(char* text) {
    char work[PathBufferSize];
    CopyBounded(sizeof work, work, text);
    char* out = text;
    for (const char* p = work; *p != '\0';) {
        if (p[0] == '{' && (p[1] == '{' || p[1] == '}') && p[2] == '}') {
            *out++ = p[1];
            p += 3;
        } else {
            *out++ = *p++;
        }
    }
    *out = '\0';
}

}  // namespace

int ReplaceToken(char* text, const char* token, const char* value) {
    if (text == nullptr || token == nullptr || token[0] == '\0') return 0;
    // The value may be the text itself (a variable expanded in place), so it is taken before the text
    // is cleared.
    char replacement[PathBufferSize];
    CopyBounded(sizeof replacement, replacement, value);
    size_t replacementLength = strlen(replacement);
    int endsWithBackslash = replacementLength > 0 && replacement[replacementLength - 1] == '\\';

    char work[PathBufferSize];
    CopyBounded(sizeof work, work, text);
    text[0] = '\0';

    size_t tokenLength = strlen(token);
    int found = 0;
    // Searching the work area rather than the result keeps a value that holds the token from being
    // expanded again.
    char* rest = work;
    for (char* hit = strstr(rest, token); hit != nullptr; hit = strstr(rest, token)) {
        found = 1;
        *hit = '\0';
        AppendBounded(PathBufferSize, text, rest);
        AppendBounded(PathBufferSize, text, replacement);
        rest = hit + tokenLength;
        // "{InstallDir}\a.txt" with a drive root as the folder must not give "C:\\a.txt".
        if (endsWithBackslash && *rest == '\\') ++rest;
    }
    AppendBounded(PathBufferSize, text, rest);
    return found;
}

void ExpandShellFolders(char* text) {
    if (IsBlank(text)) return;
    for (const Variable& variable : ShellFolderVariables) ReplaceToken(text, variable.token, variable.value);
}

int ExpandPathVariables(char* text) {
    if (IsBlank(text)) return 0;
    int folderFound = 0;
    for (const Variable& variable : FolderVariables) {
        if (ReplaceToken(text, variable.token, variable.value)) folderFound = 1;
    }
    // win.ini is addressed by an empty file name.
    ReplaceToken(text, "{WinIni}", "");

    SYSTEMTIME now;
    GetLocalTime(&now);
    char date[16];
    wsprintfA(date, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    ReplaceToken(text, "{InstallDate}", date);

    ExpandShellFolders(text);
    ExpandBraceEscapes(text);
    return folderFound;
}
