// The demonstration run of `make demo`: starts the bare module, saves a screenshot of the message it
// shows and prints it. With --wait-for-user the message stays until the user closes it; otherwise it
// is answered at once.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/driver/ui_driver.h"

int main(int argc, char** argv) {
    const bool waitForUser = argc > 1 && std::strcmp(argv[1], "--wait-for-user") == 0;
    const std::string module = ui::WinePathOf(ui::Environment("KP_MODULE"));

    ui::Process process;
    if (!process.Start(module, "")) {
        std::fprintf(stderr, "demo: cannot start %s\n", module.c_str());
        return 1;
    }
    HWND box = ui::WaitForMessageBox(process.Id(), 30000);
    if (!box) {
        std::fprintf(stderr, "demo: the module showed no message\n");
        process.Kill();
        return 1;
    }
    std::printf("demo: [%s] %s\n", ui::WindowText(box).c_str(), ui::MessageBoxText(box).c_str());
    const std::string shot = ui::CaptureScreen(nullptr, "demo-bare-module");
    std::printf("demo: screenshot %s\n", shot.empty() ? "failed" : "demo-bare-module.png");

    if (waitForUser) {
        std::printf("demo: close the message to finish\n");
        std::fflush(stdout);
        if (!process.WaitForExit(600000)) ui::ClickButton(box, IDOK);
    } else {
        ui::ClickButton(box, IDOK);
    }
    if (!process.WaitForExit(30000)) {
        process.Kill();
        return 1;
    }
    std::printf("demo: the module exited with %ld\n", static_cast<long>(process.ExitCode()));
    return shot.empty() ? 1 : 0;
}
