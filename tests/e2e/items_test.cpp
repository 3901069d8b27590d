// The system items of a package, read back as the system and its users meet them.
#include "tests/e2e/install_run.h"

namespace {

using Strings = std::vector<std::string>;

constexpr char Folder[] = "C:\\Program Files\\Items";
constexpr char Entry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Items";
constexpr char Values[] = "Software\\Kelpack Items";

const std::string Items =
    "[Shortcut]\r\n"
    "Shortcut1=Items,{InstallDir}\\items.txt,{ProgramMenu}\\Kelpack\\Items,{InstallDir},,/a,/b\r\n"
    "Shortcut2=Items,{InstallDir}\\items.txt,{DeskTop},{InstallDir}\r\n"
    "[Registry]\r\n"
    "Registry1=0,0,2,SOFTWARE\\Kelpack Items,Folder,1,{InstallDir}\r\n"
    "Registry2=0,0,1,Software\\Kelpack Items,Number,2,-1\r\n"
    "Registry3=0,0,1,Software\\Kelpack Items,Bytes,3,01 02,ff;10\r\n"
    "[Ini]\r\n"
    "Ini1=0,0,{InstallDir}\\conf\\items.ini,Items,List,a,b\r\n"
    "Ini2=0,0,{WinIni},Kelpack Items,Folder,{InstallDir}\r\n"
    "[Uninstall]\r\n"
    "CPLUninstallName=Kelpack Items\r\n"
    "UninstallShortcutName={ProgramMenu}\\Kelpack\\Items,Uninstall Items\r\n";

// Every step fails in turn and warns (a missing drive, a missing registry root); a win.ini entry last shows
// that the run went on.
constexpr const char* FailingSystemItems =
    "[Shortcut]\r\nShortcut1=Lost,{InstallDir}\\lost.txt,Q:\\Nowhere\r\n"
    "[Registry]\r\nRegistry1=0,0,9,Software\\Nowhere,X,1,x\r\n"
    "[Ini]\r\nIni1=0,0,Q:\\Nowhere\\lost.ini,Lost,Key,x\r\n"
    "Ini2=0,0,{WinIni},Kelpack Warned,Key,after the warnings\r\n"
    "[Uninstall]\r\nUninstallShortcutName=Q:\\Nowhere,Uninstall\r\n";

// What the command line prints, run by cmd.
std::string Printed(const std::string& commandLine) {
    const std::string out = "C:\\kp-e2e\\printed.txt";
    DeleteFileA(out.c_str());
    ui::Process tool;
    if (!tool.Start(e2e::SystemFolder() + "\\cmd.exe", "/c \"" + commandLine + " > " + out + "\"") ||
        !tool.WaitForExit(e2e::Patience))
        return "";
    return testsupport::FileBytes(out);
}

// What `kelpack COMMAND` prints for the file.
std::string Kelpack(const char* command, const std::string& file) {
    return Printed("\"" + ui::WinePathOf(KP_KELPACK) + "\" " + command + " \"" + file + "\"");
}

std::string RegistryText(HKEY root, const char* key, const char* name) {
    char data[512];
    DWORD size = sizeof data;
    if (RegGetValueA(root, key, name, RRF_RT_ANY, nullptr, data, &size)) return "(none)";
    return std::string(data, size);
}

// The target and arguments of a link file.
std::string LinkOf(const std::string& file) {
    const testsupport::Link link = testsupport::ReadLink(file);
    return link.path + " " + link.arguments;
}

class SystemItems : public e2e::WizardTest {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    // Each run installs a file of its own name, so that a second run into the folder asks nothing.
    std::string Package(const std::string& general, const std::string& items,
                        const char* file = "items.txt") {
        return e2e::WritePackage("items.exe", e2e::WizardMembers(e2e::Info("Items", Folder, general + items),
                                                                 {{std::string("Src\\") + file, "items"}}));
    }
};

TEST_F(SystemItems, EveryKindIsMadeLoggedAndListedAndASecondRunReplacesTheEntry) {
    StartInstall(Package("", Items));
    ExpectFinished();

    const std::string menu = e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack\\Items";
    const std::string app = std::string(Folder) + "\\items.txt";
    EXPECT_EQ(LinkOf(menu + "\\Items.LNK"), app + " /a,/b");
    EXPECT_EQ(LinkOf(e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Items.LNK"), app + " ");
    const std::string copy = e2e::WindowsFolder() + "\\KPinst27.exe";
    const std::string command = RegistryText(HKEY_LOCAL_MACHINE, Entry, "UninstallString").c_str();
    const std::string info = command.substr(command.find(" -U") + 3);
    EXPECT_EQ(command.substr(0, command.find(" -U")), "\"" + copy + "\"");
    EXPECT_EQ(info.rfind(std::string(Folder) + "\\KPU", 0), 0u) << command;
    EXPECT_EQ(e2e::Lower(LinkOf(menu + "\\Uninstall Items.LNK")), e2e::Lower(copy + " -U" + info));
    // The uninstall information, whole to its archive's end, read by the packaging tool as the uninstaller
    // will. (Its attributes and head: EndOfInstallTest and the host's uninstall head tests.)
    const std::string stored = testsupport::FileBytes(info);
    ASSERT_GT(stored.size(), 290u);
    EXPECT_EQ(stored[269], 1) << "English";
    EXPECT_EQ(GetU32(reinterpret_cast<const unsigned char*>(stored.data()) + 274), stored.size());
    EXPECT_NE(Kelpack("verify", info).find(": OK ("), std::string::npos);
    const std::string printed = Kelpack("log", info);
    for (const std::string& shown : {std::string("Signature: KPUI0207\r\n"), std::string("Title: Items\r\n"),
                                     std::string(Folder) + "\\items.txt", std::string("UninstallType = 0")})
        EXPECT_NE(printed.find(shown), std::string::npos) << shown << " in\n" << printed;

    // The registry values are checked in the prefix's registry files (system_items_registry), their
    // variations in RegistryItemsTest; one INI value of each kind of file lands here.
    EXPECT_EQ(e2e::Setting(std::string(Folder) + "\\conf\\items.ini", "Items", "List"), "a,b");
    char winIni[MAX_PATH] = "";
    GetProfileStringA("Kelpack Items", "Folder", "", winIni, sizeof winIni);
    EXPECT_STREQ(winIni, Folder);
    const std::string listed = Printed("uninstaller.exe --list");  // Wine's list of installed programs
    EXPECT_NE(listed.find("Kelpack Items"), std::string::npos) << listed;

    // The same title again, with a restart that keeps the log for a look: the entry left by the first run
    // is replaced, not merged into.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, Entry, "Stale", REG_SZ, "x", 2);
    StartInstall(Package("NeedRestart=1\r\n", Items, "again.txt"));
    HWND question = Box(e2e::RestartQuestion);
    Strings logs = e2e::WorkingFilesWith("ShellFolder");
    ASSERT_EQ(logs.size(), 1u);
    const auto entries = [&logs](const char* section, int count) {
        Strings found;
        for (int n = 1; n <= count; ++n)
            found.push_back(e2e::Setting(logs[0], section, std::to_string(n).c_str()));
        return found;
    };
    // Only the levels below the program menu; the uninstall shortcut's folder is logged once.
    EXPECT_EQ(entries("ShellFolder", 3),
              (Strings{e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack", menu, "(none)"}));
    EXPECT_EQ(entries("Shortcut", 3),
              (Strings{menu + "\\Items.LNK", e2e::ShellFolder(CSIDL_DESKTOPDIRECTORY) + "\\Items.LNK",
                       menu + "\\Uninstall Items.LNK"}));
    // (The registry and INI items' log: RegistryItemsTest and IniItemsTest.)
    EXPECT_EQ(e2e::Setting(logs[0], "General", "UninstallType"), "0");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, Entry, "Stale"), "(none)");
    // Declined, the run says when the installation completes and leaves the end-install information and
    // the RunOnce value that reads it; this test plays no restart.
    ui::ClickButton(question, IDNO);
    ASSERT_TRUE(ui::WaitForWindowToGo(question, e2e::Patience));
    ASSERT_TRUE(Answer("Installation will be completed after system restarted.", IDOK));
    ASSERT_TRUE(run_.WaitForExit(e2e::Patience));
    EXPECT_EQ(run_.ExitCode(), 0u);
    const Strings endInstall = e2e::WorkingFilesWith("Window");
    ASSERT_EQ(endInstall.size(), 1u) << "the end-install information stays";
    EXPECT_EQ(e2e::Lower(e2e::FinishRunCommand("Items")), e2e::Lower("\"" + copy + "\" -i" + endInstall[0]));
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, e2e::RunOnceKey, "Items");
    for (const std::string& file : e2e::WorkingFiles()) e2e::DeleteWorkingFile(file);
}

TEST_F(SystemItems, AFailingStepWarnsOverThePageAndTheNextStepStillRuns) {
    StartInstall(Package("", FailingSystemItems, "warned.txt"));
    HWND page = Page(IDC_PROGRESS_TITLE);
    const std::pair<MessageId, const char*> warnings[] = {
        {MessageId::ErrorCreatingShortcuts, "shortcuts"},
        {MessageId::ErrorInstallingRegistryItems, "registry"},
        {MessageId::ErrorInstallingIniItems, "ini"},
        {MessageId::ErrorRegisteringUninstall, "uninstall"}};
    for (const auto& [warning, name] : warnings) {
        HWND box = Box(MessageOf(warning).english);
        EXPECT_EQ(GetWindow(box, GW_OWNER), page);
        ui::CaptureScreen(box, ("system-items-warning-" + std::string(name)).c_str());
        ui::ClickButton(box, IDOK);
        ASSERT_TRUE(ui::WaitForWindowToGo(box, e2e::Patience));
    }
    ExpectFinished();
    char value[64] = "";
    GetProfileStringA("Kelpack Warned", "Key", "", value, sizeof value);
    EXPECT_STREQ(value, "after the warnings");
    WriteProfileStringA("Kelpack Warned", nullptr, nullptr);
}

TEST_F(SystemItems, The95FamilyMakesTheSameItems) {
    const e2e::AsWindows98 asWindows98;
    ASSERT_TRUE(asWindows98.On());
    StartInstall(Package("", Items, "ninety-eight.txt"));
    ExpectFinished();
    const std::string menu = e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack\\Items";
    EXPECT_EQ(LinkOf(menu + "\\Items.LNK"), std::string(Folder) + "\\items.txt /a,/b");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, Values, "Bytes"), "\x01\x02\xff\x10");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, Entry, "DisplayName"), std::string("Kelpack Items", 14));
}

}  // namespace
