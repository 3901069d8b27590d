// Removal of what an installation left: deletes, the handled list, the sweep, its questions, the phases.
#include <climits>

#include "common/messages.h"
#include "common/uninstall_state.h"
#include "common/working_files_state.h"
#include "files/delete_questions.h"
#include "files/file_removal.h"
#include "script/log_records.h"
#include "tests/win/win_test.h"
#include "uninstall/uninstall_phases.h"

namespace {

constexpr char TestKey[] = "Software\\Kelpack Test Removal";

// Presses a control of a dialog or message box of the test thread, as a click or key would.
void Press(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// A reply to a delete question: the box checked if forAll, Abort answered abortAnswer unless 0, then button.
struct Reply {
    int button;
    bool forAll = false;
    int abortAnswer = 0;
};

// What the first question showed.
struct Shown {
    HWND dialog = nullptr, owner = nullptr;
    std::string heading;
    bool noFocused = false;
};

// Answers every delete question of this process alike, from a thread of its own, until Stop.
class Answerer {
  public:
    explicit Answerer(Reply reply) : reply_(reply) {
        thread_ = std::thread([this] {
            while (!stop_) {
                HWND dialog = ui::WaitForDialogWithControl(GetCurrentProcessId(), IDC_DELETE_QUESTION, 50);
                if (dialog == nullptr) continue;
                if (asked_++ == 0) Read(dialog);
                Answer(dialog);
                ui::WaitForWindowToGo(dialog, 10000);
            }
        });
    }
    ~Answerer() { Stop(); }
    int Stop() {  // the number of questions answered
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return asked_;
    }
    Shown first;
    std::string abortText;  // when Abort was pressed
    HWND abortOwner = nullptr;
    bool stayedAfterAbortQuestion = false;

  private:
    void Read(HWND dialog) {
        first.dialog = dialog;
        first.owner = GetWindow(dialog, GW_OWNER);
        first.heading = ui::WindowText(GetDlgItem(dialog, IDC_DELETE_QUESTION));
        // The focus comes with the activation, a moment after the showing.
        for (int wait = 0; wait < 20 && !first.noFocused; ++wait, Sleep(50))
            first.noFocused = ui::FocusedControl(dialog) == GetDlgItem(dialog, IDC_NO_BUTTON);
    }
    void Answer(HWND dialog) {
        if (reply_.forAll)
            SendMessageA(GetDlgItem(dialog, IDC_NO_MORE_CONFIRMATION), BM_SETCHECK, BST_CHECKED, 0);
        if (reply_.abortAnswer != 0) {
            Press(dialog, IDC_UNINSTALL_BUTTON);
            HWND box = ui::WaitForMessageBox(GetCurrentProcessId(), 10000);
            if (box == nullptr) return Press(dialog, IDC_NO_BUTTON);  // never leave the test stuck
            abortText = ui::MessageBoxText(box);
            abortOwner = GetWindow(box, GW_OWNER);
            Press(box, reply_.abortAnswer);
            ui::WaitForWindowToGo(box, 10000);
            stayedAfterAbortQuestion = !ui::WaitForWindowToGo(dialog, 5000);
            if (!stayedAfterAbortQuestion) return;
        }
        Press(dialog, reply_.button);
    }
    Reply reply_;
    std::atomic<bool> stop_{false};
    int asked_ = 0;
    std::thread thread_;
};

// What a phase reported: goOn answers 1 up to its GoOnLimit-th call, itemDone counts steps.
int Steps = 0, GoOnCalls = 0, GoOnLimit = INT_MAX;
int CountedGoOn() { return ++GoOnCalls <= GoOnLimit; }
void CountedStep() { ++Steps; }
const UninstallProgress Counted = {CountedGoOn, CountedStep};

// Nothing handled and fresh answers; the current folder and the scratch files' attributes put back.
class RemovalTest : public testsupport::PackageTest {
  protected:
    void SetUp() override {
        PackageTest::SetUp();
        GetCurrentDirectoryA(sizeof currentFolder_, currentFolder_);
        ForgetHandledFiles();
        UninstallType = UninstallAbort = SharedFileAnswer = SweepAnswer = 0;
        Steps = GoOnCalls = 0;
        GoOnLimit = INT_MAX;
    }
    void TearDown() override {
        if (HandledListHandle != INVALID_HANDLE_VALUE) CloseHandle(HandledListHandle);
        HandledListHandle = INVALID_HANDLE_VALUE;
        ForgetHandledFiles();
        RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
        UninstallType = UninstallAbort = SharedFileAnswer = SweepAnswer = 0;
        SetCurrentDirectoryA(currentFolder_);
        // A file left read-only by a failed check must not outlive the scratch folder.
        ui::ForEachEntry(folder_.Root().string(), true,
                         [](const std::string& path, const WIN32_FIND_DATAA& found) {
                             if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                                 SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                         });
        PackageTest::TearDown();
    }
    std::string File(const std::string& name) {
        const std::string path = folder_.Path(name);
        SetFileBytes(path, "x");
        return path;
    }
    std::string Folder(const std::string& name) {
        const std::string path = folder_.Path(name);
        CreateDirectoryA(path.c_str(), nullptr);
        return path;
    }
    // The log as the uninstaller reads it: every counter loaded, the file list at its start.
    void LoadLog() {
        FlushSettings(InstallLogFile);
        for (const char* section : {"Folder", "SourceFile", "MiscFile", "Shortcut", "ShellFolder",
                                    "RegistrySubKey", "RegistryValue", "IniFile", "IniKey"})
            LoadLogCounter(section);
        RewindFileList();
    }
    char currentFolder_[MAX_PATH] = "";
};

void LogMisc(const std::string& path, int mode, int shared) {
    LogItem("MiscFile", nullptr,
            (path + "," + std::to_string(mode) + "," + std::to_string(shared) + ",0,0,0").c_str());
}

// Rows: what is there, its attributes, held open (not for deleting), the result, whether it stays.
TEST_F(RemovalTest, DeleteFileForceDeletesWhateverTheAttributesAndPutsThemBackWhenItCannot) {
    enum Kind { AFile, AFolder, Nothing };
    const std::tuple<const char*, Kind, DWORD, bool, int, bool> rows[] = {
        {"read-only", AFile, FILE_ATTRIBUTE_READONLY, false, 1, false},
        {"missing", Nothing, 0, false, 1, false},
        {"a folder", AFolder, 0, false, 1, true},
        {"read-only, in use", AFile, FILE_ATTRIBUTE_READONLY, true, 0, true},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& [what, kind, attributes, held, result, stays] = rows[i];
        SCOPED_TRACE(what);
        const std::string name = "entry" + std::to_string(i);
        const std::string path = kind == AFolder ? Folder(name) : folder_.Path(name);
        if (kind == AFile) {
            File(name);
            SetFileAttributesA(path.c_str(), attributes);
        }
        const DWORD before = GetFileAttributesA(path.c_str());
        HANDLE holder = held ? CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        ASSERT_EQ(holder != INVALID_HANDLE_VALUE, held);
        EXPECT_EQ(DeleteFileForce(path.c_str()), result);
        EXPECT_EQ(GetFileAttributesA(path.c_str()), stays ? before : INVALID_FILE_ATTRIBUTES);
        if (held) CloseHandle(holder);
    }
}

TEST_F(RemovalTest, CheckHandledKnowsAPathInAnyCaseListsItOnceAndKeepsThemAll) {
    const std::string list = folder_.Path("handled.lst");
    HandledListHandle = CreateFileA(list.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(HandledListHandle, INVALID_HANDLE_VALUE);
    const std::string path = "C:\\Program Files\\Demo\\Shared.DLL";
    const std::string longest = "C:\\" + std::string(252, 'x');  // the most a record's length byte holds
    EXPECT_EQ(CheckHandled(path.c_str()), 0);
    EXPECT_EQ(CheckHandled(wintest::Lower(path).c_str()), 1);
    EXPECT_EQ(CheckHandled(longest.c_str()), 0);
    CloseHandle(HandledListHandle);
    HandledListHandle = INVALID_HANDLE_VALUE;
    EXPECT_EQ(FileBytes(list), static_cast<char>(path.size()) + path + '\xFF' + longest);

    ForgetHandledFiles();
    EXPECT_EQ(CheckHandled(path.c_str()), 0) << "a new run starts with nothing handled";

    // Every path of a large installation is kept.
    auto numbered = [](int n) { return "C:\\Program Files\\Demo\\data\\file" + std::to_string(n) + ".dat"; };
    constexpr int Count = 3000;
    int firstWrong = -1;
    for (int n = 0; n < Count && firstWrong < 0; ++n)
        if (CheckHandled(numbered(n).c_str()) != 0) firstWrong = n;
    EXPECT_EQ(firstWrong, -1) << "a new path was taken as handled";
    for (int n = 0; n < Count && firstWrong < 0; ++n)
        if (CheckHandled(wintest::Lower(numbered(n)).c_str()) != 1) firstWrong = n;
    EXPECT_EQ(firstWrong, -1) << "a handled path was forgotten";
}

// Rows: UninstallType, answer for all, abort flag, reply to a question, unknown files gone, questions asked.
TEST_F(RemovalTest, TheSweepDeletesAsksOrKeepsUnknownFilesAndNeverHandledOnesAndEmptyFoldersGo) {
    const std::tuple<const char*, int, int, int, int, bool, int> rows[] = {
        {"type 0, delete all", 0, 1, 0, IDC_NO_BUTTON, true, 0},
        {"type 0, keep all", 0, -1, 0, IDC_YES_BUTTON, false, 0},
        {"type 0, asked, Yes", 0, 0, 0, IDC_YES_BUTTON, true, 2},
        {"type 0, asked, No", 0, 0, 0, IDC_NO_BUTTON, false, 2},
        {"type 1", 1, 0, 0, IDC_NO_BUTTON, true, 0},
        {"type 1 over keep all", 1, -1, 0, IDC_NO_BUTTON, true, 0},
        {"type 2", 2, 1, 0, IDC_YES_BUTTON, false, 0},
        {"aborted", 1, 1, 1, IDC_YES_BUTTON, false, 0},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& [what, type, answer, aborted, reply, deleted, asked] = rows[i];
        SCOPED_TRACE(what);
        const std::string name = "Sweep" + std::to_string(i);
        const std::string root = Folder(name), sub = Folder(name + "\\sub");
        const std::string handled = File(name + "\\handled.txt"), unknown = File(name + "\\unknown.txt");
        const std::string inner = File(name + "\\sub\\inner.txt");
        ForgetHandledFiles();
        CheckHandled(wintest::Lower(handled).c_str());
        UninstallType = type;
        SweepAnswer = answer;
        UninstallAbort = aborted;

        Answerer answerer({reply});
        SweepFolder(root.c_str());
        EXPECT_EQ(answerer.Stop(), asked);
        EXPECT_TRUE(Exists(handled));
        EXPECT_EQ(Exists(unknown), !deleted);
        EXPECT_EQ(Exists(inner), !deleted);
        EXPECT_EQ(Exists(sub), !deleted);
    }
    // Folders without files go without a question.
    UninstallType = SweepAnswer = UninstallAbort = 0;
    const std::string root = Folder("Empty");
    Folder("Empty\\a");
    Folder("Empty\\a\\b");
    Folder("Empty\\c");
    Answerer answerer({IDC_NO_BUTTON});
    SweepFolder(root.c_str());
    EXPECT_EQ(answerer.Stop(), 0);
    EXPECT_FALSE(Exists(root));
}

// Rows: reply, result, answer for all and abort flag after, question kept after Abort, shared-file row too.
TEST_F(RemovalTest, DeleteQuestionsFocusNoAndEachAnswerEndsTheQuestionAsItSays) {
    const std::string file = File("asked.dll");
    const std::tuple<const char*, Reply, int, int, int, bool, bool> rows[] = {
        {"Yes", {IDC_YES_BUTTON}, 1, 0, 0, false, false},
        {"No", {IDC_NO_BUTTON}, 0, 0, 0, false, false},
        {"Yes for all", {IDC_YES_BUTTON, true}, 1, 1, 0, false, true},
        {"No for all", {IDC_NO_BUTTON, true}, 0, -1, 0, false, false},
        {"Escape with the box checked", {IDCANCEL, true}, 0, 0, 0, false, false},
        {"Abort confirmed", {IDC_YES_BUTTON, false, IDYES}, 0, 0, 1, false, true},
        {"Abort declined, then No", {IDC_NO_BUTTON, false, IDNO}, 0, 0, 0, true, false},
    };
    const struct {
        int (*ask)(const char*);
        std::atomic<int>*answer, *other;
        const char* heading;
    } kinds[] = {{AskDeleteUnknownFile, &SweepAnswer, &SharedFileAnswer,
                  "Following file is not installed by install program."},
                 {AskDeleteSharedFile, &SharedFileAnswer, &SweepAnswer,
                  "Following file may be used by another application."}};
    for (const auto& kind : kinds)
        for (const auto& [what, reply, result, answerForAll, aborted, stayed, shared] : rows) {
            if (kind.ask == AskDeleteSharedFile && !shared) continue;
            SCOPED_TRACE(std::string(kind.heading) + " " + what);
            *kind.answer = *kind.other = 0;
            UninstallAbort = 0;
            Answerer answerer(reply);
            EXPECT_EQ(kind.ask(file.c_str()), result);
            ASSERT_EQ(answerer.Stop(), 1);
            const Shown& shown = answerer.first;
            EXPECT_EQ(shown.heading, kind.heading);
            EXPECT_TRUE(shown.noFocused);
            EXPECT_EQ(shown.owner, CurrentPage.load());
            EXPECT_EQ(kind.answer->load(), answerForAll);
            EXPECT_EQ(kind.other->load(), 0);
            EXPECT_EQ(UninstallAbort.load(), aborted);
            if (reply.abortAnswer == 0) continue;
            EXPECT_EQ(answerer.abortText, "Uninstallation is not yet completed.\n\nAbort uninstallation?");
            EXPECT_EQ(answerer.abortOwner, answerer.first.dialog);
            EXPECT_EQ(answerer.stayedAfterAbortQuestion, stayed);
        }
}

// Every kind of entry through its phase, with the steps reported; under UninstallType 2 no sweep.
TEST_F(RemovalTest, ThePhasesRemoveWhatTheLogNamesAndStepOncePerEntryTheyTake) {
    const std::string app = Folder("App"), empty = Folder("App\\Empty"), links = Folder("Links");
    const std::string copied = File("App\\a.txt"), replaced = File("App\\b.txt");
    const std::string kept = File("App\\keep.dll"), misc = File("App\\gone.dll"),
                      shared = File("App\\shared.dll");
    const std::string shortcut = File("Links\\App.lnk");
    const std::string ini = folder_.Path("settings.ini");
    LogSourceFile(copied.c_str(), 0);
    LogSourceFile(replaced.c_str(), 1);
    LogSourceFile("relative.txt", 0);  // taken, but no step
    LogMisc(kept, 2, 0);
    LogMisc(misc, 1, 0);
    LogMisc(shared, 1, 1);
    SetSharedCount(shared, 2);
    LogPath(PathKind::Folder, app.c_str());
    LogPath(PathKind::Folder, empty.c_str());
    LogPath(PathKind::Shortcut, shortcut.c_str());
    LogPath(PathKind::ShellFolder, links.c_str());

    const std::string sub = std::string(TestKey) + "\\Sub";
    const std::pair<std::string, const char*> values[] = {
        {TestKey, "Value"}, {TestKey, "Other"}, {sub + "\\Deeper", "Deep"}};
    for (const auto& [path, name] : values)
        RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), name, REG_SZ, "x", 2);
    LogItem("RegistryValue", nullptr, (std::string("1,") + TestKey + ",Value").c_str());
    LogItem("RegistrySubKey", nullptr, ("1," + sub).c_str());
    WriteSetting("Options", "Logged", "1", ini.c_str());
    WriteSetting("Options", "Own", "1", ini.c_str());
    LogItem("IniKey", nullptr, (ini + ",Options,Logged").c_str());
    FlushSettings(ini.c_str());
    LoadLog();

    UninstallType = 2;
    Answerer answerer({IDC_NO_BUTTON});
    const std::tuple<const char*, decltype(&RemoveFiles), int> phases[] = {
        {"files", RemoveFiles, 5},
        {"folders", RemoveFolders, 2},
        {"shortcuts", RemoveShortcuts, 2},
        {"registry", RemoveRegistryItems, 2},
        {"INI", RemoveIniItems, 1}};
    for (const auto& [name, run, steps] : phases) {
        Steps = 0;
        EXPECT_EQ(run(Counted), 1) << name;
        EXPECT_EQ(Steps, steps) << name;
    }
    EXPECT_EQ(answerer.Stop(), 0);

    for (const std::string& gone : {copied, replaced, misc, empty, shortcut, links})
        EXPECT_FALSE(Exists(gone)) << gone;
    for (const std::string& stays : {kept, shared, app}) EXPECT_TRUE(Exists(stays)) << stays;
    EXPECT_EQ(wintest::SharedCount(shared), 1);
    auto present = [](const std::string& key, const char* name) {
        return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    };
    EXPECT_FALSE(present(TestKey, "Value"));
    EXPECT_TRUE(present(TestKey, "Other"));
    EXPECT_FALSE(present(sub + "\\Deeper", "Deep")) << "the logged key goes with what is under it";
    FlushSettings(ini.c_str());
    EXPECT_EQ(SettingExists("Options", "Logged", ini.c_str()), 0);
    EXPECT_EQ(SettingExists("Options", "Own", ini.c_str()), 1);
}

// Each row: the calls goOn answers 1 before a 0, the result, how many of the three files went (steps).
TEST_F(RemovalTest, APhaseStopsWhereGoOnSaysNoAndLeavesTheRest) {
    const struct { int limit, result, gone; } rows[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 1, 3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.limit);
        FreshLog();
        const Strings files = {File("first.txt"), File("second.txt"), File("misc.dll")};
        LogSourceFile(files[0].c_str(), 0);
        LogSourceFile(files[1].c_str(), 0);
        LogMisc(files[2], 1, 0);
        LoadLog();
        Steps = GoOnCalls = 0;
        GoOnLimit = row.limit;
        EXPECT_EQ(RemoveFiles(Counted), row.result);
        EXPECT_EQ(Steps, row.gone);
        for (int n = 0; n < 3; ++n) EXPECT_EQ(Exists(files[n]), n >= row.gone) << files[n];
    }
}

}  // namespace
