// Installed with every kind of item and removed each way users do, the machine is as it was; and the rest.
#include "tests/e2e/install_run.h"

#include <optional>

namespace {

using e2e::Patience;
using testsupport::FileBytes;
using testsupport::SetFileBytes;
using Strings = std::vector<std::string>;

constexpr char Folder[] = "C:\\Program Files\\Life";
const std::string EntryKey = e2e::UninstallEntryKey("Life");
std::string ConfirmationOf(const std::string& title) {
    return "This will uninstall " + title + " from your computer.\n\nContinue uninstallation?";
}
const std::string Confirmation = ConfirmationOf("Life");
constexpr char UnknownFileQuestion[] = "Following file is not installed by install program.";

std::string UninstallString(const std::string& title = "Life") {
    const std::string command = e2e::UninstallEntry(title, "UninstallString");
    return command == "(none)" ? "" : command;
}

// The uninstall information file that the entry names.
std::string UninstallInfo() {
    const std::string command = UninstallString();
    const size_t mode = command.find(" -U");
    return mode == std::string::npos ? "" : command.substr(mode + 3);
}

using e2e::Exists;

bool HiddenAndReadOnly(const std::string& path) {
    const DWORD both = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & both) == both;
}

// How a user starts the uninstallation.
enum class Way { Shortcut, Command, WineList };

