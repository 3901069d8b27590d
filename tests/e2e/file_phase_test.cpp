// The file phase: overwrite question and rules, the progress bar, and rollbacks to what was there before.
#include "tests/e2e/install_run.h"

namespace {

using e2e::Patience;
using testsupport::FileBytes;
using testsupport::Member;
using testsupport::SetFileBytes;

const uint32_t Year2024 = (44u << 25 | 3u << 21 | 15u << 16) | (13u << 11 | 45u << 5);

// A wizard package of Hello with the install information's extra lines, and members.
std::vector<Member> Package(const std::string& info, const std::vector<Member>& more = {}) {
    return e2e::WizardMembers(e2e::HelloInfo(info), more);
}

// Makes the folder and puts a file "old" in it by each name.
void PlaceOld(const std::string& folder, std::initializer_list<const char*> names) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : names) SetFileBytes(folder + "\\" + name, "old");
}

// Adds a source member "new NAME" of 2024 for each name.
void AddNew(std::vector<Member>& members, std::initializer_list<const char*> names) {
    for (const char* name : names)
        members.push_back({std::string("Src\\") + name, std::string("new ") + name, Year2024});
}

class FilePhase : public e2e::WizardTest {
  protected:
    // Starts the package, installs into the folder it proposes and returns the progress page.
    HWND Install(const std::string& package) {
        StartInstall(package);
        return Page(IDC_PROGRESS_TITLE);
    }
    // The same, after taking a picture of the machine to compare with at the end.
    HWND InstallFromPicture(const std::string& package) {
        before_ = e2e::MachinePicture();
        return Install(package);
    }
    // The machine is as it was before the run.
    void ExpectRolledBack(const char* note = "") {
        EXPECT_EQ(e2e::Changes(before_, e2e::MachinePicture()), std::vector<std::string>{}) << note;
    }
    HWND Question() { return Page(IDC_NO_MORE_CONFIRMATION); }
    // Answers the overwrite question that names the file, optionally with "No more confirmation." set.
    void Reply(const char* fileName, int button, bool noMore = false) {
        HWND question = Question();
        EXPECT_EQ(Text(question, IDC_LINE3).rfind(fileName, 0), 0u) << Text(question, IDC_LINE3);
        if (noMore) {
            ASSERT_TRUE(ui::Check(GetDlgItem(question, IDC_NO_MORE_CONFIRMATION)));
        }
        ui::ClickButton(question, button);
        ASSERT_TRUE(ui::WaitForWindowToGo(question, Patience));
    }
    // The percentage the progress bar of the page shows.
    std::string BarText(HWND page) {
        HWND bar = FindWindowExA(page, nullptr, "KPPB", nullptr);
        return bar != nullptr ? ui::WindowText(bar) : "";
    }

    std::vector<std::string> before_;
};

TEST_F(FilePhase, TheOverwriteQuestionReplacesKeepsAndStopsAskingWhenTold) {
    const std::string folder = "C:\\Program Files\\Overwrite";
    PlaceOld(folder, {"a.txt", "b.txt", "c.txt", "d.txt"});
    ASSERT_TRUE(e2e::DateFile(folder + "\\a.txt", 1990));  // any member counts as newer
    std::vector<Member> members =
        Package("DefInstallFolder={ProgramFiles}\\Overwrite\r\nSpaceNeeded=1000000\r\n");
    AddNew(members, {"a.txt", "b.txt", "c.txt", "d.txt", "sub\\e.txt"});
    Install(e2e::WritePackage("files.exe", members));

    HWND question = Question();
    EXPECT_EQ(ui::WindowText(question), "Installation of Hello");
    EXPECT_EQ(Text(question, IDC_LINE1).substr(0, 20), "a.txt(1990-1-1/0:00;");
    ExpectTexts(question, {{IDC_QUESTION, "Following file already exists in the folder '" + folder + "'."},
                           {IDC_LINE3, "a.txt(2024-3-15/13:45; 9Bytes)"}});
    EXPECT_EQ(SettledFocus(question), GetDlgItem(question, IDC_YES_BUTTON)) << "the newer file suggests Yes";
    ui::WaitUntilPainted(question);
    ui::CaptureScreen(question, "overwrite-question");
    Reply("a.txt", IDC_YES_BUTTON);

    question = Question();
    EXPECT_EQ(SettledFocus(question), GetDlgItem(question, IDC_NO_BUTTON)) << "an older one suggests No";
    Reply("b.txt", IDC_NO_BUTTON);
    Reply("c.txt", IDC_YES_BUTTON, true);
    ExpectFinished();
    // d.txt is replaced without a question.
    for (const auto& [name, content] : {std::pair<const char*, const char*>{"a.txt", "new a.txt"},
                                        {"b.txt", "old"},
                                        {"c.txt", "new c.txt"},
                                        {"d.txt", "new d.txt"},
                                        {"sub\\e.txt", "new sub\\e.txt"}})
        EXPECT_EQ(FileBytes(folder + "\\" + name), content) << name;
}

