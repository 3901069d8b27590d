// What the questions about single files share: the overwrite question of the installation and the two
// delete questions of the uninstallation. Each has Yes, No and Abort, a "No more confirmation." box that
// turns the answer into the answer for all later questions of its kind, the question icon and a beep.
#pragma once

#include <windows.h>

#include <atomic>

enum class MessageId : unsigned char;

struct FileQuestionRules {
    std::atomic<int>* answerForAll;  // 1 after Yes, -1 after No, when the box is checked
    int abortButton;                 // control id of the Abort button
    MessageId abortLabel;
    MessageId abortQuestion;      // asked before Abort ends the dialog
    std::atomic<int>* abortFlag;  // set when that question is answered Yes
};

// WM_INITDIALOG: keeps the rules for the dialog, sets the caption, the labels of the buttons and of the
// box (unchecked) and beeps. The question text and the file lines are the caller's.
void OpenFileQuestion(HWND dialog, const FileQuestionRules* rules);
// The other messages: painting draws the system's question icon at (15, 15); Yes ends the dialog with 1,
// No and Escape with 0, Abort with 0 once confirmed. The dialog procedure's result.
INT_PTR HandleFileQuestion(HWND dialog, UINT message, WPARAM wParam);
