// The UI driver against a program it did not start the module for: Wine's Notepad, another process
// with an edit control and a save question.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tools/ui_driver/ui_driver.h"

namespace {

HWND FirstChildOfClass(HWND parent, const char* className) {
    for (HWND child : ui::ChildWindows(parent))
        if (ui::ClassOf(child) == className) return child;
    return nullptr;
}

TEST(UiDriver, TypesReadsAndAnswersAcrossProcesses) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    ui::Process notepad;
    ASSERT_TRUE(notepad.Start(std::string(windows) + "\\notepad.exe", ""));

    HWND main = ui::WaitForWindow(notepad.Id(), "Notepad", nullptr, 30000);
    ASSERT_NE(main, nullptr);
    HWND edit = FirstChildOfClass(main, "Edit");
    ASSERT_NE(edit, nullptr);

    // Text set in the other process reads back unchanged, line breaks and 8-bit characters included.
    const char* text = "Kelpack driver\r\nsecond line \xB0";
    ASSERT_TRUE(ui::TypeInto(edit, text));
    EXPECT_EQ(ui::WindowText(edit), text);
    EXPECT_EQ(ui::WaitForWindow(notepad.Id(), "Notepad", "no such caption", 200), nullptr);

    // Closing a changed document asks a question; answering No ends the program.
    SendMessageA(edit, EM_SETMODIFY, TRUE, 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    HWND question = ui::WaitForMessageBox(notepad.Id(), 30000);
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(ui::MessageBoxText(question).empty());
    EXPECT_FALSE(ui::CaptureScreen(question, "ui-driver-notepad-question").empty());
    EXPECT_TRUE(ui::ClickButton(question, IDNO));
    EXPECT_TRUE(notepad.WaitForExit(30000));
    EXPECT_EQ(notepad.ExitCode(), 0u);
}

}  // namespace