TEST_F(FilePhase, NoMoreConfirmationWithNoKeepsTheRestAndAbortRollsBack) {
    const std::string folder = "C:\\Program Files\\NoMore";
    PlaceOld(folder, {"a.txt", "b.txt"});
    SetFileBytes("C:\\misc.txt", "old misc");
    std::vector<Member> members = Package(
        "DefInstallFolder={ProgramFiles}\\NoMore\r\nSpaceNeeded=1000\r\n"
        "[MiscFile]\r\nMiscFile1=C:\\misc.txt,0,1\r\n");
    AddNew(members, {"a.txt", "b.txt", "sub\\c.txt"});
    members.push_back({"Src\\empty\\", ""});
    members.push_back({"Src\\sub\\big.txt", testsupport::SampleText(5000, 1)});  // five times SpaceNeeded
    members.push_back({"Misc1", "new misc", Year2024});
    HWND progress = InstallFromPicture(e2e::WritePackage("files.exe", members));

    Reply("a.txt", IDC_NO_BUTTON, true);
    // The misc file asks on its own account, with the target's name; the bar is past 100% by now.
    HWND question = Question();
    EXPECT_EQ(Text(question, IDC_LINE3).rfind("misc.txt(2024-3-15/13:45; 8Bytes)", 0), 0u);
    EXPECT_EQ(FileBytes(folder + "\\sub\\c.txt"), "new sub\\c.txt");
    // The bar shows the worker's reports on a timer: it catches up within one tick.
    std::string shown = BarText(progress);
    for (int wait = 0; wait < 100 && std::stoi(shown) <= 100; ++wait, Sleep(20)) shown = BarText(progress);
    EXPECT_GT(std::stoi(shown), 100) << shown;
    ui::WaitUntilPainted(progress);
    ui::CaptureScreen(progress, "progress-over-100");
    ui::ClickButton(question, IDC_ABORT);
    ASSERT_TRUE(Answer(e2e::AbortQuestion, IDNO));
    EXPECT_TRUE(IsWindow(question)) << "No goes back to the question";
    Abort(question, IDC_ABORT);

    EXPECT_EQ(FileBytes(folder + "\\b.txt"), "old") << "kept without a question";
    ExpectRolledBack("the rollback removes sub and empty with their files");
}

TEST_F(FilePhase, AbortOnTheProgressPageRollsBackEverythingCopiedSoFar) {
    // Many small files: what they cost is mostly the system's work for each file, so the phase lasts
    // long enough for the click on a fast machine too.
    constexpr int Files = 10000, Size = 512;
    std::vector<Member> members = Package(
        "DefInstallFolder={ProgramFiles}\\Large\r\nSpaceNeeded=" + std::to_string(Files * Size) + "\r\n");
    for (int n = 0; n < Files; ++n)
        members.push_back({"Src\\part" + std::to_string(n / 100) + "\\file" + std::to_string(n) + ".txt",
                           testsupport::SampleText(Size, n)});
    HWND progress = InstallFromPicture(e2e::WritePackage("large.exe", members));
    ExpectTexts(progress,
                {{IDC_INSTALLING_TO, "Installing to:"}, {IDC_FOLDER_GROUP, "C:\\Program Files\\Large"}});

    // Mid-way: some files are in place and the bar says so.
    int percent = 0;
    for (int wait = 0; wait < 600 && percent < 20; ++wait, Sleep(20))
        percent = atoi(BarText(progress).c_str());
    ASSERT_GE(percent, 20);
    ui::CaptureScreen(progress, "progress-mid-way");
    ui::ClickButton(progress, IDC_ABORT);
    HWND box = Box(e2e::AbortQuestion);
    // The file phase holds still while the question is open. The bar may first catch up with blocks
    // written before the worker reached its hold (it is redrawn on a timer); then it stays.
    std::string held = BarText(progress);
    for (int wait = 0; wait < 20; ++wait) {
        Sleep(150);
        const std::string now = BarText(progress);
        if (now == held) break;
        held = now;
    }
    Sleep(500);
    EXPECT_EQ(BarText(progress), held);
    ASSERT_LT(atoi(held.c_str()), 100) << "the abort must come before the end";
    ui::ClickButton(box, IDYES);
    ExpectEndsWith(0);
    ExpectRolledBack();
}

TEST_F(FilePhase, ADamagedMemberShowsTheArchiveErrorAndRollsBack) {
    std::vector<Member> members = Package("DefInstallFolder={ProgramFiles}\\Damaged\r\nSpaceNeeded=0\r\n");
    for (int n = 0; n < 5; ++n)
        members.push_back({"Src\\file" + std::to_string(n) + ".bin", testsupport::SampleNoise(100000, n)});
    const std::string package = e2e::WritePackage("damaged.exe", members);
    // Noise is stored as it is: a byte changed in the middle of the package lands in the third file.
    std::string bytes = FileBytes(package);
    bytes[bytes.size() - 250000] ^= 0x5A;
    SetFileBytes(package, bytes);
    HWND progress = InstallFromPicture(package);

    HWND box =
        Box("This install file was corrupted or truncated, There were some errors while extracting files "
            "from archive.\n\nAborting Installation.");
    EXPECT_EQ(BarText(progress), "100%") << "nothing needed: the bar is full from the start";
    EXPECT_TRUE(FileBytes("C:\\Program Files\\Damaged\\file0.bin") == testsupport::SampleNoise(100000, 0));
    ui::CaptureScreen(box, "file-phase-archive-error");
    ui::ClickButton(box, IDOK);
    ExpectEndsWith(0);
    ExpectRolledBack();
}

}  // namespace
