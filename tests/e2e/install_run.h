// Packages and install runs for the end-to-end tests: a package made of the built module and members,
// run as the user runs it, and the install run it starts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/driver/ui_driver.h"
#include "tests/support/archive_fixture.h"

namespace e2e {

constexpr DWORD Patience = 30000;  // a first start of Wine's user interface can be slow

std::string ModuleBytes();
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

// Ends every install run still going (a failed test must not leave one for the next).
void EndStrayRuns();

}  // namespace e2e
