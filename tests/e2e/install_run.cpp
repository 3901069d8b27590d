// Packages and install runs for the end-to-end tests.
#include "tests/e2e/install_run.h"

#include <gtest/gtest.h>

#include "archive/format.h"
#include "ui/resources/resource_ids.h"

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

std::string TempFolder() {
    char folder[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("TEMP", folder, sizeof folder);
    return length > 0 && length < sizeof folder ? folder : WindowsFolder();
}

std::vector<std::string> LeftoversIn(const std::string& folder) {
    std::vector<std::string> names;
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

std::vector<std::string> WorkingFiles() {
    std::vector<std::string> files;
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

std::vector<std::string> WorkingFilesWith(const char* section) {
    std::vector<std::string> found;
    for (const std::string& path : WorkingFiles()) {
        char keys[64];
        if (GetPrivateProfileStringA(section, nullptr, "", keys, sizeof keys, path.c_str()) > 0)
            found.push_back(path);
    }
    return found;
}

std::string Setting(const std::string& file, const char* section, const char* key) {
    char value[MAX_PATH];
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof value, file.c_str());
    return value;
}

std::vector<std::string> FileListRecords(const std::string& file) {
    const std::string bytes = testsupport::FileBytes(file);
    std::vector<std::string> paths;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = static_cast<unsigned char>(bytes[at]);
        if (length < 3 || at + 1 + length > bytes.size() || bytes[at + 2] != ':') return {};
        paths.push_back(bytes.substr(at + 1, length));
        at += 1 + length;
    }
    return paths;
}

std::string SampleBitmap(int width, int height, COLORREF top, COLORREF bottom) {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + stride * height;
    std::string bytes(reinterpret_cast<char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<char*>(&info), sizeof info);
    for (int row = 0; row < height; ++row) {  // bottom row first
        const COLORREF colour = row < height / 2 ? bottom : top;
        std::string line(stride, '\0');
        for (int x = 0; x < width; ++x) {
            line[x * 3] = static_cast<char>(GetBValue(colour));
            line[x * 3 + 1] = static_cast<char>(GetGValue(colour));
            line[x * 3 + 2] = static_cast<char>(GetRValue(colour));
        }
        bytes += line;
    }
    return bytes;
}

std::string WritePackage(const char* name, const std::vector<testsupport::Member>& members) {
    CreateDirectoryA("C:\\kp-e2e", nullptr);
    const std::string path = std::string("C:\\kp-e2e\\") + name;
    EXPECT_TRUE(testsupport::WriteArchiveAfter(path, ModuleBytes(), ArchiveFormat::NotSplit, members));
    return path;
}

DWORD RunPackage(const std::string& package, DWORD excluding) {
    ui::Process bootstrap;
    if (!bootstrap.Start(package, "")) return 0;
    EXPECT_TRUE(bootstrap.WaitForExit(Patience));
    EXPECT_EQ(bootstrap.ExitCode(), 0u) << "bootstrap run";
    return ui::WaitForProcessNamed("KPinst27.exe", Patience, excluding);
}

void EndStrayRuns() {
    for (DWORD id; (id = ui::WaitForProcessNamed("KPinst27.exe", 0)) != 0;) {
        ui::Process stray;
        if (stray.Attach(id)) stray.Kill();
    }
}

HWND WizardTest::Start(const std::string& package, int pageControl) {
    if (!run_.Attach(RunPackage(package))) return nullptr;
    return Page(pageControl);
}

HWND WizardTest::StartAtFolderPage(const std::string& package) {
    HWND welcome = Start(package, IDC_WELCOME_TITLE);
    if (welcome == nullptr) return nullptr;
    Leave(welcome, IDC_NEXT);
    return Page(IDC_FOLDER_EDIT);
}

void WizardTest::Leave(HWND page, int button) {
    ui::ClickButton(page, button);
    EXPECT_TRUE(ui::WaitForWindowToGo(page, Patience));
}

void WizardTest::Agree(HWND license) {
    ui::ClickButton(license, IDC_PREV);
    for (int wait = 0; wait < 50 && (!Enabled(license, IDC_NEXT) || Enabled(license, IDC_PREV)); ++wait)
        Sleep(50);
}

bool WizardTest::Answer(const std::string& text, int button) {
    HWND box = ui::WaitForMessageBox(run_.Id(), Patience);
    EXPECT_NE(box, nullptr) << "expected: " << text;
    if (box == nullptr) return false;
    EXPECT_EQ(ui::MessageBoxText(box), text);
    ui::ClickButton(box, button);
    EXPECT_TRUE(ui::WaitForWindowToGo(box, Patience));
    return true;
}

void WizardTest::ExpectEndsWith(DWORD code) {
    ASSERT_TRUE(run_.WaitForExit(Patience));
    EXPECT_EQ(run_.ExitCode(), code);
    EXPECT_EQ(LeftoversIn(TempFolder()), std::vector<std::string>{});
}

}  // namespace e2e