class Uninstall : public e2e::WizardTest {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    void TearDown() override {
        e2e::EndStrayRuns();
        // A failed test must not leave its product for the next one to install over.
        e2e::ForgetProducts({"Life", "Twin"}, {Folder, "C:\\Program Files\\Twin",
                                               e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack",
                                               e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Life.LNK"});
    }

    // Installs through the wizard into the folder it proposes, to the end of the finish page.
    void Install(const std::string& package) {
        StartInstall(package);
        ExpectFinished();
    }

    // Starts the uninstallation the user's way; the module's run is followed from then on.
    void StartUninstall(Way way, const std::string& title = "Life") {
        const std::string command = UninstallString(title);
        ASSERT_FALSE(command.empty()) << "no entry";
        if (way == Way::Shortcut) {
            const testsupport::Link link = testsupport::ReadLink(e2e::ShellFolder(CSIDL_PROGRAMS) +
                                                                 "\\Kelpack\\Life\\Uninstall Life.LNK");
            ASSERT_TRUE(run_.Start(link.path, link.arguments)) << link.path;
        } else if (way == Way::Command) {
            StartCommand(command);
        } else {
            ASSERT_TRUE(list_.Start(e2e::WindowsFolder() + "\\system32\\uninstaller.exe", "--remove Life"));
            const DWORD id = ui::WaitForProcessNamed("KPinst27.exe", Patience);
            ASSERT_NE(id, 0u) << "Wine's list started no uninstallation";
            ASSERT_TRUE(run_.Attach(id));
        }
    }

    // Runs the module on the uninstall information file as the entry would.
    void StartUninstall(const std::string& info) {
        ASSERT_TRUE(run_.Start(e2e::WindowsFolder() + "\\KPinst27.exe", "-U" + info));
    }

    // Waits for the end of the removal, checks the dialog, closes it and expects the run to end with 0
    // and no working file left. Screenshots are named with the prefix when one is given.
    void Complete(const char* shots = nullptr, const std::string& title = "Life") {
        HWND dialog = Page(IDC_UNINSTALL_HEADING);
        const std::string heading = title + " was successfully uninstalled.";
        for (DWORD waited = 0; dialog && Text(dialog, IDC_UNINSTALL_HEADING) != heading; waited += 100) {
            ASSERT_LT(waited, Patience) << "the dialog never said: " << heading;
            Sleep(100);
        }
        EXPECT_EQ(Text(dialog, IDC_UNINSTALL_BUTTON), "Ok");
        for (int phase = 0; phase < 5; ++phase) EXPECT_TRUE(Visible(dialog, IDC_PHASE_MARK1 + 2 * phase));
        if (shots) {
            ui::WaitUntilPainted(dialog);
            ui::CaptureScreen(dialog, (std::string(shots) + "-completed").c_str());
        }
        ui::ClickButton(dialog, IDC_UNINSTALL_BUTTON);
        ExpectEndsWith(0);
    }
    void ConfirmAndComplete(const char* shots = nullptr, const std::string& title = "Life") {
        const std::string shot = shots ? std::string(shots) + "-confirmation" : "";
        ASSERT_TRUE(Answer(ConfirmationOf(title), IDYES, shots ? shot.c_str() : nullptr));
        Complete(shots, title);
    }

    // Answers the unknown-file question about the file.
    void ReplyUnknown(const std::string& file, int button, const char* shot = nullptr) {
        HWND question = Page(IDC_DELETE_QUESTION);
        EXPECT_EQ(Text(question, IDC_DELETE_QUESTION), UnknownFileQuestion);
        EXPECT_EQ(Text(question, IDC_DELETE_LINE2).rfind(file, 0), 0u) << Text(question, IDC_DELETE_LINE2);
        EXPECT_EQ(Text(question, IDC_DELETE_LINE3), "Delete above file?");
        if (shot) {
            ui::WaitUntilPainted(question);
            ui::CaptureScreen(question, shot);
        }
        ui::ClickButton(question, button);
        ASSERT_TRUE(ui::WaitForWindowToGo(question, Patience));
    }

    ui::Process list_;
};

// The whole life, started one way, in the NT family or the 95 family.
struct LifeCase {
    Way way;
    bool family95;
    const char* name;
};

class Life : public Uninstall, public ::testing::WithParamInterface<LifeCase> {
  protected:
    void SetUp() override {
        if (GetParam().family95) {
            ASSERT_TRUE(asWindows98_.emplace().On());
        }
    }
    std::optional<e2e::AsWindows98> asWindows98_;
};

TEST_P(Life, InstallThenUninstallLeavesTheMachineAsItWas) {
    const Strings before = e2e::MachinePicture();
    Install(e2e::LifePackage(e2e::EveryItemKind + e2e::LifeRegistration));
    // The help system makes its index beside a help file once it is opened.
    SetFileBytes(std::string(Folder) + "\\docs\\life.GID", "index");
    ASSERT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    ASSERT_NE(e2e::Changes(before, e2e::MachinePicture()), Strings{});

    StartUninstall(GetParam().way);
    const bool shots = GetParam().way == Way::Command;
    ConfirmAndComplete(shots ? (GetParam().family95 ? "95-uninstall" : "uninstall") : nullptr);
    EXPECT_EQ(e2e::Changes(before, e2e::MachinePicture()), Strings{});
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "") << "unregistered";
}

std::string LifeName(const ::testing::TestParamInfo<LifeCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Ways, Life,
                         ::testing::Values(LifeCase{Way::Shortcut, false, "FromTheShortcut"},
                                           LifeCase{Way::Command, false, "FromTheCommand"},
                                           LifeCase{Way::WineList, false, "FromWinesList"},
                                           LifeCase{Way::Command, true, "FromTheCommandIn95"}),
                         LifeName);

// The tool's veto, a No, unusable information files and an abort each leave the product for another run.
TEST_F(Uninstall, AVetoANoUnusableFilesAndAnAbortLeaveTheProductForAnotherRun) {
    // The tool says no (exit code 1) while the file "veto" exists: nothing is removed, nothing is said.
    const std::string veto = "C:\\kp-e2e\\veto";
    Install(e2e::LifePackage(e2e::LifeRegistration +
                             "UninstallSilentToolPath={WinSysDir}\\cmd.exe\r\n"
                             "UninstallSilentToolArg=/c if exist " +
                             veto + " exit 1\r\n"));
    const std::string info = UninstallInfo();
    const Strings installed = e2e::MachinePicture();
    SetFileBytes(veto, "");
    StartUninstall(Way::Command);
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    ExpectEndsWith(0);
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{}) << "vetoed";
    EXPECT_TRUE(HiddenAndReadOnly(info));
    DeleteFileA(veto.c_str());
    StartUninstall(Way::Command);
    ASSERT_TRUE(Answer(Confirmation, IDNO));
    ExpectEndsWith(0);
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{}) << "No at the confirmation";

    const std::string stored = FileBytes(info), damaged = "C:\\kp-e2e\\damaged.inf";
    const char* truncated =
        "Uninstall information file was corrupted or Truncated.\n\nAborting uninstallation.";
    const struct {
        std::string bytes;  // empty: no file
        bool confirmed;     // the head is sound: the damage shows only after the confirmation
        const char* message;
        const char* shot;
    } cases[] = {
        {"", false, "Uninstall information file not found.\n\nAborting uninstallation.",
         "uninstall-info-not-found"},
        {stored.substr(0, 100), false, truncated, "uninstall-info-truncated"},
        {"KPUI0206" + stored.substr(8), false,
         "Uninstall information file has wrong signature.\n\nAborting uninstallation.",
         "uninstall-info-wrong-signature"},
        {stored.substr(0, stored.size() - 10), true, truncated, nullptr},
    };
    for (const auto& [bytes, confirmed, message, shot] : cases) {
        DeleteFileA(damaged.c_str());
        if (!bytes.empty()) SetFileBytes(damaged, bytes);
        StartUninstall(damaged);
        if (confirmed) {
            ASSERT_TRUE(Answer(Confirmation, IDYES));
        }
        EXPECT_TRUE(Answer(message, IDOK, shot)) << message;
        ExpectEndsWith(static_cast<DWORD>(-1));
    }
    DeleteFileA(damaged.c_str());
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{}) << "unusable files";

    // An abort during the folders: No to the abort question leaves the file question open; Yes ends.
    const std::string mine = std::string(Folder) + "\\mine.txt";
    SetFileBytes(mine, "mine");
    StartUninstall(Way::Command);
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    HWND question = Page(IDC_DELETE_QUESTION);
    ui::ClickButton(question, IDC_UNINSTALL_BUTTON);
    ASSERT_TRUE(Answer("Uninstallation is not yet completed.\n\nAbort uninstallation?", IDNO));
    EXPECT_TRUE(IsWindowVisible(question));
    ui::ClickButton(question, IDC_UNINSTALL_BUTTON);
    ASSERT_TRUE(Answer("Uninstallation is not yet completed.\n\nAbort uninstallation?", IDYES,
                       "uninstall-abort-question"));
    ExpectEndsWith(0);
    EXPECT_EQ(UninstallInfo(), info);
    EXPECT_TRUE(HiddenAndReadOnly(info));
    EXPECT_EQ(FileBytes(mine), "mine");
    EXPECT_EQ(e2e::FinishRunCommand("Life"), "(none)");

    StartUninstall(Way::Command);
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    ReplyUnknown("mine.txt", IDC_YES_BUTTON);
    Complete();
    EXPECT_FALSE(Exists(Folder));
    EXPECT_EQ(UninstallString(), "");
}

