// Packages and install runs for the end-to-end tests: a package made of the built module and members,
// run as the user runs it, and the wizard of the install run it starts, driven as a user would.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "archive/format.h"
#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace e2e {

using testsupport::FileBytes;
using testsupport::Member;

constexpr DWORD Patience = 30000;  // a first start of Wine's user interface can be slow
constexpr const char* AbortQuestion = "Installation is not yet completed.\n\nAbort installation?";
constexpr const char* RestartQuestion =
    "To complete installation, system must be restarted.\n\nRestart system now?";
constexpr const char* PackageDamagedText =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";

inline std::string ModuleBytes() { return FileBytes(ui::WinePathOf(ui::Environment("KP_MODULE"))); }

// A test fixture built beside the Windows tests (a DLL, a type library).
inline std::string Fixture(const char* name) {
    return FileBytes(ui::WinePathOf(std::string(KP_FIXTURES_DIR "/") + name));
}

inline std::string WindowsFolder() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

inline std::string TempFolder() {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TEMP", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? folder : WindowsFolder();
}

// Names of the run's working files and folders ("_kp*") in folder.
inline std::vector<std::string> LeftoversIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\_kp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// The run's working files ("_kp*") in the temporary folder and, for an elevated run on the NT family,
// in its own "_kp*" folder there.
inline std::vector<std::string> WorkingFiles() {
    std::vector<std::string> files;
    const auto isFile = [](const std::string& path) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    };
    for (const std::string& name : LeftoversIn(TempFolder())) {
        const std::string path = TempFolder() + "\\" + name;
        if (isFile(path)) files.push_back(path);
        for (const std::string& inner : LeftoversIn(path))
            if (isFile(path + "\\" + inner)) files.push_back(path + "\\" + inner);
    }
    return files;
}

// Deletes a working file, then its folder when that is the run's own folder and now empty.
inline void DeleteWorkingFile(const std::string& path) {
    DeleteFileA(path.c_str());
    const std::string folder = path.substr(0, path.rfind('\\'));
    if (folder != TempFolder()) RemoveDirectoryA(folder.c_str());
}

// The value of the key in an INI file, "(none)" when missing.
inline std::string Setting(const std::string& file, const char* section, const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, file.c_str());
    return value;
}

// The working files (INI files) that hold the section: the log while the run lasts, the end-install
// information after it.
inline std::vector<std::string> WorkingFilesWith(const char* section) {
    std::vector<std::string> found;
    for (const std::string& path : WorkingFiles()) {
        char keys[64];
        if (GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, path.c_str()) > 0)
            found.push_back(path);
    }
    return found;
}

// Install information of Hello in English, with more lines after those of [General].
inline std::string HelloInfo(const std::string& more = "") {
    return "[General]\r\nTitle=Hello\r\nLanguage=1\r\n" + more;
}

// The members of a wizard package: the install information, a wizard bitmap, then more.
inline std::vector<Member> WizardMembers(const std::string& info, const std::vector<Member>& more = {}) {
    // The bitmap: 110 x 250 pixels, blue over yellow (rows bottom first, each padded to 4 bytes).
    std::string yellow, blue, rows;
    for (int x = 0; x < 110; ++x) {
        yellow.append("\x00\xC8\xF0", 3);
        blue.append("\xA0\x60\x00", 3);
    }
    for (int row = 0; row < 250; ++row) rows += (row < 125 ? yellow : blue) + std::string(2, '\0');
    std::vector<Member> members = {{"KPII", info}, {"KPWB", ui::BitmapFile(110, 250, rows)}};
    members.insert(members.end(), more.begin(), more.end());
    return members;
}

// Writes C:\kp-e2e\<name>: the module followed by an archive of the members.
inline std::string WritePackage(const char* name, const std::vector<Member>& members) {
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    const std::string path = std::string("C:\\kp-e2e\\") + name;
    EXPECT_TRUE(testsupport::WriteArchiveAfter(path, ModuleBytes(), ArchiveFormat::NotSplit, members));
    return path;
}

// Runs the package as the user does; the id of the install run the bootstrap run started, 0 for none.
inline DWORD RunPackage(const std::string& package, DWORD excluding = 0) {
    ui::Process bootstrap;
    if (!bootstrap.Start(package, "")) return 0;
    EXPECT_TRUE(bootstrap.WaitForExit(Patience));
    EXPECT_EQ(bootstrap.ExitCode(), 0u) << "bootstrap run";
    return ui::WaitForProcessNamed("KPinst27.exe", Patience, excluding);
}

// Makes Wine report Windows 98 to the programs started from now on, or stop; false when it could not.
inline bool ReportWindows98(bool on) {
    HKEY wine;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine", &wine) != ERROR_SUCCESS) return false;
    const LONG changed =
        on ? RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6)
           : RegDeleteValueA(wine, "Version");
    RegCloseKey(wine);
    return changed == ERROR_SUCCESS;
}

// Stands for the page's caption among its controls.
constexpr int Caption = 0;

