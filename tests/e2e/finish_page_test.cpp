// The end of an installation without a restart: the silent tool, then the finish page and its actions
// with real targets. What the shell is asked to open for a web address or a text file goes to a recorder
// instead of a browser or an editor: the test points those open commands at cmd, which writes down the
// target it was given.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "tests/e2e/install_run.h"
#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr const char* Folder = "C:\\Program Files\\Finished";
constexpr const char* Asked = "C:\\kp-e2e\\asked.txt";
constexpr const char* ToolSaw = "C:\\kp-e2e\\tool.txt";
constexpr const char* ToolMayEnd = "C:\\kp-e2e\\tool-may-end";
constexpr const char* AppRan = "C:\\kp-e2e\\app.txt";

std::string SystemFolder() {
    char path[MAX_PATH];
    GetSystemDirectoryA(path, sizeof path);
    return path;
}

// The shell's open command of the class, pointed at the recorder; the old one comes back at the end.
// For a document, a class of the test's own is made for its extension, and goes again.
class RecordedOpening {
  public:
    RecordedOpening(const char* progId, const char* extension)
        : progId_(progId), extension_(extension), key_(std::string(progId) + "\\shell\\open\\command") {
        DWORD size = sizeof old_;
        hadOld_ = RegGetValueA(HKEY_CLASSES_ROOT, key_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, old_,
                               &size) == ERROR_SUCCESS;
        if (extension_) SetText(extension_, progId_);
        const std::string recorder = "\"" + SystemFolder() + "\\cmd.exe\" /c echo opened %1>> " + Asked;
        SetText(key_.c_str(), recorder.c_str());
    }
    ~RecordedOpening() {
        if (hadOld_) SetText(key_.c_str(), old_);
        if (!extension_) return;
        RegDeleteTreeA(HKEY_CLASSES_ROOT, extension_);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, progId_);
    }

  private:
    static void SetText(const char* key, const char* text) {
        RegSetKeyValueA(HKEY_CLASSES_ROOT, key, nullptr, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
    }
    const char* progId_;
    const char* extension_;
    std::string key_;
    char old_[1024] = "";
    bool hadOld_ = false;
};

struct Search {
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (IsWindowVisible(window) && ui::WindowText(window).find(search->text) != std::string::npos)
        search->found = window;
    return search->found == nullptr;
}

// A visible top-level window whose caption holds the text, waiting for it; null when none came.
HWND WaitForWindowCaptioned(const char* text) {
    Search search = {text, nullptr};
    for (DWORD waited = 0; search.found == nullptr && waited < e2e::Patience; waited += 200) {
        EnumWindows(MatchCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) Sleep(200);
    }
    return search.found;
}

struct InfoTarget {
    const char* postInfoPath;
    const char* label;
    const char* progId;     // whose open command the shell uses for it
    const char* extension;  // made to name progId, for a document
};

class FinishPage : public e2e::WizardTest, public ::testing::WithParamInterface<InfoTarget> {};

TEST_P(FinishPage, TheSilentToolRunsHiddenThenThePagesChoicesOpenTheirTargets) {
    const InfoTarget& target = GetParam();
    for (const char* file : {Asked, ToolSaw, ToolMayEnd, AppRan}) DeleteFileA(file);
    RecordedOpening recorded(target.progId, target.extension);
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
    const std::string group = std::string(programs) + "\\Finish Group";
    CreateDirectoryA(group.c_str(), nullptr);

    const std::string info =
        std::string("[General]\r\nTitle=Finished\r\nLanguage=1\r\nDefInstallFolder=") + Folder +
        "\r\nConfirmOverwriteSourceFolderFile=0\r\n[Shortcut]\r\nProgramGroupName=Finish Group\r\n"
        "[Run]\r\nSilentToolPath={InstallDir}\\tool.cmd\r\nSilentToolArg=silent\r\nHideWizardWindow=1\r\n"
        "DeleteSilentTool=1\r\nRunAppPath={WinSysDir}\\cmd.exe\r\nRunAppArg=/c cd > " +
        AppRan + "\r\n[Info]\r\nPostInfoPath=" + target.postInfoPath + "\r\n";
    const std::string tool = std::string("@echo off\r\necho %1> ") + ToolSaw + "\r\n:wait\r\n@if not exist " +
                             ToolMayEnd + " goto wait\r\n";
    const std::string package = e2e::WritePackage(
        "finished.exe",
        e2e::WizardMembers(info, {{"Src\\tool.cmd", tool}, {"Src\\readme.kpinfo", "read me"}}));
    HWND folderPage = StartAtFolderPage(package);
    ASSERT_NE(folderPage, nullptr);
    ui::ClickButton(folderPage, IDC_INSTALL);
    HWND progress = Page(IDC_PROGRESS_TITLE);
    ASSERT_NE(progress, nullptr);

    EXPECT_EQ(e2e::WaitForLine(ToolSaw), "silent\r\n");
    EXPECT_FALSE(IsWindowVisible(progress)) << "the page makes way for the tool";
    EXPECT_TRUE(IsWindowVisible(Backdrop()));
    testsupport::SetFileBytes(ToolMayEnd, "");

    HWND page = Page(IDC_COMPLETED);
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(GetFileAttributesA((std::string(Folder) + "\\tool.cmd").c_str()) != INVALID_FILE_ATTRIBUTES)
        << "the tool is deleted";
    ExpectTexts(page, {{IDC_COMPLETED, "Installation of Finished completed."},
                       {IDC_RUN_APPLICATION, "Run application."},
                       {IDC_VIEW_INFORMATION, target.label}});
    EXPECT_EQ(IsDlgButtonChecked(page, IDC_RUN_APPLICATION), BST_CHECKED);
    ExpectFinished(target.progId[0] == 'h' ? "finish-page-homepage" : "finish-page-information");

    HWND explorer = WaitForWindowCaptioned("Finish Group");
    EXPECT_NE(explorer, nullptr) << "the program group is opened";
    if (explorer) PostMessageA(explorer, WM_CLOSE, 0, 0);
    const std::string asked = e2e::WaitForLine(Asked);
    EXPECT_NE(asked.find(e2e::Lower(std::string("opened ") + target.postInfoPath)), std::string::npos)
        << asked;
    EXPECT_EQ(e2e::WaitForLine(AppRan), e2e::Lower(SystemFolder()) + "\r\n")
        << "the application runs in its folder";
    RemoveDirectoryA(group.c_str());
}

INSTANTIATE_TEST_SUITE_P(Targets, FinishPage,
                         ::testing::Values(InfoTarget{"http://example.invalid/kelpack", "Go to HomePage.",
                                                      "http", nullptr},
                                           InfoTarget{"C:\\Program Files\\Finished\\readme.kpinfo",
                                                      "View information.", "Kelpack.TestInfo", ".kpinfo"}),
                         [](const ::testing::TestParamInfo<InfoTarget>& info) {
                             return std::string(info.param.progId[0] == 'h' ? "WebAddress" : "TextFile");
                         });

}  // namespace
