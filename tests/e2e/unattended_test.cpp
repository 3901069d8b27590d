// Unattended runs as scripts make them (/S, the quiet command): no window, an exit code and a log.
#include "tests/e2e/install_run.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string_view>

#include "common/silent_run.h"

namespace {

using testsupport::FileBytes;
using testsupport::SetFileBytes;
using Strings = std::vector<std::string>;

constexpr DWORD WholeRun = 4 * e2e::Patience;  // a run from its start to its end, system items and all
const std::string LifeFolder = "C:\\Program Files\\Quiet Life";
const std::string HelloFolder = "C:\\Program Files\\Hello";
constexpr char Log[] = "C:\\kp-e2e\\quiet.log";
constexpr char ToolStarted[] = "C:\\kp-e2e\\tool-started";
constexpr char ToolMayEnd[] = "C:\\kp-e2e\\tool-may-end";
constexpr char Veto[] = "C:\\kp-e2e\\veto";

std::string ModuleCopy() { return e2e::WindowsFolder() + "\\KPinst27.exe"; }

std::string QuietCommand(const char* title) { return e2e::UninstallEntry(title, "QuietUninstallString"); }

// The text with its line breaks made blanks, as the result log holds it.
std::string Flat(std::string text) {
    for (size_t at; (at = text.find("\n\n")) != std::string::npos;) text.replace(at, 2, " ");
    return text;
}

// How a watched run ended: its exit code (STILL_ACTIVE when it did not) and what it showed.
struct Outcome {
    DWORD exitCode;
    Strings windows;  // "class 'caption'" of each visible top-level window seen
};

// A command line run as a caller runs it; every 50 ms the visible windows of the processes of its file
// and of the module copy (every run it starts) are noted.
class WatchedRun {
  public:
    // Runs of those files going on already are watched, not waited for.
    bool Start(const std::string& commandLine) {
        const bool quoted = commandLine[0] == '"';
        const std::string program =
            commandLine.substr(quoted, commandLine.find(quoted ? '"' : ' ', 1) - quoted);
        name_ = program.substr(program.rfind('\\') + 1);
        earlier_ = Processes();
        return process_.StartCommandLine(commandLine);
    }
    // Watches until the condition holds; false when it did not in the time of a whole run.
    bool WatchUntil(const std::function<bool()>& done) {
        for (const DWORD start = GetTickCount();; Sleep(50)) {
            const std::set<DWORD> processes = Processes();
            for (HWND window : ui::ChildWindows(GetDesktopWindow())) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (!processes.contains(owner) || !IsWindowVisible(window) ||
                    GetAncestor(window, GA_ROOT) != window)
                    continue;
                const std::string seen = ui::ClassOf(window) + " '" + ui::WindowText(window) + "'";
                if (std::find(windows_.begin(), windows_.end(), seen) == windows_.end())
                    windows_.push_back(seen);
            }
            if (done()) return true;
            if (GetTickCount() - start >= WholeRun) return false;
        }
    }
    // Watches until the program and every run it started have ended.
    Outcome Finish() {
        const bool ended = WatchUntil([this] {
            if (!process_.WaitForExit(0)) return false;
            const std::set<DWORD> now = Processes();
            return std::all_of(now.begin(), now.end(),
                               [this](DWORD id) { return earlier_.contains(id) || id == process_.Id(); });
        });
        EXPECT_TRUE(ended) << name_ << " or a run it started did not end";
        return {ended ? process_.ExitCode() : STILL_ACTIVE, windows_};
    }

  private:
    std::set<DWORD> Processes() const {
        std::set<DWORD> ids;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            if (lstrcmpiA(entry.szExeFile, name_.c_str()) == 0 ||
                lstrcmpiA(entry.szExeFile, "KPinst27.exe") == 0)
                ids.insert(entry.th32ProcessID);
        CloseHandle(snapshot);
        return ids;
    }

    ui::Process process_;
    std::string name_;
    std::set<DWORD> earlier_;
    Strings windows_;
};

// Runs the command line to its end (see WatchedRun).
Outcome RunToEnd(const std::string& commandLine) {
    WatchedRun run;
    if (run.Start(commandLine)) return run.Finish();
    ADD_FAILURE() << "cannot start " << commandLine;
    return {STILL_ACTIVE, {}};
}

Outcome RunPackageWith(const std::string& package, const std::string& switches) {
    return RunToEnd("\"" + package + "\" " + switches);
}

// Checks that the run showed nothing and ended with the code; true when it did end with the code.
bool EndedQuietly(const Outcome& outcome, DWORD code) {
    EXPECT_EQ(outcome.windows, Strings{}) << "a silent run shows nothing";
    EXPECT_EQ(outcome.exitCode, code);
    return outcome.exitCode == code;
}

