// Installed with every kind of item and uninstalled, the machine is as it was; and the rest.
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

class Uninstall : public e2e::WizardTest {
  protected:
    void TearDown() override {
        e2e::EndStrayRuns();
        // A failed test must not leave its product for the next one to install over.
        e2e::ForgetProducts({"Life", "Twin"}, {Folder, "C:\\Program Files\\Twin",
                                               e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack",
                                               e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Life.LNK"});
    }

    // Files of the user's in the product's folders, which the installation did not write.
    const std::string mine_ = std::string(Folder) + "\\mine.txt",
                      notes_ = std::string(Folder) + "\\docs\\more\\user.txt";
    void PlaceUsersFiles() {
        SetFileBytes(mine_, "mine");
        SetFileBytes(notes_, "notes");
    }

    // Installs through the wizard into the folder it proposes, to the end of the finish page.
    void Install(const std::string& package) {
        StartInstall(package);
        ExpectFinished();
    }

    // Starts the entry's uninstall command; the module's run is followed from then on.
    void StartUninstall(const std::string& title = "Life") {
        const std::string command = UninstallString(title);
        ASSERT_FALSE(command.empty()) << "no entry";
        StartCommand(command);
    }

    // Runs the module on the uninstall information file as the entry would.
    void StartUninstallOf(const std::string& info) {
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
        EXPECT_EQ(Text(question, IDC_DELETE_LINE2).rfind(file, 0), 0u) << Text(question, IDC_DELETE_LINE2);
        if (shot) {
            ui::WaitUntilPainted(question);
            ui::CaptureScreen(question, shot);
        }
        ui::ClickButton(question, button);
        ASSERT_TRUE(ui::WaitForWindowToGo(question, Patience));
    }
};

// How a user starts the uninstallation.
enum class Way { Command, Shortcut, WineList };
struct LifeCase {
    Way way;
    bool family95;
    const char* name;
};

// The whole life, started one way, in the NT family or the 95 family.
class Life : public Uninstall, public ::testing::WithParamInterface<LifeCase> {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    void SetUp() override {
        if (GetParam().family95) {
            ASSERT_TRUE(asWindows98_.emplace().On());
        }
    }
    // The entry's command, the uninstall shortcut, or Wine's own list of installed programs.
    void StartTheUsersWay() {
        if (GetParam().way == Way::Command) return StartUninstall();
        ASSERT_FALSE(UninstallString().empty()) << "no entry";
        if (GetParam().way == Way::Shortcut) {
            const testsupport::Link link = testsupport::ReadLink(e2e::ShellFolder(CSIDL_PROGRAMS) +
                                                                 "\\Kelpack\\Life\\Uninstall Life.LNK");
            ASSERT_TRUE(run_.Start(link.path, link.arguments)) << link.path;
            return;
        }
        ASSERT_TRUE(list_.Start(e2e::WindowsFolder() + "\\system32\\uninstaller.exe", "--remove Life"));
        const DWORD id = ui::WaitForProcessNamed("KPinst27.exe", Patience);
        ASSERT_NE(id, 0u) << "Wine's list started no uninstallation";
        ASSERT_TRUE(run_.Attach(id));
    }
    std::optional<e2e::AsWindows98> asWindows98_;
    ui::Process list_;
};

TEST_P(Life, InstallThenUninstallLeavesTheMachineAsItWas) {
    const std::string package = e2e::LifePackage(e2e::EveryItemKind + e2e::LifeRegistration);
    const Strings before = e2e::MachinePicture();  // with the package's folder, whichever test runs first
    Install(package);
    // The help system makes its index beside a help file once it is opened.
    SetFileBytes(std::string(Folder) + "\\docs\\life.GID", "index");
    ASSERT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "registered");
    ASSERT_NE(e2e::Changes(before, e2e::MachinePicture()), Strings{});

    StartTheUsersWay();
    const bool shots = GetParam().way == Way::Command;
    ConfirmAndComplete(shots ? (GetParam().family95 ? "95-uninstall" : "uninstall") : nullptr);
    EXPECT_EQ(e2e::Changes(before, e2e::MachinePicture()), Strings{});
    EXPECT_EQ(testsupport::ServerRecord(std::string(Folder) + "\\server.dll"), "") << "unregistered";
}

INSTANTIATE_TEST_SUITE_P(Ways, Life,
                         ::testing::Values(LifeCase{Way::Shortcut, false, "FromTheShortcut"},
                                           LifeCase{Way::Command, false, "FromTheCommand"},
                                           LifeCase{Way::WineList, false, "FromWinesList"},
                                           LifeCase{Way::Command, true, "FromTheCommandIn95"}),
                         [](const ::testing::TestParamInfo<LifeCase>& info) { return info.param.name; });

// A No, unusable information files and an abort each leave the product for another run. (The uninstall
// tool's veto: Unattended.WithoutAFolder..., through the quiet command.)
TEST_F(Uninstall, ANoUnusableFilesAndAnAbortLeaveTheProductForAnotherRun) {
    Install(e2e::LifePackage(e2e::LifeRegistration));
    const std::string info = UninstallInfo();
    const Strings installed = e2e::MachinePicture();
    StartUninstall();
    ASSERT_TRUE(Answer(Confirmation, IDNO));
    ExpectEndsWith(0);
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{}) << "No at the confirmation";
    EXPECT_TRUE(HiddenAndReadOnly(info));

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
        StartUninstallOf(damaged);
        if (confirmed) {
            ASSERT_TRUE(Answer(Confirmation, IDYES));
        }
        EXPECT_TRUE(Answer(message, IDOK, shot)) << message;
        ExpectEndsWith(static_cast<DWORD>(-1));
    }
    DeleteFileA(damaged.c_str());
    EXPECT_EQ(e2e::Changes(installed, e2e::MachinePicture()), Strings{}) << "unusable files";

    // An abort at the first question about a file the installation did not write.
    PlaceUsersFiles();
    StartUninstall();
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    ui::ClickButton(Page(IDC_DELETE_QUESTION), IDC_UNINSTALL_BUTTON);
    ASSERT_TRUE(Answer("Uninstallation is not yet completed.\n\nAbort uninstallation?", IDYES,
                       "uninstall-abort-question"));
    ExpectEndsWith(0);
    EXPECT_EQ(UninstallInfo(), info);
    EXPECT_TRUE(HiddenAndReadOnly(info));
    EXPECT_EQ(FileBytes(mine_), "mine");
    EXPECT_EQ(FileBytes(notes_), "notes");
    EXPECT_EQ(e2e::FinishRunCommand("Life"), "(none)");

    // Under uninstall type 0 each is asked about, innermost folder first.
    StartUninstall();
    ASSERT_TRUE(Answer(Confirmation, IDYES));
    ReplyUnknown("user.txt", IDC_NO_BUTTON, "uninstall-unknown-file");
    ReplyUnknown("mine.txt", IDC_YES_BUTTON);
    Complete();
    EXPECT_FALSE(Exists(mine_));
    EXPECT_EQ(FileBytes(notes_), "notes");
    EXPECT_FALSE(Exists(std::string(Folder) + "\\life.txt"));
    EXPECT_EQ(UninstallString(), "");
}

