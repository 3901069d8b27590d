// The module run as a user runs it: the bare module and a truncated package in bootstrap mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/e2e/install_run.h"
#include "tools/ui_driver/ui_driver.h"

namespace {

const char* const BareModuleText =
    "This file, Kelpack install/uninstall module V2.70, must be invoked with proper command line argument.";

// Copies the first size bytes of the built module to C:\kp-e2e\name, where a user might keep a download.
std::string PlaceModule(const char* name, DWORD size) {
    const std::string target = std::string("C:\\kp-e2e\\") + name;
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    testsupport::SetFileBytes(target, e2e::ModuleBytes().substr(0, size));
    return target;
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
        ui::Process process;
        ASSERT_TRUE(process.Start(PlaceModule(c.file, c.size), c.arguments));
        HWND box = ui::WaitForMessageBox(process.Id(), e2e::Patience);
        if (box == nullptr) process.Kill();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ui::WindowText(box), "Kelpack");
        EXPECT_EQ(ui::MessageBoxText(box), c.text);
        EXPECT_EQ(ui::ButtonLabels(box), std::vector<std::string>{"OK"});
        EXPECT_FALSE(ui::CaptureScreen(box, c.screenshot).empty()) << "screenshot " << c.screenshot;
        EXPECT_TRUE(ui::ClickButton(box, IDOK));
        EXPECT_TRUE(process.WaitForExit(e2e::Patience)) << "the module ends after its message";
        EXPECT_EQ(process.ExitCode(), c.exitCode);
        process.Kill();  // when it did not end
    }
}

}  // namespace
