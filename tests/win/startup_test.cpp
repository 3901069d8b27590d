// Start-up routines against the real system: the temporary folder's fallbacks and starting programs.
#include "common/child_processes.h"
#include "tests/win/win_test.h"

namespace {

using wintest::SavedVariable;
using wintest::WindowsFolder;

TEST(Startup, TemporaryFolderFallsBackFromTempToTmpToWindows) {
    SavedVariable temp("TEMP"), tmp("TMP");
    testsupport::ScratchFolder scratch;
    char folder[260];

    SetEnvironmentVariableA("TEMP", "   ");  // blank: not a candidate
    SetEnvironmentVariableA("TMP", (scratch.Path("made\\here") + "\\").c_str());
    ASSERT_EQ(FindTempFolder(folder), 1);
    EXPECT_EQ(std::string(folder), scratch.Path("made\\here"));  // created, without its backslash
    EXPECT_NE(GetFileAttributesA(folder), INVALID_FILE_ATTRIBUTES);

    SetEnvironmentVariableA("TEMP", nullptr);
    SetEnvironmentVariableA("TMP", nullptr);
    ASSERT_EQ(FindTempFolder(folder), 1);
    EXPECT_EQ(std::string(folder), WindowsFolder());
}

// The probe beside this test program, copied to a folder with a blank in its name.
std::string PlaceProbe(const testsupport::ScratchFolder& scratch) {
    CreateDirectoryA(scratch.Path("my programs").c_str(), nullptr);
    const std::string placed = scratch.Path("my programs\\probe.exe");
    CopyFileA(testsupport::Beside("command_line_probe.exe").c_str(), placed.c_str(), FALSE);
    return placed;
}

// The command line a program started by RunProgram was given.
std::string CommandLineSeenBy(const std::string& program, const testsupport::ScratchFolder& scratch) {
    const std::string out = scratch.Path("line.txt");
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("KP_PROBE_OUT", out.c_str());
    if (!RunProgram(program.c_str(), "-U C:\\a b\\x.kpu", 1)) return "not started";
    return testsupport::FileBytes(out);
}

TEST(Startup, ProgramsAreStartedQuotedAndFoundByNameWhenMissing) {
    testsupport::ScratchFolder scratch;
    const std::string probe = PlaceProbe(scratch);
    const std::string tail = " -U C:\\a b\\x.kpu";
    EXPECT_EQ(CommandLineSeenBy(probe, scratch), "\"" + probe + "\"" + tail);
    EXPECT_EQ(CommandLineSeenBy("\"" + probe + "\"", scratch),
              "\"" + probe + "\"" + tail);  // not quoted twice
    // A program not where it is said to be is started by its name (the system finds the probe here).
    EXPECT_EQ(CommandLineSeenBy("C:\\nowhere\\command_line_probe.exe", scratch),
              "\"command_line_probe.exe\"" + tail);
    EXPECT_EQ(RunProgram("C:\\nowhere\\no-such-program.exe", "", 0), 0);
}

}  // namespace
