// Shared steps of the end-to-end tests (packages, runs, machine pictures, the wizard) and their includes.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/format.h"
#include "common/messages.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/server_fixture.h"
#include "tests/support/shell_link.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace e2e {

using Strings = std::vector<std::string>;

constexpr DWORD Patience = 30000;  // a first start of Wine's user interface can be slow
constexpr const char* AbortQuestion = "Installation is not yet completed.\n\nAbort installation?";
constexpr const char* RestartQuestion =
    "To complete installation, system must be restarted.\n\nRestart system now?";
constexpr const char* PackageDamagedText =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";
constexpr const char* RunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Every kind of item of the Life package: a shared COM server, a type library, shortcuts in the program
// menu and on the desktop, registry values of each type, an INI file of its own and a win.ini entry.
inline const std::string EveryItemKind =
    "[MiscFile]\r\n"
    "MiscFile1={InstallDir}\\server.dll,2,1,1,1,0\r\n"
    "MiscFile2={InstallDir}\\library.tlb,2,1,0,0,1\r\n"
    "[Shortcut]\r\n"
    "Shortcut1=Life,{InstallDir}\\life.txt,{ProgramMenu}\\Kelpack\\Life,{InstallDir}\r\n"
    "Shortcut2=Life,{InstallDir}\\life.txt,{DeskTop},{InstallDir}\r\n"
    "[Registry]\r\n"
    "Registry1=0,0,2,SOFTWARE\\Kelpack Life\\Settings,Folder,1,{InstallDir}\r\n"
    "Registry2=0,0,1,Software\\Kelpack Life,Number,2,-1\r\n"
    "Registry3=0,0,1,Software\\Kelpack Life,Bytes,3,01 02\r\n"
    "[Ini]\r\n"
    "Ini1=0,0,{InstallDir}\\conf\\life.ini,Life,List,a\r\n"
    "Ini2=0,0,{WinIni},Kelpack Life,Folder,{InstallDir}\r\n";
// The entry in the list of installed programs and an uninstall shortcut; last, so callers may add keys.
inline const std::string LifeRegistration =
    "[Uninstall]\r\n"
    "CPLUninstallName=Kelpack Life\r\n"
    "UninstallShortcutName={ProgramMenu}\\Kelpack\\Life,Uninstall Life\r\n";

std::string ModuleBytes();
std::string Fixture(const char* name);  // a fixture built beside the Windows tests
std::string WindowsFolder();
std::string SystemFolder();
std::string TempFolder();
std::string ShellFolder(int id);  // CSIDL_PROGRAMS, ...; empty when the system names none
bool Exists(const std::string& path);
Strings LeftoversIn(const std::string& folder);  // the run's "_kp*" files and folders there

// Install information of the title, proposing the folder (none when empty), then more lines.
std::string Info(const std::string& title, const std::string& folder, const std::string& more = "",
                 int language = 1);
std::string HelloInfo(const std::string& more = "");
// The install information, a wizard bitmap, then more members.
std::vector<testsupport::Member> WizardMembers(const std::string& info,
                                               const std::vector<testsupport::Member>& more = {});
// Writes C:\kp-e2e\<name>: the module followed by an archive of the members.
std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members);
// TITLE.exe, proposing the folder, with the members EveryItemKind installs.
std::string LifePackage(const std::string& more, const std::string& title = "Life",
                        const std::string& folder = "C:\\Program Files\\Life");

// Runs the package as the user does; the id of the install run the bootstrap run started, 0 if none.
DWORD RunPackage(const std::string& package, DWORD excluding = 0);

// The run's "_kp*" working files in the temporary folder and in its own "_kp*" folder there.
Strings WorkingFiles();
void DeleteWorkingFile(const std::string& path);  // and its own folder once empty
Strings WorkingFilesWith(const char* section);    // the INI files among them that hold the section
std::string Setting(const std::string& file, const char* section, const char* key);  // "(none)"

std::string Lower(std::string text);
// The file's text in lower case once it holds a whole line, or what it holds when patience runs out.
std::string WaitForLine(const std::string& path);
std::string FinishRunCommand(const char* title);  // the title's RunOnce value, "(none)" when missing
std::string UninstallEntryKey(const std::string& title);
// A value of the title's uninstall entry: text as it is, a number in decimal; "(none)" when missing.
std::string UninstallEntry(const std::string& title, const char* value);

