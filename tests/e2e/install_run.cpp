// Packages and install runs for the end-to-end tests.
#include "tests/e2e/install_run.h"

#include <shellapi.h>

#include <iterator>
#include <stdexcept>

namespace e2e {

std::string ModuleBytes() { return testsupport::FileBytes(ui::WinePathOf(ui::Environment("KP_MODULE"))); }

std::string Fixture(const char* name) {
    return testsupport::FileBytes(ui::WinePathOf(std::string(KP_FIXTURES_DIR "/") + name));
}

std::string WindowsFolder() {
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TempFolder() {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TEMP", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? folder : WindowsFolder();
}

Strings LeftoversIn(const std::string& folder) {
    Strings names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\_kp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

namespace {

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

Strings WorkingFiles() {
    Strings files;
    for (const std::string& name : LeftoversIn(TempFolder())) {
        const std::string path = TempFolder() + "\\" + name;
        if (IsFile(path)) {
            files.push_back(path);
            continue;
        }
        for (const std::string& inner : LeftoversIn(path))
            if (IsFile(path + "\\" + inner)) files.push_back(path + "\\" + inner);
    }
    return files;
}

void DeleteWorkingFile(const std::string& path) {
    DeleteFileA(path.c_str());
    const std::string folder = path.substr(0, path.rfind('\\'));
    if (folder != TempFolder()) RemoveDirectoryA(folder.c_str());
}

Strings WorkingFilesWith(const char* section) {
    Strings found;
    for (const std::string& path : WorkingFiles()) {
        char keys[64];
        if (GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, path.c_str()) > 0)
            found.push_back(path);
    }
    return found;
}

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string WaitForLine(const std::string& path) {
    std::string text;
    for (DWORD waited = 0; waited < Patience; waited += 100) {
        text = testsupport::FileBytes(path);
        if (text.find('\n') != std::string::npos) break;
        Sleep(100);
    }
    return Lower(text);
}

namespace {

// A value under HKEY_LOCAL_MACHINE: a text as it is, a number in decimal; "(none)" when missing.
std::string MachineValue(const std::string& key, const char* name,
                         DWORD types = RRF_RT_REG_SZ | RRF_RT_REG_DWORD) {
    char data[1024] = "";
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, types, &type, data, &size) != ERROR_SUCCESS)
        return "(none)";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<const DWORD*>(data));
    return data;
}

}  // namespace

std::string FinishRunCommand(const char* title) { return MachineValue(RunOnceKey, title, RRF_RT_REG_SZ); }

std::string UninstallEntryKey(const std::string& title) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
}

std::string UninstallEntry(const std::string& title, const char* value) {
    return MachineValue(UninstallEntryKey(title), value);
}

bool DateFile(const std::string& path, WORD year) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    SYSTEMTIME time = {year, 1, 0, 1, 0, 0, 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
    return true;
}

void RemoveTree(const std::string& path) {
    ui::ForEachEntry(path, true, [](const std::string& entry, const WIN32_FIND_DATAA&) {
        SetFileAttributesA(entry.c_str(), FILE_ATTRIBUTE_NORMAL);
    });
    std::string from = path + '\0';  // the list ends with a second terminator
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&operation);
}

std::string Setting(const std::string& file, const char* section, const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, file.c_str());
    return value;
}

std::string HelloInfo(const std::string& more) { return Info("Hello", "", more); }

std::vector<testsupport::Member> WizardMembers(const std::string& info,
                                               const std::vector<testsupport::Member>& more) {
    std::vector<testsupport::Member> members = {
        {"KPII", info}, {"KPWB", ui::BitmapFile(110, 250, std::string(332 * 250, '\x60'))}};  // grey, 24-bit
    members.insert(members.end(), more.begin(), more.end());
    return members;
}

std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members) {
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    const std::string path = std::string("C:\\kp-e2e\\") + name;
    EXPECT_TRUE(testsupport::WriteArchiveAfter(path, ModuleBytes(), ArchiveFormat::NotSplit, members));
    return path;
}

