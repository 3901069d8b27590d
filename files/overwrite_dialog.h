// The question whether an existing file is replaced by the package's one.
#pragma once

#include <windows.h>

#include <atomic>

#include "files/file_facts.h"

// The answers for all later questions of one kind: 0 ask, 1 replace all, -1 keep all. Set by the
// "No more confirmation." box on the worker's thread; read by the file phase.
extern std::atomic<int> SourceOverwriteAnswer;
extern std::atomic<int> MiscOverwriteAnswer;

enum OverwriteKind { SourceFolderFile = 0, MiscFile = 1 };

struct OverwriteQuestion {
    int kind;
    FileFacts member;  // for a misc file its path is the target path
    FileFacts existing;
};

// Dialog procedure of IDD_OVERWRITE, parameter an OverwriteQuestion. Ends with 1 for Yes, else 0; Abort
// sets the abort flag once the user confirms it.
INT_PTR CALLBACK OverwriteDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the question owned by the current page; 1 to replace, 0 to keep.
int AskOverwrite(const OverwriteQuestion& question);

// "name(version; time; size)" of the facts into buffer (at least 420 bytes).
void DescribeFile(const FileFacts& facts, char* buffer);

// 1 when the member's version is greater, or equal (or unknown on both) and its time is later; with
// orSame, an equal time counts too.
int IsNewer(const FileFacts& member, const FileFacts& existing, int orSame);