// Hello with one file, proposing HelloFolder; sections and members are added after the others.
std::string HelloPackage(const std::string& sections = "", std::vector<testsupport::Member> more = {}) {
    more.insert(more.begin(), testsupport::Member{"Src\\hello.txt", "hello"});
    return e2e::WritePackage(
        "hello.exe",
        e2e::WizardMembers(e2e::HelloInfo("DefInstallFolder={ProgramFiles}\\Hello\r\n" + sections), more));
}

const std::string Registered = "[Uninstall]\r\nCPLUninstallName=Hello\r\n";

// The lines of the result log, each without its time.
Strings LogTexts() {
    const std::string log = FileBytes(Log);
    Strings texts;
    for (size_t start = 0; start < log.size();) {
        const size_t end = std::min(log.find('\n', start), log.size());
        const std::string line = log.substr(start, end - start - (end > start && log[end - 1] == '\r'));
        texts.push_back(line.size() > 20 ? line.substr(20) : "(no time) " + line);
        start = end + 1;
    }
    return texts;
}

class Unattended : public ::testing::Test {
  protected:
    void TearDown() override {
        SetFileBytes(ToolMayEnd, "");  // a tool still waiting ends
        e2e::EndStrayRuns();
        e2e::ForgetProducts({"Quiet Life", "Hello"},
                            {LifeFolder, HelloFolder, e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack",
                             e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Life.lnk", Log, Veto});
        for (const std::string& file : e2e::WorkingFiles()) e2e::DeleteWorkingFile(file);
    }
};

TEST_F(Unattended, AWholeLifeWithoutAWindowOrAQuestion) {
    const std::string package = e2e::LifePackage(e2e::EveryItemKind + e2e::LifeRegistration +
                                                     "DisplayVersion=1.2.3\r\nPublisher=Kelpack Tests\r\n"
                                                     "DisplayIcon={InstallDir}\\server.dll\r\n",
                                                 "Quiet Life");
    const Strings before = e2e::MachinePicture();
    ASSERT_TRUE(EndedQuietly(RunPackageWith(package, "/S /D=\"" + LifeFolder + "\""), SilentExit::Done));

    // Each kind of item is there, as the start of a line that the picture gained.
    const std::string menu = e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack\\Life\\";
    Strings made = {menu + "Life.lnk ",
                    menu + "Uninstall Life.lnk ",
                    e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Life.lnk ",
                    "Software\\Kelpack Life\\Settings : Folder = " + LifeFolder,
                    "Software\\Kelpack Life : Number = ",
                    "Software\\Kelpack Life : Bytes = \x01\x02",
                    "win.ini: [Kelpack Life]",
                    "win.ini: Folder=" + LifeFolder};
    for (const char* file : {"life.txt 4", "docs\\life.hlp 4", "docs\\more\\notes.txt 5", "server.dll ",
                             "library.tlb ", "conf\\life.ini "})
        made.push_back(LifeFolder + "\\" + file);
    const Strings changes = e2e::Changes(before, e2e::MachinePicture());
    for (const std::string& item : made)
        EXPECT_TRUE(std::any_of(changes.begin(), changes.end(), [&item](const std::string& line) {
            return e2e::Lower(line).starts_with(e2e::Lower("+ " + item));
        })) << item;
    EXPECT_FALSE(e2e::Exists("C:\\Program Files\\Life")) << "the folder given wins over the proposed one";
    EXPECT_EQ(testsupport::ServerRecord(LifeFolder + "\\server.dll"), "registered");

    const std::string command = e2e::UninstallEntry("Quiet Life", "UninstallString");
    const std::string info = command.substr(std::min(command.find(" -U") + 3, command.size()));
    const std::string quiet = QuietCommand("Quiet Life");
    EXPECT_EQ(e2e::Lower(quiet), e2e::Lower("\"" + ModuleCopy() + "\" /S /U=\"" + info + "\""));
    const std::pair<const char*, std::string> values[] = {{"DisplayName", "Kelpack Life"},
                                                          {"InstallLocation", LifeFolder},
                                                          {"NoModify", "1"},
                                                          {"NoRepair", "1"},
                                                          {"DisplayVersion", "1.2.3"},
                                                          {"Publisher", "Kelpack Tests"},
                                                          {"DisplayIcon", LifeFolder + "\\server.dll"}};
    for (const auto& [name, value] : values)
        EXPECT_EQ(e2e::UninstallEntry("Quiet Life", name), value) << name;
    // KiB of the five files, each rounded up at most, and of the few small files the run writes itself.
    const size_t bytes = 13 + e2e::Fixture("com_server.dll").size() + e2e::Fixture("fixture.tlb").size();
    const unsigned long size =
        strtoul(e2e::UninstallEntry("Quiet Life", "EstimatedSize").c_str(), nullptr, 10);
    EXPECT_GE(size, (bytes + 1023) / 1024);
    EXPECT_LE(size, (bytes + 1023) / 1024 + 8);

    // As a package manager runs it.
    ASSERT_TRUE(EndedQuietly(RunToEnd(quiet), SilentExit::Done));
    EXPECT_EQ(e2e::Changes(before, e2e::MachinePicture()), Strings{});
    EXPECT_EQ(testsupport::ServerRecord(LifeFolder + "\\server.dll"), "") << "unregistered";
}

// And the uninstall tool's veto cancels the quiet command.
TEST_F(Unattended, WithoutAFolderTheProposedOneServesTheLogTellsTheRunAndTheToolsVetoCancels) {
    const std::string install = std::string("/LOG=") + Log + " /s";
    // The tool says no (exit code 1) while the file Veto exists.
    const std::string tool = std::string(
                                 "UninstallSilentToolPath={WinSysDir}\\cmd.exe\r\n"
                                 "UninstallSilentToolArg=/c if exist ") +
                             Veto + " exit 1\r\n";
    ASSERT_TRUE(EndedQuietly(RunPackageWith(HelloPackage(Registered + tool), install), SilentExit::Done));
    EXPECT_EQ(FileBytes(HelloFolder + "\\hello.txt"), "hello");
    const std::string stamp = FileBytes(Log).substr(0, 20);
    const std::string_view shape = "0000-00-00 00:00:00 ";  // a 0 for each digit
    EXPECT_TRUE(std::equal(stamp.begin(), stamp.end(), shape.begin(), shape.end(), [](char got, char wanted) {
        return wanted == '0' ? got >= '0' && got <= '9' : got == wanted;
    })) << stamp;
    EXPECT_EQ(LogTexts(), (Strings{"Start: " + install, "Folder: " + HelloFolder, "Exit code: 0"}));
    // The entry's defaults.
    EXPECT_EQ(e2e::UninstallEntry("Hello", "InstallLocation"), HelloFolder);
    EXPECT_EQ(e2e::Lower(e2e::UninstallEntry("Hello", "DisplayIcon")), e2e::Lower(ModuleCopy()));
    EXPECT_EQ(e2e::UninstallEntry("Hello", "DisplayVersion"), "(none)");
    EXPECT_EQ(e2e::UninstallEntry("Hello", "Publisher"), "(none)");

    SetFileBytes(Veto, "");
    const Strings installed = e2e::MachinePicture();
    EXPECT_TRUE(EndedQuietly(RunToEnd(QuietCommand("Hello")), SilentExit::Cancelled));
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{});
}

// The overwrite question takes the answer it suggests: replace, unless the file there is newer.
TEST_F(Unattended, AFileThereIsReplacedUnlessItIsNewer) {
    constexpr uint32_t Year2000 = 20u << 25 | 1u << 21 | 1u << 16;  // 1 January, midnight
    CreateDirectoryA(HelloFolder.c_str(), nullptr);
    for (const auto& [name, year] :
         {std::pair<const char*, WORD>{"\\same.txt", 2000}, {"\\newer.txt", 2001}}) {
        SetFileBytes(HelloFolder + name, "mine");
        ASSERT_TRUE(e2e::DateFile(HelloFolder + name, year));
    }
    const std::string package =
        HelloPackage("", {{"Src\\same.txt", "new", Year2000}, {"Src\\newer.txt", "new", Year2000}});
    EXPECT_TRUE(EndedQuietly(RunPackageWith(package, "/S"), SilentExit::Done));
    EXPECT_EQ(FileBytes(HelloFolder + "\\same.txt"), "new");
    EXPECT_EQ(FileBytes(HelloFolder + "\\newer.txt"), "mine");
}

// A failure's message is logged in English whatever the package's language.
TEST_F(Unattended, FailuresAndMalformedSwitchesEndWithTheirCodesLogTheirMessageAndChangeNothing) {
    char invalidDrive[256];
    wsprintfA(invalidDrive, MessageOf(MessageId::InvalidDrive).english, "Q:");
    const std::string korean = FileBytes(e2e::WritePackage(
        "korean.exe", e2e::WizardMembers(e2e::Info("Hello", "", "", 0), {{"Src\\hello.txt", "hi"}})));
    const std::string package = HelloPackage(Registered);
    const std::string bytes = FileBytes(package), log = std::string(" /LOG=") + Log;
    using namespace SilentExit;
    const struct {
        const char* what;
        std::string bytes, switches;
        int code;
        const char* message;  // logged, when given
    } cases[] = {
        {"cut inside the module", bytes.substr(0, ModuleSize - 1), "/S", Failed, nullptr},
        {"cut inside the archive", bytes.substr(0, bytes.size() - 1), "/S" + log, Failed,
         e2e::PackageDamagedText},
        {"a drive that does not exist, in Korean", korean, "/S /D=Q:\\Nowhere" + log, Failed, invalidDrive},
        {"an unknown switch", bytes, "/S /X", BadSwitch, nullptr},
    };
    const Strings before = e2e::MachinePicture();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(Log);
        SetFileBytes(package, c.bytes);
        EndedQuietly(RunPackageWith(package, c.switches), c.code);
        if (c.message) {
            EXPECT_EQ(LogTexts(),
                      (Strings{"Start: " + c.switches, "Message: " + Flat(c.message), "Exit code: 1603"}));
        }
        EXPECT_EQ(e2e::Changes(before, e2e::MachinePicture()), Strings{});
    }
}

