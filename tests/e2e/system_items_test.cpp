// Shortcuts, registry items, INI items and the uninstall entry of a package installed through the wizard,
// read back as the system and its users meet them.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

#include "archive/format.h"
#include "tests/e2e/install_run.h"
#include "tests/e2e/machine_picture.h"
#include "tests/support/shell_link.h"
#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

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
    "Registry4=1,0,1,Software\\Kelpack Items,Kept,1,new\r\n"
    "[Ini]\r\n"
    "Ini1=0,0,{InstallDir}\\conf\\items.ini,Items,List,a,b\r\n"
    "Ini2=0,0,{WinIni},Kelpack Items,Folder,{InstallDir}\r\n"
    "[Uninstall]\r\n"
    "CPLUninstallName=Kelpack Items\r\n"
    "UninstallShortcutName={ProgramMenu}\\Kelpack\\Items,Uninstall Items\r\n";

// What `kelpack COMMAND` prints for the file.
std::string Kelpack(const char* command, const std::string& file) {
    const std::string out = "C:\\kp-e2e\\kelpack-out.txt";
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    ui::Process tool;
    const std::string line =
        "/c \"\"" + ui::WinePathOf(KP_KELPACK) + "\" " + command + " \"" + file + "\" > " + out + "\"";
    if (!tool.Start(std::string(system) + "\\cmd.exe", line) || !tool.WaitForExit(e2e::Patience)) return "";
    return testsupport::FileBytes(out);
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

// What Wine's own list of installed programs prints.
std::string UninstallerList() {
    SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    char command[] = "uninstaller.exe --list";
    const bool started = CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[4096];
    for (DWORD read; started && ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0;)
        output.append(buffer, read);
    CloseHandle(readEnd);
    if (started) {
        WaitForSingleObject(process.hProcess, e2e::Patience);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    return output;
}

class SystemItems : public e2e::WizardTest {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    // Each run installs a file of its own name, so that a second run into the folder asks nothing.
    std::string Package(const std::string& general, const std::string& items,
                        const char* file = "items.txt") {
        const std::string info =
            "[General]\r\nTitle=Items\r\nLanguage=1\r\nDefInstallFolder=" + std::string(Folder) + "\r\n" +
            general + items;
        return e2e::WritePackage("items.exe",
                                 e2e::WizardMembers(info, {{std::string("Src\\") + file, "items"}}));
    }
    void Install(const std::string& package) { Leave(StartAtFolderPage(package), IDC_INSTALL); }
};

TEST_F(SystemItems, EveryKindIsMadeLoggedAndListedAndASecondRunReplacesTheEntry) {
    RegSetKeyValueA(HKEY_CURRENT_USER, Values, "Kept", REG_SZ, "old", 4);
    Install(Package("", Items));
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
    // The uninstall information: read-only, hidden, its head and archive whole.
    EXPECT_EQ(GetFileAttributesA(info.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const std::string stored = testsupport::FileBytes(info);
    ASSERT_GT(stored.size(), 290u);
    EXPECT_EQ(stored.substr(0, 16), std::string("KPUI0207\0Items\0", 16));
    EXPECT_EQ(stored[269], 1) << "English";
    EXPECT_EQ(GetU32(reinterpret_cast<const unsigned char*>(stored.data()) + 274), stored.size());
    // The packaging tool reads it as the uninstaller will.
    EXPECT_NE(Kelpack("verify", info).find(": OK ("), std::string::npos);
    const std::string printed = Kelpack("log", info);
    for (const std::string& shown :
         {std::string("Title: Items"), std::string(Folder) + "\\items.txt", std::string("UninstallType = 0")})
        EXPECT_NE(printed.find(shown), std::string::npos) << shown << " in\n" << printed;

    const std::pair<std::string, std::string> values[] = {
        {RegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelpack Items", "Folder"), std::string(Folder) + '\0'},
        {RegistryText(HKEY_CURRENT_USER, Values, "Number"), "\xff\xff\xff\xff"},
        {RegistryText(HKEY_CURRENT_USER, Values, "Bytes"), "\x01\x02\xff\x10"},
        {RegistryText(HKEY_CURRENT_USER, Values, "Kept"), std::string("old", 4)},
        {RegistryText(HKEY_LOCAL_MACHINE, Entry, "DisplayName"), std::string("Kelpack Items", 14)},
        {e2e::Setting(std::string(Folder) + "\\conf\\items.ini", "Items", "List"), "a,b"},
    };
    for (const auto& [stored, expected] : values) EXPECT_EQ(stored, expected);
    char winIni[MAX_PATH] = "";
    GetProfileStringA("Kelpack Items", "Folder", "", winIni, sizeof winIni);
    EXPECT_STREQ(winIni, Folder);
    EXPECT_NE(UninstallerList().find("Kelpack Items"), std::string::npos) << UninstallerList();

    // The same title again, with a restart that keeps the log for a look: the entry left by the first run
    // is replaced, not merged into.
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, Entry, "Stale", REG_SZ, "x", 2);
    Install(Package("NeedRestart=1\r\n", Items, "again.txt"));
    HWND question = Box(e2e::RestartQuestion);
    ASSERT_NE(question, nullptr);
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
    // The first run created the keys: this one logs only its values.
    EXPECT_EQ(entries("RegistrySubKey", 1), Strings{"(none)"});
    EXPECT_EQ(entries("RegistryValue", 4),
              (Strings{"2,SOFTWARE\\Kelpack Items,Folder", "1,Software\\Kelpack Items,Number",
                       "1,Software\\Kelpack Items,Bytes", "1,Software\\Kelpack Items,Kept"}));
    EXPECT_EQ(entries("IniKey", 2),
              (Strings{std::string(Folder) + "\\conf\\items.ini,Items,List", ",Kelpack Items,Folder"}));
    EXPECT_EQ(e2e::Setting(logs[0], "General", "UninstallType"), "0");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, Entry, "Stale"), "(none)");
    ASSERT_NO_FATAL_FAILURE(DeclineRestart(question));
    // The end-install information waits for the restart; this test plays none.
    for (const std::string& file : e2e::WorkingFiles()) e2e::DeleteWorkingFile(file);
}

TEST_F(SystemItems, AFailingStepWarnsOverThePageAndTheNextStepStillRuns) {
    Install(Package("", e2e::FailingSystemItems, "warned.txt"));
    ExpectSystemItemWarnings(false);
}

TEST_F(SystemItems, The95FamilyMakesTheSameItems) {
    ASSERT_TRUE(e2e::ReportWindows98(true));
    Install(Package("", Items, "ninety-eight.txt"));
    ExpectFinished();
    e2e::ReportWindows98(false);
    const std::string menu = e2e::ShellFolder(CSIDL_PROGRAMS) + "\\Kelpack\\Items";
    EXPECT_EQ(LinkOf(menu + "\\Items.LNK"), std::string(Folder) + "\\items.txt /a,/b");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, Values, "Bytes"), "\x01\x02\xff\x10");
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, Entry, "DisplayName"), std::string("Kelpack Items", 14));
}

}  // namespace
