// Packages and install runs for the end-to-end tests: a package made of the built module and members,
// run as the user runs it, and the install run it starts.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/ui_driver.h"
#include "tests/support/archive_fixture.h"

namespace e2e {

constexpr DWORD Patience = 30000;  // a first start of Wine's user interface can be slow
constexpr const char* AbortQuestion = "Installation is not yet completed.\n\nAbort installation?";

std::string ModuleBytes();
// The bytes of a test fixture built beside the Windows tests (a DLL, a type library).
std::string Fixture(const char* name);
std::string WindowsFolder();
std::string TempFolder();
// Names of the run's working files and folders ("_kp*") in folder.
std::vector<std::string> LeftoversIn(const std::string& folder);

// A bottom-up 24-bit bitmap file of width x height in two colours (top half, bottom half).
std::string SampleBitmap(int width, int height, COLORREF top, COLORREF bottom);

// Writes C:\kp-e2e\<name>: the module followed by an archive of the members.
std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members);

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

// Ends every install run still going (a failed test must not leave one for the next).
void EndStrayRuns();

// A test that takes one package run through the wizard as a user would.
class WizardTest : public ::testing::Test {
  protected:
    void TearDown() override { EndStrayRuns(); }

    // Starts the package and waits for the page with the control.
    HWND Start(const std::string& package, int pageControl);
    // Starts the package and goes from the welcome page to the install folder page (no texts to read).
    HWND StartAtFolderPage(const std::string& package);
    HWND Page(int control) { return ui::WaitForDialogWithControl(run_.Id(), control, Patience); }
    // Presses the button and waits for the page to go.
    void Leave(HWND page, int button);
    std::string Text(HWND page, int control) { return ui::WindowText(GetDlgItem(page, control)); }
    bool Enabled(HWND page, int control) { return IsWindowEnabled(GetDlgItem(page, control)); }
    bool Visible(HWND page, int control) { return IsWindowVisible(GetDlgItem(page, control)); }
    // Presses I Agree and waits until the page has enabled Next and disabled I Agree.
    void Agree(HWND license);
    // Waits for a message box, checks its text and presses the button; false when none came.
    bool Answer(const std::string& text, int button);
    // Waits for the end of the run and checks its exit code and that no working files were left.
    void ExpectEndsWith(DWORD code);

    ui::Process run_;
};

}  // namespace e2e
