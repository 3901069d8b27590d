// Install mode ("-I" and the package path): prepare the working files, open and check the package,
// read the install information, then run the background window's message loop until the wizard ends.
#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "script/leading_members.h"
#include "archive/volume_prompt.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/scoped_handles.h"
#include "common/silent_run.h"
#include "common/unattended_switches.h"
#include "common/strings.h"
#include "files/extract_member.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "common/child_processes.h"
#include "startup/modes.h"
#include "common/platform.h"
#include "common/process_state.h"
#include "startup/working_files.h"
#include "ui/background_window.h"
#include "ui/resources/resource_ids.h"
#include "common/wizard_state.h"

namespace {

// The shell link's class and interfaces, defined here: the system's GUID library would bring every
// GUID it knows into the module.
const CLSID ShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID ShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID PersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Creating a shell link object once loads the shell's COM server before the wizard needs it; whether
// it works is found out later, by the shortcuts themselves.
void WarmUpShellLinks() {
    ScopedComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, ShellLinkInterface,
                                reinterpret_cast<void**>(link.put()))))
        return;
    ScopedComPtr<IPersistFile> file;
    link->QueryInterface(PersistFileInterface, reinterpret_cast<void**>(file.put()));
}

void ReleaseLeadingMembers() {
    free(WizardBitmap);
    WizardBitmap = nullptr;
    WizardBitmapSize = 0;
    free(LicenseText);
    LicenseText = nullptr;
    free(InfoText);
    InfoText = nullptr;
}

// Every way out after the working files exist: the package closed, the files removed, COM ended.
int EndInstallMode(int exitCode) {
    ReleaseLeadingMembers();
    CloseArchive(PackageReader);
    PackageReader = nullptr;
    RemoveInstallWorkFiles();
    CoUninitialize();
    return exitCode;
}

// The exit code of a run that could not install.
int Failure() { return SilentRun ? SilentExit::Failed : -1; }

int PackageDamaged() {
    int code = EndInstallMode(Failure());
    ShowMessage(nullptr, EnglishText::PackageDamaged, MB_OK | MB_ICONERROR);
    return code;
}

// The package file must hold what its header promises: the whole archive, or its whole first volume.
bool PackageIsComplete() {
    const DWORD size = GetFileSize(PackageReader->file, nullptr);
    const uint32_t needed =
        PackageReader->volumeCount == 1 ? PackageReader->totalSize : PackageReader->volumeSize;
    return size != INVALID_FILE_SIZE && size >= needed;
}

bool ExtractInstallInfo() {
    return MemberNameIs(ArchiveFormat::InstallInfoMember) && ExtractMemberToFile(InstallInfoFile) >= 0;
}

void LoadLeadingMembers() {
    if (!LoadWizardBitmap()) ShowMessage(nullptr, EnglishText::WizardBitmapDamaged, MB_OK | MB_ICONWARNING);
    if (!LoadLicenseText()) ShowMessage(nullptr, EnglishText::LicenseDamaged, MB_OK | MB_ICONWARNING);
    if (!LoadInfoText()) ShowMessage(nullptr, EnglishText::InfoDamaged, MB_OK | MB_ICONWARNING);
}

HWND CreateBackgroundWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = BackgroundWndProc;
    windowClass.hInstance = ModuleInstance;
    windowClass.hIcon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_MODULE));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.lpszClassName = BackgroundClassName;
    if (!RegisterClassExA(&windowClass)) return nullptr;

    // Without a header the window has no visible area but keeps its taskbar button and owns the pages.
    int x = 9999, y = 9999, width = 0, height = 0;
    if (SettingExists("Background", "Header", InstallInfoFile)) {
        ReadSetting("Background", "Header", "", HeaderText, sizeof HeaderText, InstallInfoFile);
        BackgroundShown = 1;
        x = y = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    return CreateWindowExA(0, BackgroundClassName, ModuleCaption,
                           WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, width, height,
                           nullptr, nullptr, ModuleInstance, nullptr);
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND page = CurrentPage;
        if (page != nullptr && IsDialogMessageA(page, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// 1 when no other install run of this product is under way. The background window tells a run that
// is showing; a mutex named after the product also tells one that has not made its window yet, so that
// two runs started together never install side by side. The process keeps the mutex until it ends.
int ClaimProductRun() {
    if (FindWindowA(BackgroundClassName, ModuleCaption)) return 0;
    char name[MAX_PATH] = "KPinst27 ";
    AppendBounded(sizeof name, name, ModuleCaption);
    // A backslash would name a namespace.
    for (char* at = name; *at; ++at)
        if (*at == '\\') *at = '/';
    return CreateMutexA(nullptr, FALSE, name) == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

}  // namespace

void ReadProductSettings(const char* file) {
    ReadSetting("General", "Title", "", Title, sizeof Title, file);
    LanguageFlag = ReadIntSetting("General", "Language", 0, file);
    // A title of up to 259 characters with the text around it overflows the caption: format in full,
    // then keep what fits.
    char caption[1024];
    wsprintfA(caption, SelectText(MessageId::InstallationOf), Title);
    CopyBounded(sizeof ModuleCaption, ModuleCaption, caption);
    ReadSetting("Window", "WizardStamp", "", WizardStampValue, sizeof WizardStampValue, file);
}

int RunInstallMode(const char* packagePath) {
    UnattendedSwitches switches = {};
    TakeUnattendedSwitches(&switches);
    CopyBounded(sizeof PackagePath, PackagePath, packagePath);
    if (FAILED(CoInitialize(nullptr))) {
        ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
        return Failure();
    }
    WarmUpShellLinks();
    if (!PrepareInstallWorkFiles()) {
        CoUninitialize();
        return Failure();
    }

    PackageReader = OpenArchive(PackagePath, ModuleSize);
    if (PackageReader == nullptr) return PackageDamaged();
    SetVolumePrompt(VolumePrompt);
    if (!PackageIsComplete() || !ExtractInstallInfo()) return PackageDamaged();

    ReadProductSettings(InstallInfoFile);
    // The same product already being installed is only brought back to the front.
    if (!ClaimProductRun()) {
        if (SilentRun) return EndInstallMode(SilentExit::AlreadyRunning);
        if (HWND running = FindWindowA(BackgroundClassName, ModuleCaption))
            PostMessageA(running, WM_SYSCOMMAND, SC_RESTORE, 0);
        return EndInstallMode(0);
    }
    if (ReadBoolSetting("General", "RequiresAdminPrivilege", 0, InstallInfoFile) && !HasAdminRights()) {
        ShowMessage(nullptr, SelectText(MessageId::RequiresAdmin), MB_OK | MB_ICONWARNING);
        return EndInstallMode(SilentRun ? SilentExit::Failed : 0);
    }
    LoadLeadingMembers();
    ResolveShellFolders();
    if (SilentRun) return EndInstallMode(RunSilentInstall(switches.folder));

    HWND background = CreateBackgroundWindow();
    if (background == nullptr) {
        const int code = EndInstallMode(Failure());
        ShowMessage(nullptr, EnglishText::CantInitialize, MB_OK | MB_ICONERROR);
        return code;
    }
    ShowWindow(background, SW_SHOWNORMAL);
    UpdateWindow(background);
    LoopRunning = 1;
    RunMessageLoop();

    EndInstallMode(0);
    if (RestartRequested) RestartSystem();
    return 0;
}