std::string LifePackage(const std::string& more, const std::string& title, const std::string& folder) {
    return WritePackage((title + ".exe").c_str(),
                        WizardMembers(Info(title, folder, more), {{"Src\\life.txt", "life"},
                                                                  {"Src\\docs\\life.hlp", "help"},
                                                                  {"Src\\docs\\more\\notes.txt", "notes"},
                                                                  {"Misc1", Fixture("com_server.dll")},
                                                                  {"Misc2", Fixture("fixture.tlb")}}));
}

DWORD RunPackage(const std::string& package, DWORD excluding) {
    ui::Process bootstrap;
    if (!bootstrap.Start(package, "")) return 0;
    EXPECT_TRUE(bootstrap.WaitForExit(Patience));
    EXPECT_EQ(bootstrap.ExitCode(), 0u) << "bootstrap run";
    return ui::WaitForProcessNamed("KPinst27.exe", Patience, excluding);
}

bool ReportWindows98(bool on) {
    HKEY wine;
    if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine", &wine) != ERROR_SUCCESS) return false;
    const LONG changed =
        on ? RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6)
           : RegDeleteValueA(wine, "Version");
    RegCloseKey(wine);
    return changed == ERROR_SUCCESS;
}

void EndStrayRuns() {
    for (DWORD id; (id = ui::WaitForProcessNamed("KPinst27.exe", 0)) != 0;) {
        ui::Process stray;
        if (stray.Attach(id)) stray.Kill();
    }
}