// Two runs started together, before either has a window, never both install; nor does one started while
// the first waits on its tool.
TEST_F(Unattended, OneRunOfTheProductAtATime) {
    DeleteFileA(ToolStarted);
    DeleteFileA(ToolMayEnd);
    const std::string tool = std::string("@echo off\r\necho started> ") + ToolStarted +
                             "\r\n:wait\r\nif not exist " + ToolMayEnd + " goto wait\r\n";
    const std::string package =
        HelloPackage("[Run]\r\nSilentToolPath={InstallDir}\\tool.cmd\r\n", {{"Src\\tool.cmd", tool}});
    WatchedRun runs[2];
    for (WatchedRun& run : runs) ASSERT_TRUE(run.Start("\"" + package + "\" /S"));
    ASSERT_TRUE(runs[0].WatchUntil([] { return e2e::Exists(ToolStarted); })) << "no run ran its tool";
    EXPECT_TRUE(EndedQuietly(RunPackageWith(package, "/S"), SilentExit::AlreadyRunning));
    SetFileBytes(ToolMayEnd, "");
    std::vector<DWORD> codes;
    for (WatchedRun& run : runs) {
        const Outcome outcome = run.Finish();
        EXPECT_EQ(outcome.windows, Strings{});
        codes.push_back(outcome.exitCode);
    }
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, (std::vector<DWORD>{SilentExit::Done, SilentExit::AlreadyRunning}));
    EXPECT_EQ(FileBytes(HelloFolder + "\\hello.txt"), "hello");
}

