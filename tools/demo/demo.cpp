// The demonstration run of `make demo`: the whole life of the example application. Without
// --wait-for-user it walks the wizard itself (welcome, license, information, install folder, progress,
// finish), installs into the proposed folder, runs the application, then uninstalls it from the command
// of its entry in the list of installed programs, saving a screenshot of every page and question; then
// installs and uninstalls it again unattended, as deployment tools do, printing the result logs. With
// it, the user clicks through the installation and the demo ends with that run.
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/ui_driver/ui_driver.h"
#include "ui/resources/resource_ids.h"

namespace {

constexpr DWORD Patience = 30000;

// Waits for the page with the control, saves it as demo-NAME and presses the button; null when the
// page did not come.
HWND Visit(DWORD run, int control, const char* name, int button) {
    HWND page = ui::WaitForDialogWithControl(run, control, Patience);
    if (!page) {
        std::fprintf(stderr, "demo: no %s page\n", name);
        return nullptr;
    }
    std::printf("demo: %s page \"%s\"\n", name, ui::WindowText(page).c_str());
    ui::WaitUntilPainted(page);
    ui::CaptureScreen(nullptr, (std::string("demo-") + name).c_str());
    if (button) ui::ClickButton(page, button);
    return page;
}

bool WalkTheWizard(DWORD run) {
    if (!Visit(run, IDC_WELCOME_TITLE, "welcome", IDC_NEXT)) return false;
    HWND license = Visit(run, IDC_TEXT, "license", IDC_PREV);  // I Agree
    if (!license) return false;
    for (int wait = 0; wait < 50 && !IsWindowEnabled(GetDlgItem(license, IDC_NEXT)); ++wait) Sleep(50);
    ui::ClickButton(license, IDC_NEXT);
    ui::WaitForWindowToGo(license, Patience);
    if (!Visit(run, IDC_TEXT, "information", IDC_NEXT)) return false;
    if (!Visit(run, IDC_FOLDER_EDIT, "install-folder", IDC_INSTALL)) return false;
    if (!Visit(run, IDC_PROGRESS_TITLE, "progress", 0)) return false;
    return Visit(run, IDC_COMPLETED, "finish", IDC_OK) != nullptr;
}

void ShowRegistryValue(HKEY root, const char* key, const char* name) {
    char data[512];
    DWORD size = sizeof data, type = 0;
    if (RegGetValueA(root, key, name, RRF_RT_ANY, &type, data, &size) != ERROR_SUCCESS) return;
    std::printf("demo:   %s\\%s = ", key, name);
    if (type == REG_SZ)
        std::printf("\"%s\"\n", data);
    else if (type == REG_DWORD)
        std::printf("0x%08lx\n", *reinterpret_cast<DWORD*>(data));
    else
        for (DWORD at = 0; at < size; ++at) std::printf(at + 1 < size ? "%02x " : "%02x\n", data[at] & 0xFF);
}

void ShowShortcuts(int folderId, const char* what) {
    char folder[MAX_PATH];
    if (FAILED(SHGetFolderPathA(nullptr, folderId, nullptr, 0, folder))) return;
    ui::ForEachEntry(folder, true, [what](const std::string& path, const WIN32_FIND_DATAA&) {
        if (path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".lnk") == 0)
            std::printf("demo:   %s shortcut %s\n", what, path.c_str());
    });
}

