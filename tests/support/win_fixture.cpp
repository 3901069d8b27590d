// Set-up shared by the Windows tests.
#include "tests/support/win_fixture.h"

#include "archive/archive_reader.h"
#include "common/messages.h"
#include "common/process_state.h"
#include "common/progress_report.h"
#include "common/wizard_state.h"
#include "common/working_files_state.h"
#include "items/server_registration.h"
#include "script/install_log.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "tools/ui_driver/ui_driver.h"

namespace testsupport {

std::string Beside(const char* name) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string text = path;
    return text.substr(0, text.rfind('\\') + 1) + name;
}

HMODULE LoadModuleResources() {
    return LoadLibraryExA(ui::WinePathOf(ui::Environment("KP_MODULE")).c_str(), nullptr,
                          LOAD_LIBRARY_AS_DATAFILE);
}

HWND CreateTestWindow(const char* className, WNDPROC procedure, DWORD style, int width, int height,
                      DWORD exStyle) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(exStyle, className, "", style, 0, 0, width, height, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

MessageBoxWatcher::MessageBoxWatcher() {
    thread_ = std::thread([this] {
        while (!stop_) {
            HWND box = ui::WaitForMessageBox(GetCurrentProcessId(), 50);
            if (box == nullptr) continue;
            texts_.push_back(ui::MessageBoxText(box));
            owners_.push_back(GetWindow(box, GW_OWNER));
            ui::ClickButton(box, IDOK);
            ui::WaitForWindowToGo(box, 5000);
        }
    });
}

void MessageBoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

bool OpenScratchLog(const std::string& folder) {
    lstrcpynA(InstallLogFile, (folder + "\\kp-log.ini").c_str(), sizeof InstallLogFile);
    lstrcpynA(FileListFile, (folder + "\\kp-files.lst").c_str(), sizeof FileListFile);
    DeleteFileA(InstallLogFile);
    FileListHandle = CreateFileA(FileListFile, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ResetLogCounters();
    return FileListHandle != INVALID_HANDLE_VALUE;
}

void CloseScratchLog() {
    FlushSettings(InstallLogFile);
    CloseHandle(FileListHandle);
    FileListHandle = INVALID_HANDLE_VALUE;
    DeleteFileA(FileListFile);
    DeleteFileA(InstallLogFile);
}

std::vector<std::string> LoggedEntries(const char* section) {
    FlushSettings(InstallLogFile);
    const bool sourceFiles = lstrcmpA(section, "SourceFile") == 0;
    if (sourceFiles) RewindFileList();
    LoadLogCounter(section);
    std::vector<std::string> entries;
    char value[1024];
    while (NextLogItem(section, value)) entries.push_back(value);
    if (sourceFiles) SetFilePointer(FileListHandle, 0, nullptr, FILE_END);
    return entries;
}

void PackageTest::SetUp() {
    ASSERT_TRUE(OpenScratchLog(folder_.Root().string()));
    lstrcpynA(InstallInfoFile, folder_.Path("kpii.ini").c_str(), sizeof InstallInfoFile);
    lstrcpynA(InstallDir, folder_.Path("App").c_str(), sizeof InstallDir);
    lstrcpynA(EndInstallFile, folder_.Path("end.ini").c_str(), sizeof EndInstallFile);
    lstrcpynA(ProgramMenuDir, folder_.Path("Programs").c_str(), sizeof ProgramMenuDir);
    DeferredServers = DeferredTypeLibraries = 0;
    LanguageFlag = 1;
    ClearReports();
    CoInitialize(nullptr);
    ModuleInstance = LoadModuleResources();
    ASSERT_NE(ModuleInstance, nullptr);
    CurrentPage = standInPage_ = CreateTestWindow("KpStandInPage", DefWindowProcA, 0);
}

void PackageTest::TearDown() {
    for (const std::string& path : counted_) RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, SharedDlls, path.c_str());
    CloseArchive(PackageReader);
    PackageReader = nullptr;
    RestartNeeded = 0;
    AbortFlag = 0;
    DestroyWindow(standInPage_);
    CurrentPage = nullptr;
    FreeLibrary(ModuleInstance);
    ModuleInstance = nullptr;
    FlushSettings(EndInstallFile);
    EndInstallFile[0] = 0;
    FlushSettings(InstallInfoFile);
    CloseScratchLog();
    CoUninitialize();
}

void PackageTest::FreshLog() {
    CloseScratchLog();
    ASSERT_TRUE(OpenScratchLog(folder_.Root().string()));
    RestartNeeded = 0;
}

void PackageTest::WriteItems(const char* section, const std::vector<std::string>& items) {
    for (size_t n = 0; n < items.size(); ++n)
        if (!items[n].empty())
            WriteSetting(section, (section + std::to_string(n + 1)).c_str(), items[n].c_str(),
                         InstallInfoFile);
}

void PackageTest::SetSharedCount(const std::string& path, DWORD count) {
    counted_.push_back(path);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, SharedDlls, path.c_str(), REG_DWORD, &count, sizeof count);
}

void PackageTest::OpenPackage(const std::vector<Member>& members, uint32_t volumeSize, size_t damageAt) {
    CloseArchive(PackageReader);
    PackageReader = nullptr;
    const std::string package = folder_.Path("SETUP.EXE");
    ASSERT_TRUE(WriteArchive(package, 0, volumeSize, members));
    if (damageAt != 0) {
        std::string bytes = FileBytes(package);
        bytes[damageAt] = static_cast<char>(bytes[damageAt] ^ 1);
        SetFileBytes(package, bytes);
    }
    PackageReader = OpenArchive(package.c_str(), 0);
    ASSERT_NE(PackageReader, nullptr);
}

}  // namespace testsupport