TEST_F(Unattended, AnUninstallationLeavesAFileInUseForTheRestartAndAsksNothing) {
    const std::string dll = e2e::WindowsFolder() + "\\system32\\kpquiet.dll";
    const std::string package = e2e::LifePackage(
        "[MiscFile]\r\nMiscFile1={WinSysDir}\\kpquiet.dll,2,0,1,1,0\r\n" + e2e::LifeRegistration,
        "Quiet Life", LifeFolder);
    ASSERT_TRUE(EndedQuietly(RunPackageWith(package, "/S"), SilentExit::Done));
    const std::string mine = LifeFolder + "\\mine.txt", busy = LifeFolder + "\\life.txt";
    SetFileBytes(mine, "mine");
    auto held = e2e::Hold(busy);
    ASSERT_TRUE(held);
    // A caller may add a log to the quiet command.
    const std::string quiet = QuietCommand("Quiet Life") + " /LOG=" + Log;
    EXPECT_TRUE(EndedQuietly(RunToEnd(quiet), SilentExit::RestartNeeded));
    const Strings texts = LogTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), "Start: " + quiet.substr(std::min(quiet.find('"', 1) + 2, quiet.size())));
    EXPECT_EQ(Strings(texts.end() - 2, texts.end()), (Strings{"Restart: needed", "Exit code: 3010"}));
    EXPECT_TRUE(e2e::Exists(busy));
    EXPECT_EQ(FileBytes(mine), "mine") << "an unknown file stays under uninstall type 0";
    EXPECT_FALSE(e2e::Exists(dll)) << "a shared file no product uses any more goes";
    EXPECT_EQ(testsupport::ServerRecord(dll), "");
    EXPECT_NE(e2e::FinishRunCommand("Quiet Life"), "(none)") << "the clean-up run after the restart";
    EXPECT_EQ(QuietCommand("Quiet Life"), "(none)") << "no second removal before it";
}

}  // namespace
