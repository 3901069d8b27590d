// The demonstration run of `make demo`: starts the example package, as far as the module takes it now.
// Without --wait-for-user it walks the wizard itself (welcome, license, information, install folder,
// progress), saving a screenshot of every page, and installs into the proposed folder; with it, the user
// clicks through and the demo ends with the run.
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
    return Visit(run, IDC_PROGRESS_TITLE, "progress", 0) != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
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
    return run.ExitCode() == 0 ? 0 : 1;
}