// A DLL that two products share stays with the one still installed and goes with the last. Under uninstall
// type 2 files the installation did not write stay unasked.
TEST_F(Uninstall, ASharedLibraryGoesWithTheLastProductThatUsesIt) {
    const std::string dll = e2e::WindowsFolder() + "\\system32\\kpshared.dll";
    const std::string shared =
        "[MiscFile]\r\nMiscFile1={WinSysDir}\\kpshared.dll,2,0,1,1,0\r\n" + e2e::LifeRegistration;
    Install(e2e::LifePackage(shared + "UninstallType=2\r\n"));
    Install(e2e::LifePackage(shared + "CPLUninstallName=Twin\r\n", "Twin", "C:\\Program Files\\Twin"));
    PlaceUsersFiles();
    // Asks nothing about the library: the twin still uses it.
    StartUninstall();
    ConfirmAndComplete();
    EXPECT_EQ(testsupport::ServerRecord(dll), "registered");
    ASSERT_TRUE(FileBytes(dll) == e2e::Fixture("com_server.dll")) << "the library stays";
    EXPECT_EQ(FileBytes(mine_), "mine");
    EXPECT_EQ(FileBytes(notes_), "notes");
    EXPECT_FALSE(Exists(std::string(Folder) + "\\life.txt"));
    EXPECT_EQ(UninstallString(), "");

    StartUninstall("Twin");
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
    StartUninstall();
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
    // The next half checks what the clean-up run left for the restart does.
    EXPECT_NE(e2e::FinishRunCommand("Life"), "(none)");
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