// Unknown files in an installed folder, by the package's uninstall type and the user's answers.
TEST_F(Uninstall, UnknownFilesAreAskedAboutDeletedOrKeptByTheUninstallType) {
    const std::string mine = std::string(Folder) + "\\mine.txt";
    const std::string notes = std::string(Folder) + "\\docs\\more\\user.txt";
    const struct {
        const char* type;
        std::vector<int> answers;  // to the questions about mine.txt, then user.txt
        bool mineStays, notesStay;
    } cases[] = {
        {"0", {IDC_YES_BUTTON, IDC_NO_BUTTON}, false, true},
        {"1", {}, false, false},
        {"2", {}, true, true},
    };
    for (const auto& [type, answers, mineStays, notesStay] : cases) {
        SCOPED_TRACE(std::string("type ") + type);
        Install(e2e::LifePackage(e2e::LifeRegistration + "UninstallType=" + type + "\r\n"));
        SetFileBytes(mine, "mine");
        SetFileBytes(notes, "notes");
        StartUninstall(Way::Command);
        ASSERT_TRUE(Answer(Confirmation, IDYES));
        // Folders go innermost first: the notes' folder is asked about before the install folder.
        if (!answers.empty()) {
            ReplyUnknown(
                "user.txt", answers[1],
                type == std::string("0") && answers[1] == IDC_NO_BUTTON ? "uninstall-unknown-file" : nullptr);
            ReplyUnknown("mine.txt", answers[0]);
        }
        Complete();
        EXPECT_EQ(FileBytes(mine) == "mine", mineStays);
        EXPECT_EQ(FileBytes(notes) == "notes", notesStay);
        // What the installation made is gone all the same.
        EXPECT_FALSE(Exists(std::string(Folder) + "\\life.txt"));
        EXPECT_EQ(UninstallString(), "");
        DeleteFileA(mine.c_str());
        DeleteFileA(notes.c_str());
        RemoveDirectoryA((std::string(Folder) + "\\docs\\more").c_str());
        RemoveDirectoryA((std::string(Folder) + "\\docs").c_str());
        RemoveDirectoryA(Folder);
    }
}

