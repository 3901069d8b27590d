// An installation log for the Windows tests: the log and the file list as fresh files in a folder.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Points InstallLogFile and FileListFile at new files in folder, opens the file list and sets every
// counter to 0. True when the file list could be opened.
bool OpenScratchLog(const std::string& folder);
// Flushes and closes them, and deletes both files.
void CloseScratchLog();
// The entries of a log section in the order NextLogItem gives them (counted sections newest first,
// source files in logging order), after its counter is loaded; the file list stays open for appending.
std::vector<std::string> LoggedEntries(const char* section);

}  // namespace testsupport