// A test that takes one package run through the wizard as a user would. A page or message box that
// does not come ends the test at once: the wait throws, and the test reports it as the failure.
class WizardTest : public ::testing::Test {
  protected:
    // Ends every install run still going, so that a failed test leaves none for the next.
    void TearDown() override {
        for (DWORD id; (id = ui::WaitForProcessNamed("KPinst27.exe", 0)) != 0;) {
            ui::Process stray;
            if (stray.Attach(id)) stray.Kill();
        }
    }

    // Starts the package and waits for the page with the control.
    HWND Start(const std::string& package, int pageControl = IDC_WELCOME_TITLE) {
        if (!run_.Attach(RunPackage(package))) throw std::runtime_error("no install run started");
        return Page(pageControl);
    }
    // Starts the package and leaves the welcome page with Next for the page with the control.
    HWND StartPastWelcome(const std::string& package, int pageControl = IDC_FOLDER_EDIT) {
        return Go(Start(package), IDC_NEXT, pageControl);
    }
    // Waits for the page (a dialog of the run) with the control.
    HWND Page(int control) {
        HWND page = ui::WaitForDialogWithControl(run_.Id(), control, Patience);
        if (page == nullptr) throw std::runtime_error("no page with control " + std::to_string(control));
        return page;
    }
    // The run's background window, with the caption when one is given; null when none came.
    HWND Backdrop(const char* caption = nullptr) {
        return ui::WaitForWindow(run_.Id(), "KPBG", caption, Patience);
    }
    // Presses the button and waits for the page to go.
    void Leave(HWND page, int button) {
        ui::ClickButton(page, button);
        EXPECT_TRUE(ui::WaitForWindowToGo(page, Patience));
    }
    // Leaves the page by the button and waits for the page with the control.
    HWND Go(HWND page, int button, int pageControl) {
        Leave(page, button);
        return Page(pageControl);
    }
    std::string Text(HWND page, int control) {
        return ui::WindowText(control == Caption ? page : GetDlgItem(page, control));
    }
    bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)); }
    bool Visible(HWND page, int control) { return IsWindowVisible(GetDlgItem(page, control)); }
    // The control with the keyboard focus once the page has settled.
    HWND SettledFocus(HWND page) {
        Sleep(300);
        return ui::FocusedControl(page);
    }
    // Checks the text of each control (or the Caption) and, when one is named, saves the screenshot.
    void ExpectTexts(HWND page, const std::vector<std::pair<int, std::string>>& texts,
                     const char* screenshot = nullptr) {
        for (const auto& [control, text] : texts)
            EXPECT_EQ(Text(page, control), text) << "control " << control;
        if (screenshot == nullptr) return;
        ui::WaitUntilPainted(page);
        ui::CaptureScreen(page, screenshot);
    }
    // Presses I Agree and waits until the page has enabled Next and disabled I Agree.
    void Agree(HWND license) {
        ui::ClickButton(license, IDC_PREV);
        for (int wait = 0; wait < 50 && (!Enabled(license, IDC_NEXT) || Enabled(license, IDC_PREV)); ++wait)
            Sleep(50);
    }
    // Waits for a message box and checks its text.
    HWND Box(const std::string& text) {
        HWND box = ui::WaitForMessageBox(run_.Id(), Patience);
        if (box == nullptr) throw std::runtime_error("no message box came; expected: " + text);
        EXPECT_EQ(ui::MessageBoxText(box), text);
        return box;
    }
    // Waits for a message box, checks its text, saves it as the screenshot when one is named, presses
    // the button and waits for the box to go.
    void Answer(const std::string& text, int button, const char* screenshot = nullptr) {
        HWND box = Box(text);
        if (screenshot != nullptr) ui::CaptureScreen(box, screenshot);
        ui::ClickButton(box, button);
        if (!ui::WaitForWindowToGo(box, Patience)) throw std::runtime_error("the box stayed: " + text);
    }
    // Waits for the end of the run and checks its exit code and that no working files were left.
    void ExpectEndsWith(DWORD code) {
        ASSERT_TRUE(run_.WaitForExit(Patience));
        EXPECT_EQ(run_.ExitCode(), code);
        EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
    }
    // Cancels on a page that asks nothing: no question comes and the run ends as above with 0.
    void CancelUnasked(HWND page) {
        Leave(page, IDC_CANCEL);
        EXPECT_EQ(ui::WaitForMessageBox(run_.Id(), 500), nullptr) << "no question on this page";
        ExpectEndsWith(0);
    }
    // Presses the button (Cancel, Abort) on the page, confirms the abort question and expects the end.
    void Abort(HWND page, int button = IDC_CANCEL) {
        ui::ClickButton(page, button);
        Answer(AbortQuestion, IDYES);
        ExpectEndsWith(0);
    }
    // Declines the restart question; the run says when the installation completes and ends with 0.
    void DeclineRestart(HWND question) {
        ui::ClickButton(question, IDNO);
        ASSERT_TRUE(ui::WaitForWindowToGo(question, Patience));
        Answer("Installation will be completed after system restarted.", IDOK);
        ASSERT_TRUE(run_.WaitForExit(Patience));
        EXPECT_EQ(run_.ExitCode(), 0u);
    }

    ui::Process run_;
};

}  // namespace e2e