namespace {

// "key : value = data" for every value under the registry key.
void ListKey(HKEY root, const std::string& name, Strings& lines) {
    HKEY key;
    if (RegOpenKeyExA(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    char item[512];
    BYTE data[4096];
    for (DWORD index = 0;; ++index) {
        DWORD itemSize = sizeof item, dataSize = sizeof data, type = 0;
        const LONG read = RegEnumValueA(key, index, item, &itemSize, nullptr, &type, data, &dataSize);
        if (read == ERROR_MORE_DATA) continue;  // not something an installation writes
        if (read != ERROR_SUCCESS) break;
        lines.push_back(name + " : " + item + " = " + std::string(reinterpret_cast<char*>(data), dataSize));
    }
    Strings subkeys;
    for (DWORD index = 0;; ++index) {
        DWORD itemSize = sizeof item;
        if (RegEnumKeyExA(key, index, item, &itemSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        subkeys.push_back(item);
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) ListKey(root, name + "\\" + subkey, lines);
}

}  // namespace

std::string ShellFolder(int id) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, id, nullptr, 0, path);
    return path;
}

Strings MachinePicture() {
    Strings lines;
    const auto ListTree = [&lines](const std::string& root, bool deep) {
        ui::ForEachEntry(root, deep, [&lines](const std::string& path, const WIN32_FIND_DATAA& found) {
            lines.push_back(path + " " + std::to_string(found.nFileSizeLow));
        });
    };
    ListTree("C:", false);
    ListTree("C:\\Program Files", true);
    ListTree(WindowsFolder(), false);
    std::erase(lines, WindowsFolder() + "\\KPinst27.exe 262144");
    ListTree(TempFolder(), true);
    // A folder the system does not name would be listed from the root of the current drive.
    for (int folder :
         {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS, CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY})
        if (const std::string path = ShellFolder(folder); !path.empty()) ListTree(path, true);
    ListKey(HKEY_LOCAL_MACHINE, "Software", lines);
    ListKey(HKEY_CURRENT_USER, "Software", lines);
    const std::string winIni = testsupport::FileBytes(WindowsFolder() + "\\win.ini");
    for (size_t start = 0; start < winIni.size();) {
        size_t end = winIni.find('\n', start);
        if (end == std::string::npos) end = winIni.size();
        lines.push_back("win.ini: " + winIni.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

Strings Changes(Strings before, Strings after) {
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    Strings gone, added, changes;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    for (const std::string& line : gone) changes.push_back("- " + line);
    for (const std::string& line : added) changes.push_back("+ " + line);
    return changes;
}

void ForgetProducts(std::initializer_list<const char*> titles, const Strings& paths) {
    for (const char* title : titles) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, UninstallEntryKey(title).c_str());
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, RunOnceKey, title);
    }
    for (const std::string& path : paths) RemoveTree(path);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelpack Life");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kelpack Life");
    WriteProfileStringA("Kelpack Life", nullptr, nullptr);
}

HeldFile Hold(const std::string& path) {
    HANDLE file =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    return HeldFile(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

HeldFile PlaceAndHold(const std::string& path, const std::string& bytes) {
    CreateDirectoryA(path.substr(0, path.rfind('\\')).c_str(), nullptr);
    testsupport::SetFileBytes(path, bytes);
    return Hold(path);
}

std::string Info(const std::string& title, const std::string& folder, const std::string& more, int language) {
    return "[General]\r\nTitle=" + title + "\r\nLanguage=" + std::to_string(language) + "\r\n" +
           (folder.empty() ? "" : "DefInstallFolder=" + folder + "\r\n") + more;
}

HWND Need(HWND window, const std::string& what) {
    if (window == nullptr) throw std::runtime_error("no " + what + " came");
    return window;
}

HWND WizardTest::Start(const std::string& package, int pageControl) {
    if (!run_.Attach(RunPackage(package))) throw std::runtime_error("no install run started");
    return Page(pageControl);
}

HWND WizardTest::StartPastWelcome(const std::string& package, int pageControl) {
    return Go(Start(package, IDC_WELCOME_TITLE), IDC_NEXT, pageControl);
}

void WizardTest::StartInstall(const std::string& package) { Leave(StartAtFolderPage(package), IDC_INSTALL); }

void WizardTest::StartCommand(const std::string& command) {
    const size_t end = command.find('"', 1);
    ASSERT_TRUE(run_.Start(command.substr(1, end - 1), command.substr(end + 2))) << command;
}

void WizardTest::Leave(HWND page, int button) {
    ui::ClickButton(page, button);
    EXPECT_TRUE(ui::WaitForWindowToGo(page, Patience));
}

HWND WizardTest::Go(HWND page, int button, int pageControl) {
    Leave(page, button);
    return Page(pageControl);
}

HWND WizardTest::SettledFocus(HWND page) {
    Sleep(300);
    return ui::FocusedControl(page);
}

void WizardTest::ExpectTexts(HWND page, const std::vector<std::pair<int, std::string>>& texts) {
    for (const auto& [control, text] : texts) EXPECT_EQ(Text(page, control), text) << "control " << control;
}

void WizardTest::Agree(HWND license) {
    ui::ClickButton(license, IDC_PREV);
    for (int wait = 0; wait < 50 && (!Enabled(license, IDC_NEXT) || Enabled(license, IDC_PREV)); ++wait)
        Sleep(50);
}

HWND WizardTest::Box(const std::string& text) {
    HWND box = Need(ui::WaitForMessageBox(run_.Id(), Patience), "message box saying: " + text);
    EXPECT_EQ(ui::MessageBoxText(box), text);
    return box;
}

bool WizardTest::Answer(const std::string& text, int button, const char* screenshot) {
    HWND box = Box(text);
    if (screenshot != nullptr) ui::CaptureScreen(box, screenshot);
    ui::ClickButton(box, button);
    const bool gone = ui::WaitForWindowToGo(box, Patience);
    EXPECT_TRUE(gone);
    return gone;
}

void WizardTest::ExpectEndsWith(DWORD code) {
    ASSERT_TRUE(run_.WaitForExit(Patience));
    EXPECT_EQ(run_.ExitCode(), code);
    EXPECT_EQ(LeftoversIn(TempFolder()), Strings{});
}

void WizardTest::CancelUnasked(HWND page) {
    Leave(page, IDC_CANCEL);
    EXPECT_EQ(ui::WaitForMessageBox(run_.Id(), 500), nullptr) << "no question on this page";
    ExpectEndsWith(0);
}

void WizardTest::Abort(HWND page, int button) {
    ui::ClickButton(page, button);
    Answer(AbortQuestion, IDYES);
    ExpectEndsWith(0);
}

void WizardTest::ExpectFinished(const char* screenshot) {
    HWND page = Page(IDC_COMPLETED);
    if (screenshot) {
        ui::WaitUntilPainted(page);
        ui::CaptureScreen(page, screenshot);
    }
    ui::ClickButton(page, IDC_OK);
    ExpectEndsWith(0);
}

}  // namespace e2e
