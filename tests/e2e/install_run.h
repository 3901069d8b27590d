// Packages and install runs for the end-to-end tests: a package made of the built module and members,
// run as the user runs it, and the install run it starts.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/archive_fixture.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace e2e {

constexpr DWORD Patience = 30000;  // a first start of Wine's user interface can be slow
constexpr const char* AbortQuestion = "Installation is not yet completed.\n\nAbort installation?";
constexpr const char* RestartQuestion =
    "To complete installation, system must be restarted.\n\nRestart system now?";
constexpr const char* PackageDamagedText =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";

// Install information under which every step of the system items fails in turn and warns: a shortcut,
// an INI file and the uninstall shortcut on a drive that does not exist, a registry root that does not
// exist. A win.ini entry last shows that the run went on.
constexpr const char* FailingSystemItems =
    "[Shortcut]\r\nShortcut1=Lost,{InstallDir}\\lost.txt,Q:\\Nowhere\r\n"
    "[Registry]\r\nRegistry1=0,0,9,Software\\Nowhere,X,1,x\r\n"
    "[Ini]\r\nIni1=0,0,Q:\\Nowhere\\lost.ini,Lost,Key,x\r\n"
    "Ini2=0,0,{WinIni},Kelpack Warned,Key,after the warnings\r\n"
    "[Uninstall]\r\nUninstallShortcutName=Q:\\Nowhere,Uninstall\r\n";

// Every kind of item: source files in sub-folders and a help file, a shared COM server and a type
// library, shortcuts in the program menu and on the desktop, registry values of each type, an INI file
// of its own and an entry in win.ini. With LifeRegistration, the entry in the list of installed programs
// and an uninstall shortcut.
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
// An [Uninstall] section, last, so that callers may add keys to it.
inline const std::string LifeRegistration =
    "[Uninstall]\r\n"
    "CPLUninstallName=Kelpack Life\r\n"
    "UninstallShortcutName={ProgramMenu}\\Kelpack\\Life,Uninstall Life\r\n";

std::string ModuleBytes();
// The bytes of a test fixture built beside the Windows tests (a DLL, a type library).
std::string Fixture(const char* name);
std::string WindowsFolder();
std::string TempFolder();
// Names of the run's working files and folders ("_kp*") in folder.
std::vector<std::string> LeftoversIn(const std::string& folder);

// Install information of Hello in English, with more lines after those of [General].
std::string HelloInfo(const std::string& more = "");
// The members of a wizard package: the install information, a wizard bitmap, then more.
std::vector<testsupport::Member> WizardMembers(const std::string& info,
                                               const std::vector<testsupport::Member>& more = {});

// Writes C:\kp-e2e\<name>: the module followed by an archive of the members.
std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members);

// The package TITLE.exe of the application that goes through a whole life: English install information
// proposing the folder, with more lines after those of [General], and the members that EveryItemKind
// installs (three source files in sub-folders, the COM server and the type library).
std::string LifePackage(const std::string& more, const std::string& title = "Life",
                        const std::string& folder = "C:\\Program Files\\Life");

// Runs the package as the user does; the bootstrap run ends at once and the id of the install run it
// started is returned (0 when none appeared).
DWORD RunPackage(const std::string& package, DWORD excluding = 0);

// Paths of the run's working files ("_kp*" files) in the temporary folder and, for an elevated run on
// the NT family, in its own "_kp*" folder there.
std::vector<std::string> WorkingFiles();
// Deletes a working file, then its folder when that is the run's own folder and now empty.
void DeleteWorkingFile(const std::string& path);
// The run's working files that hold the section (INI files): the installation log while the run lasts,
// the end-install information after it.
std::vector<std::string> WorkingFilesWith(const char* section);
// The value of the key in an INI file, "(none)" when missing.
std::string Setting(const std::string& file, const char* section, const char* key);
// The paths recorded in a working file that is a file list (a length byte, then the path); empty for
// any other file.
std::vector<std::string> FileListRecords(const std::string& file);

constexpr const char* RunOnceKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// The text in lower case, for paths that the system may spell in either case.
std::string Lower(std::string text);

// The file's text in lower case once it holds a whole line (a program's redirection makes the file
// before it writes), or what it holds when the patience runs out.
std::string WaitForLine(const std::string& path);

