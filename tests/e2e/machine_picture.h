// A picture of what an installation may touch, to compare the machine before and after a run.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// One line per file and folder ("path size") of the top of drive C:, the program files, the Windows and
// the temporary folders and the shell folders that take shortcuts; one per registry value under the
// software keys of the machine and the user ("key : value = data"); and the lines of win.ini. The
// module's copy in the Windows folder is left out: it stays on purpose, for later runs to start.
std::vector<std::string> MachinePicture();

// The path of a shell folder (CSIDL_PROGRAMS, ...), empty when the system names none.
std::string ShellFolder(int id);

// What one picture has that the other has not: "+ line" added since before, "- line" gone.
std::vector<std::string> Changes(std::vector<std::string> before, std::vector<std::string> after);

}  // namespace e2e