// A DLL that two products share stays with the one still installed and goes with the last.
TEST_F(Uninstall, ASharedLibraryGoesWithTheLastProductThatUsesIt) {
    const std::string dll = e2e::WindowsFolder() + "\\system32\\kpshared.dll";
    const std::string shared =
        "[MiscFile]\r\nMiscFile1={WinSysDir}\\kpshared.dll,2,0,1,1,0\r\n" + e2e::LifeRegistration;
    Install(e2e::LifePackage(shared));
    Install(e2e::LifePackage(shared + "CPLUninstallName=Twin\r\n", "Twin", "C:\\Program Files\\Twin"));
    // Asks nothing about it: the twin still uses it.
    StartUninstall(Way::Command);
    ConfirmAndComplete();
    EXPECT_EQ(testsupport::ServerRecord(dll), "registered");
    ASSERT_TRUE(FileBytes(dll) == e2e::Fixture("com_server.dll")) << "the library stays";

    StartUninstall(Way::Command, "Twin");
    ASSERT_TRUE(Answer(ConfirmationOf("Twin"), IDYES));
    HWND question = Page(IDC_DELETE_QUESTION);
    EXPECT_EQ(Text(question, IDC_DELETE_QUESTION), "Following file may be used by another application.");
    ui::WaitUntilPainted(question);
    ui::CaptureScreen(question, "uninstall-shared-file");
    ui::ClickButton(question, IDC_YES_BUTTON);
    Complete(nullptr, "Twin");
    EXPECT_FALSE(Exists(dll));
    EXPECT_EQ(testsupport::ServerRecord(dll), "");
}

// Halves run by scripts/wine-restart-test.sh around the end of the Wine session; skipped on their own.
class UninstallRestart : public Uninstall {
  protected:
    void SetUp() override {
        if (ui::Environment("KP_CHECK").empty()) GTEST_SKIP() << "a half of the uninstall_restart tests";
    }
    void TearDown() override { e2e::EndStrayRuns(); }
    // The family runs in a session of its own; its pictures keep apart.
    static std::string Shot(const char* name) {
        return (ui::Environment("KP_FAMILY") == "95" ? "95-" : "") + std::string(name);
    }
    const std::string busy_ = std::string(Folder) + "\\life.txt";
};

TEST_F(UninstallRestart, AFileInUseIsLeftForTheRestart) {
    Install(e2e::LifePackage(e2e::LifeRegistration));
    e2e::HeldFile inUse = e2e::Hold(busy_);
    ASSERT_TRUE(inUse);
    StartUninstall(Way::Command);
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    ASSERT_TRUE(
        Answer("To complete uninstallation, It is recommended that you restart system.\n\n"
               "Restart system now?",
               IDNO, "uninstall-restart-question"));
    ASSERT_TRUE(Answer("Uninstallation will be completed after system restarted.", IDOK,
                       Shot("uninstall-completed-after-restart").c_str()));
    ExpectEndsWith(0);
    inUse.reset();
    EXPECT_TRUE(Exists(busy_));
    // The product has left the list; its entry keeps the folders for the run after the restart.
    EXPECT_EQ(UninstallString(), "");
    HKEY entry;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryKey.c_str(), 0, KEY_READ, &entry), ERROR_SUCCESS);
    RegCloseKey(entry);
    EXPECT_EQ(e2e::Lower(e2e::FinishRunCommand("Life")),
              e2e::Lower("\"" + e2e::WindowsFolder() + "\\KPinst27.exe\" -uLife"));
}

TEST_F(UninstallRestart, TheNextSessionFinishesTheUninstallation) {
    // The session's start deletes the file, then runs the clean-up run, which removes the folder and
    // the entry.
    HKEY entry = nullptr;
    for (DWORD waited = 0; waited < 4 * Patience; waited += 500) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryKey.c_str(), 0, KEY_READ, &entry) != ERROR_SUCCESS) break;
        RegCloseKey(entry);
        Sleep(500);
    }
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, EntryKey.c_str(), 0, KEY_READ, &entry), ERROR_SUCCESS);
    EXPECT_FALSE(Exists(busy_));
    EXPECT_FALSE(Exists(Folder));
    EXPECT_EQ(e2e::FinishRunCommand("Life"), "(none)");
    EXPECT_EQ(e2e::LeftoversIn(e2e::TempFolder()), Strings{});
}

}  // namespace