// Sets a file's last-write time to 1 January of the year, local midnight; false when it cannot.
bool DateFile(const std::string& path, WORD year);
void RemoveTree(const std::string& path);  // whatever the attributes
// Removes what products may have left: entries, RunOnce values, the paths, the Kelpack Life items.
void ForgetProducts(std::initializer_list<const char*> titles, const Strings& paths);

struct CloseFile {
    void operator()(HANDLE file) const { CloseHandle(file); }
};
using HeldFile = std::unique_ptr<void, CloseFile>;
// Holds a file open as a running program holds its own: others may read it, nobody may change it.
HeldFile Hold(const std::string& path);
HeldFile PlaceAndHold(const std::string& path, const std::string& bytes);  // makes its folder first

// Makes Wine report Windows 98 to programs started from now on, or stop; false when it could not.
bool ReportWindows98(bool on);
// Wine reports Windows 98 while it lasts.
class AsWindows98 {
  public:
    AsWindows98() : on_(ReportWindows98(true)) {}
    ~AsWindows98() { ReportWindows98(false); }
    bool On() const { return on_; }

  private:
    bool on_;
};
// A window the test cannot go on without: its absence ends the test, as an exception that gtest reports.
HWND Need(HWND window, const std::string& what);
void EndStrayRuns();  // a failed test must not leave an install run for the next

// One line per file ("path size") of the top of C:, the program files, the Windows and temporary
// folders and the shell folders of shortcuts; per registry value under both Software keys ("key :
// value = data"); per line of win.ini. The module's copy in the Windows folder stays on purpose.
Strings MachinePicture();
// "+ line" added since before, "- line" gone.
Strings Changes(Strings before, Strings after);

// A test that takes one package run through the wizard as a user would.
class WizardTest : public ::testing::Test {
  protected:
    void TearDown() override { EndStrayRuns(); }

    // The steps that wait for a window end the test when none comes (Need).
    HWND Start(const std::string& package, int pageControl);  // waits for the page with the control
    HWND StartPastWelcome(const std::string& package, int pageControl);
    HWND StartAtFolderPage(const std::string& package) { return StartPastWelcome(package, IDC_FOLDER_EDIT); }
    // Starts the package and presses Install on the folder page it proposes.
    void StartInstall(const std::string& package);
    // Starts a command line of a quoted program, as the system runs an uninstall entry's.
    void StartCommand(const std::string& command);
    HWND Page(int control) {
        return Need(ui::WaitForDialogWithControl(run_.Id(), control, Patience),
                    "the page with control " + std::to_string(control));
    }
    HWND Backdrop(const char* caption = nullptr) {
        return Need(ui::WaitForWindow(run_.Id(), "KPBG", caption, Patience), "the background window");
    }
    void Leave(HWND page, int button);                // presses it, waits for the page to go
    HWND Go(HWND page, int button, int pageControl);  // and waits for the next page
    std::string Text(HWND page, int control) { return ui::WindowText(GetDlgItem(page, control)); }
    bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)); }
    bool Visible(HWND page, int control) { return IsWindowVisible(GetDlgItem(page, control)); }
    HWND SettledFocus(HWND page);  // the focused control once the page has settled
    void ExpectTexts(HWND page, const std::vector<std::pair<int, std::string>>& texts);
    void Agree(HWND license);           // I Agree, until Next is on and I Agree off
    HWND Box(const std::string& text);  // waits for a message box and checks its text
    // Answers the box with the text by the button (saving the screenshot when named); false when it
    // stayed.
    bool Answer(const std::string& text, int button, const char* screenshot = nullptr);
    void ExpectEndsWith(DWORD code);                        // and no working file left
    void CancelUnasked(HWND page);                          // no question comes; ends with 0
    void Abort(HWND page, int button = IDC_CANCEL);         // confirms the abort question; ends with 0
    void ExpectFinished(const char* screenshot = nullptr);  // OK on the finish page; ends with 0

    ui::Process run_;
};

}  // namespace e2e
