// The state of a silent run: no window, no question, a result log and an exit code for the caller.
#pragma once

#include <windows.h>

// Exit codes of silent runs; interactive runs keep 0 and -1.
namespace SilentExit {
constexpr int Done = 0;
constexpr int RestartNeeded = 3010;
constexpr int Cancelled = 1602;
constexpr int Failed = 1603;
constexpr int AlreadyRunning = 1618;
constexpr int BadSwitch = 1639;
}  // namespace SilentExit

// Set once at the start of a silent run, before anything could show a window; never cleared.
extern int SilentRun;
// Set by the first error message of a silent run (a message with an OK button only and a warning or
// error icon): the run ends with SilentExit::Failed at its next step.
extern int SilentFailed;

// Opens the result log: a new file when fresh is set, else appended to. Nothing is logged without one.
void OpenResultLog(const char* path, int fresh);
// One line: the local time, the kind ("Start", "Message", ...), ": " and the text with its line breaks
// made blanks. Each line is written whole, at once, so that a log cut off by a crash is still read.
void LogResult(const char* kind, const char* text);
// The exit code line, last in the log; returns the code.
int LogExitCode(int code);

// What a silent run answers to a message box of this style, logging the text as a message or, with more
// than an OK button, a question with the answer: the default button of a question, Cancel for Retry or
// Cancel (a retry without a person changes nothing), OK otherwise.
int AnswerSilently(const char* englishText, UINT style);
