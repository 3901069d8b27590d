// Answers the message boxes a routine under test shows on this process's threads, and remembers them.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

// From construction until Stop (or destruction), every message box of this process is read and closed
// with OK, so that a routine which shows one never blocks the test.
class MessageBoxWatcher {
  public:
    MessageBoxWatcher();
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    // Ends the watch; the boxes answered so far stay readable.
    void Stop();
    // Texts of the boxes answered, in order.
    const std::vector<std::string>& Texts() const { return texts_; }
    // The owner of each box answered, in order.
    const std::vector<HWND>& Owners() const { return owners_; }

  private:
    std::atomic<bool> stop_{false};
    std::vector<std::string> texts_;
    std::vector<HWND> owners_;
    std::thread thread_;
};

}  // namespace testsupport
