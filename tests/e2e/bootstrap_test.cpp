// The module run as a user runs it: the bare module and a truncated package in bootstrap mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/e2e/install_run.h"
#include "tools/ui_driver/ui_driver.h"

namespace {

using e2e::Patience;

const char* const BareModuleText =
    "This file, Kelpack install/uninstall module V2.70, must be invoked with proper command line argument.";

// Copies the first size bytes of the built module to C:\kp-e2e\name, where a user might keep a download.
std::string PlaceModule(const char* name, DWORD size) {
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    const std::string source = ui::WinePathOf(ui::Environment("KP_MODULE"));
    const std::string target = std::string("C:\\kp-e2e\\") + name;
    if (!CopyFileA(source.c_str(), target.c_str(), FALSE)) return std::string();
    HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    bool cut = SetFilePointer(file, size, nullptr, FILE_BEGIN) == size && SetEndOfFile(file);
    CloseHandle(file);
    return cut ? target : std::string();
}

struct Outcome {
    std::string caption, text;
    std::vector<std::string> buttons;
    DWORD exitCode = STILL_ACTIVE;
};

// Runs the program, captures and answers its one message box with OK, and waits for its end.
Outcome RunToMessageBox(const std::string& program, const std::string& arguments, const char* screenshot) {
    Outcome outcome;
    ui::Process process;
    if (!process.Start(program, arguments)) {
        ADD_FAILURE() << "cannot start " << program;
        return outcome;
    }
    HWND box = ui::WaitForMessageBox(process.Id(), Patience);
    if (!box) {
        ADD_FAILURE() << "no message box from " << program << " " << arguments;
        process.Kill();
        return outcome;
    }
    outcome.caption = ui::WindowText(box);
    outcome.text = ui::MessageBoxText(box);
    outcome.buttons = ui::ButtonLabels(box);
    EXPECT_FALSE(ui::CaptureScreen(box, screenshot).empty()) << "screenshot " << screenshot;
    EXPECT_TRUE(ui::ClickButton(box, IDOK));
    if (!process.WaitForExit(Patience)) {
        ADD_FAILURE() << "the module did not end after its message";
        process.Kill();
    }
    outcome.exitCode = process.ExitCode();
    return outcome;
}

TEST(Bootstrap, TheBareModuleAsksForACommandLineAndACutPackageIsDamaged) {
    struct Case {
        const char* file;
        DWORD size;
        const char* arguments;
        const char* screenshot;
        const char* text;
        DWORD exitCode;
    };
    // Options are case-sensitive and only five exist; each of the unknown ones runs the bare module's
    // bootstrap.
    const Case cases[] = {
        {"KPinst27.exe", ModuleSize, "", "bootstrap-bare-module", BareModuleText, 0},
        {"KPinst27.exe", ModuleSize, "-X", "bootstrap-unknown-option", BareModuleText, 0},
        {"KPinst27.exe", ModuleSize, "~U", "bootstrap-unknown-option", BareModuleText, 0},
        {"KPinst27.exe", ModuleSize, "~I C:\\package.exe", "bootstrap-unknown-option", BareModuleText, 0},
        {"KPinst27.exe", ModuleSize, "/I", "bootstrap-unknown-option", BareModuleText, 0},
        {"setup.exe", ModuleSize - 1, "", "bootstrap-truncated-package", e2e::PackageDamagedText,
         static_cast<DWORD>(-1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.arguments);
        const std::string program = PlaceModule(c.file, c.size);
        ASSERT_FALSE(program.empty());
        Outcome outcome = RunToMessageBox(program, c.arguments, c.screenshot);
        EXPECT_EQ(outcome.caption, "Kelpack");
        EXPECT_EQ(outcome.text, c.text);
        EXPECT_EQ(outcome.buttons, std::vector<std::string>{"OK"});
        EXPECT_EQ(outcome.exitCode, c.exitCode);
    }
}

}  // namespace