// The RunOnce value that starts the finish run of the title, "(none)" when missing.
std::string FinishRunCommand(const char* title);

// The key of the title's entry in the list of installed programs, under HKEY_LOCAL_MACHINE.
std::string UninstallEntryKey(const std::string& title);
// A value of that entry: a text as it is, a number in decimal; "(none)" when missing.
std::string UninstallEntry(const std::string& title, const char* value);

// Sets a file's last-write time to 1 January of the year, midnight local time (a package member's time
// is local); false when the file cannot be opened.
bool DateFile(const std::string& path, WORD year);

// Deletes a file, or a folder with everything in it, whatever the attributes.
void RemoveTree(const std::string& path);

// Makes Wine report Windows 98 to the programs started from now on, or stop doing so; false when the
// setting could not be changed.
bool ReportWindows98(bool on);

// Ends every install run still going (a failed test must not leave one for the next).
void EndStrayRuns();

// A test that takes one package run through the wizard as a user would.
class WizardTest : public ::testing::Test {
  protected:
    void TearDown() override { EndStrayRuns(); }

    // Starts the package and waits for the page with the control.
    HWND Start(const std::string& package, int pageControl);
    // Starts the package, presses Next on the welcome page and waits for the page with the control.
    HWND StartPastWelcome(const std::string& package, int pageControl);
    HWND StartAtFolderPage(const std::string& package) { return StartPastWelcome(package, IDC_FOLDER_EDIT); }
    HWND Page(int control) { return ui::WaitForDialogWithControl(run_.Id(), control, Patience); }
    // The run's background window, with the caption when one is given.
    HWND Backdrop(const char* caption = nullptr) {
        return ui::WaitForWindow(run_.Id(), "KPBG", caption, Patience);
    }
    // Presses the button and waits for the page to go.
    void Leave(HWND page, int button);
    // Leaves the page by the button and waits for the page with the control.
    HWND Go(HWND page, int button, int pageControl);
    std::string Text(HWND page, int control) { return ui::WindowText(GetDlgItem(page, control)); }
    bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)); }
    bool Visible(HWND page, int control) { return IsWindowVisible(GetDlgItem(page, control)); }
    // The control with the keyboard focus once the page has settled.
    HWND SettledFocus(HWND page);
    // Checks the text of each control of the page.
    void ExpectTexts(HWND page, const std::vector<std::pair<int, std::string>>& texts);
    // Presses I Agree and waits until the page has enabled Next and disabled I Agree.
    void Agree(HWND license);
    // Waits for a message box and checks its text; null when none came.
    HWND Box(const std::string& text);
    // Waits for a message box, checks its text, saves it as the screenshot when one is named, presses
    // the button and waits for the box to go; false when none came or it stayed.
    bool Answer(const std::string& text, int button, const char* screenshot = nullptr);
    // Waits for the end of the run and checks its exit code and that no working files were left.
    void ExpectEndsWith(DWORD code);
    // Cancels on a page that asks nothing: no question comes and the run ends as above with 0.
    void CancelUnasked(HWND page);
    // Presses the button (Cancel, Abort) on the page, confirms the abort question and expects the end.
    void Abort(HWND page, int button = IDC_CANCEL);
    // Waits for the finish page, saves it as the screenshot when one is named, presses OK and expects
    // the end as above with 0.
    void ExpectFinished(const char* screenshot = nullptr);
    // Declines the restart question; the run says when the installation completes and ends with 0,
    // leaving the end-install information and the RunOnce value of the finish run that reads it. The
    // value and the wizard bitmap copy go again here: this test plays no restart.
    void DeclineRestart(HWND question);
    // Answers the restart question with Yes and follows the runs that Wine's restart starts: the finish
    // run's box (its text checked) and the post-install run's finish page, each saved as a screenshot
    // named with the prefix; presses OK there and expects that run to end with 0.
    void RestartAndFinish(HWND question, const std::string& finishing, const std::string& shotPrefix);
    // Answers the warnings of the failing system items (FailingSystemItems) in order, each checked
    // against its text in the run's language, owned by the progress page and saved as a screenshot;
    // then the run ends and the step after them has run.
    void ExpectSystemItemWarnings(bool korean);

    ui::Process run_;
};

}  // namespace e2e
