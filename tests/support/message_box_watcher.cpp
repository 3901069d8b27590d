// Answers the message boxes a routine under test shows.
#include "tests/support/message_box_watcher.h"

#include "tools/ui_driver/ui_driver.h"

namespace testsupport {

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

MessageBoxWatcher::~MessageBoxWatcher() { Stop(); }

void MessageBoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

}  // namespace testsupport