// What the installation made beyond its files: shortcuts, registry values, INI entries, the uninstall entry.
void ShowSystemItems() {
    std::printf("demo: system items (shortcuts, registry values, the win.ini entry, the uninstall entry)\n");
    ShowShortcuts(CSIDL_PROGRAMS, "program menu");
    ShowShortcuts(CSIDL_DESKTOPDIRECTORY, "desktop");
    for (const char* name : {"InstallDir", "Version"})
        ShowRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelpack Examples\\Hello", name);
    for (const char* name : {"Greeting", "Colours"})
        ShowRegistryValue(HKEY_CURRENT_USER, "Software\\Kelpack Examples\\Hello", name);
    char value[MAX_PATH];
    if (GetProfileStringA("Kelpack Examples", "Hello", "", value, sizeof value) > 0)
        std::printf("demo:   win.ini [Kelpack Examples] Hello=%s\n", value);
    for (const char* name : {"DisplayName", "UninstallString", "QuietUninstallString", "InstallLocation",
                             "DisplayIcon", "DisplayVersion", "Publisher", "EstimatedSize"})
        ShowRegistryValue(HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello", name);
}

const char EntryKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello";

std::string RegistryString(HKEY root, const char* key, const char* name) {
    char data[1024] = "";
    DWORD size = sizeof data;
    return RegGetValueA(root, key, name, RRF_RT_REG_SZ, nullptr, data, &size) == ERROR_SUCCESS ? data : "";
}

// Runs the installed application as its shortcut does and prints what it says.
void RunTheApplication() {
    const std::string folder =
        RegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelpack Examples\\Hello", "InstallDir");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    const std::string out = folder + "\\demo-output.txt";
    // Its closing pause reads the empty input and goes on.
    ui::Process app;
    if (folder.empty() ||
        !app.Start(std::string(system) + "\\cmd.exe",
                   "/c \"\"" + folder + "\\Hello.cmd\" < nul > \"" + out + "\"\"") ||
        !app.WaitForExit(Patience)) {
        std::fprintf(stderr, "demo: the application did not run\n");
        return;
    }
    char line[256];
    if (FILE* said = std::fopen(out.c_str(), "r")) {
        while (std::fgets(line, sizeof line, said)) {
            line[std::strcspn(line, "\r\n")] = '\0';  // its last line, the pause's prompt, has no end
            std::printf("demo:   the application says: %s\n", line);
        }
        std::fclose(said);
    }
    DeleteFileA(out.c_str());
}

// Takes a picture of the window as demo-NAME once it has painted.
void Capture(HWND window, const char* name) {
    ui::WaitUntilPainted(window);
    ui::CaptureScreen(nullptr, (std::string("demo-") + name).c_str());
}

// Uninstalls as the list of installed programs does: confirms, lets the shared helper DLL go, and
// closes the dialog once it reports success.
bool Uninstall() {
    const std::string command = RegistryString(HKEY_LOCAL_MACHINE, EntryKey, "UninstallString");
    const size_t end = command.find('"', 1);
    ui::Process run;
    if (command.empty() || end == std::string::npos ||
        !run.Start(command.substr(1, end - 1), command.substr(end + 2))) {
        std::fprintf(stderr, "demo: no uninstall command\n");
        return false;
    }
    std::printf("demo: uninstalling with %s\n", command.c_str());
    HWND confirmation = ui::WaitForMessageBox(run.Id(), Patience);
    if (!confirmation) return false;
    Capture(confirmation, "uninstall-confirmation");
    ui::ClickButton(confirmation, IDYES);
    HWND question = ui::WaitForDialogWithControl(run.Id(), IDC_DELETE_QUESTION, Patience);
    if (!question) return false;
    std::printf("demo: asked \"%s\" about %s\n",
                ui::WindowText(GetDlgItem(question, IDC_DELETE_QUESTION)).c_str(),
                ui::WindowText(GetDlgItem(question, IDC_DELETE_LINE2)).c_str());
    Capture(question, "uninstall-shared-file");
    ui::ClickButton(question, IDC_YES_BUTTON);
    HWND dialog = ui::WaitForDialogWithControl(run.Id(), IDC_UNINSTALL_HEADING, Patience);
    for (int wait = 0;
         dialog && wait < 300 && ui::WindowText(GetDlgItem(dialog, IDC_UNINSTALL_BUTTON)) != "Ok"; ++wait)
        Sleep(100);
    if (!dialog) return false;
    std::printf("demo: %s\n", ui::WindowText(GetDlgItem(dialog, IDC_UNINSTALL_HEADING)).c_str());
    Capture(dialog, "uninstall");
    ui::ClickButton(dialog, IDC_UNINSTALL_BUTTON);
    if (!run.WaitForExit(Patience)) return false;
    std::printf("demo: the uninstallation run exited with %ld\n", static_cast<long>(run.ExitCode()));
    return run.ExitCode() == 0;
}

// Runs the command line as a deployment script does and waits for its end; its exit code, -1 when it
// could not run.
long RunAndWait(const std::string& program, const std::string& arguments) {
    ui::Process run;
    if (!run.Start(program, arguments) || !run.WaitForExit(5 * Patience)) return -1;
    return static_cast<long>(run.ExitCode());
}

void PrintFile(const char* path) {
    if (FILE* file = std::fopen(path, "r")) {
        char line[1024];
        while (std::fgets(line, sizeof line, file)) std::printf("  | %s", line);
        std::fclose(file);
    }
}

// The same package installed and uninstalled unattended, as deployment tools do, with result logs.
bool InstallAndUninstallUnattended(const std::string& package) {
    const char* installLog = "C:\\kp-demo-install.log";
    const std::string switches =
        "/S /D=\"C:\\Program Files\\Hello Unattended\" /LOG=" + std::string(installLog);
    std::printf("demo: unattended: %s %s\n", package.c_str(), switches.c_str());
    const long installed = RunAndWait(package, switches);
    std::printf("demo: the package exited with %ld; its result log:\n", installed);
    PrintFile(installLog);
    ShowSystemItems();
    const std::string command = RegistryString(HKEY_LOCAL_MACHINE, EntryKey, "QuietUninstallString");
    const size_t end = command.find('"', 1);
    if (installed != 0 || end == std::string::npos) return false;
    const char* uninstallLog = "C:\\kp-demo-uninstall.log";
    std::printf("demo: unattended: %s /LOG=%s\n", command.c_str(), uninstallLog);
    const long uninstalled =
        RunAndWait(command.substr(1, end - 1), command.substr(end + 2) + " /LOG=" + uninstallLog);
    std::printf("demo: the uninstallation exited with %ld; its result log:\n", uninstalled);
    PrintFile(uninstallLog);
    DeleteFileA(installLog);
    DeleteFileA(uninstallLog);
    return uninstalled == 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Each line goes out as it is written, in order with what the programs started meanwhile print.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    const bool waitForUser = argc > 1 && std::strcmp(argv[1], "--wait-for-user") == 0;
    const std::string package = ui::WinePathOf(ui::Environment("KP_PACKAGE"));

    ui::Process bootstrap;
    if (!bootstrap.Start(package, "") || !bootstrap.WaitForExit(Patience)) {
        std::fprintf(stderr, "demo: cannot run %s\n", package.c_str());
        return 1;
    }
    ui::Process run;
    if (!run.Attach(ui::WaitForProcessNamed("KPinst27.exe", Patience))) {
        std::fprintf(stderr, "demo: the package started no installation\n");
        return 1;
    }
    if (waitForUser) {
        std::printf("demo: the wizard is on your display; the demo ends with it\n");
        std::fflush(stdout);
        run.WaitForExit(INFINITE);
    } else if (!WalkTheWizard(run.Id()) || !run.WaitForExit(Patience)) {
        run.Kill();
        return 1;
    }
    std::printf("demo: the installation run exited with %ld; screenshots in build/screenshots/demo-*.png\n",
                static_cast<long>(run.ExitCode()));
    ShowSystemItems();
    if (run.ExitCode() != 0) return 1;
    if (waitForUser) return 0;
    RunTheApplication();
    if (!Uninstall()) return 1;
    std::printf("demo: after the uninstallation (the lines below list what is left)\n");
    ShowSystemItems();
    if (!InstallAndUninstallUnattended(package)) return 1;
    std::printf("demo: after the unattended uninstallation (the lines below list what is left)\n");
    ShowSystemItems();
    return 0;
}
