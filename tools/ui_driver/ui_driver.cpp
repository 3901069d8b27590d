// Finding, reading and operating the windows of another process, and walking folders.
#include "tools/ui_driver/ui_driver.h"

#include <tlhelp32.h>

#include <cstdlib>

namespace ui {

std::string WinePathOf(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string Environment(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value ? value : fallback;
}

std::string BesideThisProgram(const char* name) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

void ForEachEntry(const std::string& folder, bool deep,
                  const std::function<void(const std::string& path, const WIN32_FIND_DATAA& found)>& visit) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        visit(path, found);
        if (deep && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ForEachEntry(path, deep, visit);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

Process::~Process() {
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool Process::Start(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info_) != 0;
}

bool Process::StartCommandLine(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info_) != 0;
}

bool Process::Attach(DWORD processId) {
    info_.hProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    info_.dwProcessId = processId;
    return info_.hProcess != nullptr;
}

bool Process::WaitForExit(DWORD milliseconds) {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (info_.hProcess) GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::Kill() {
    if (info_.hProcess && !WaitForExit(0)) {
        TerminateProcess(info_.hProcess, 9);
        WaitForExit(5000);
    }
}

namespace {

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    if (search->className && ClassOf(window) != search->className) return TRUE;
    if (search->caption && WindowText(window) != search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

}  // namespace

DWORD WaitForProcessNamed(const char* exeName, DWORD milliseconds, DWORD excluding) {
    const DWORD start = GetTickCount();
    for (;;) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        DWORD found = 0;
        for (BOOL more = Process32First(snapshot, &entry); more && !found;
             more = Process32Next(snapshot, &entry)) {
            if (entry.th32ProcessID != excluding && lstrcmpiA(entry.szExeFile, exeName) == 0)
                found = entry.th32ProcessID;
        }
        CloseHandle(snapshot);
        if (found || GetTickCount() - start >= milliseconds) return found;
        Sleep(50);
    }
}

HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, className, caption, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (GetTickCount() - start >= milliseconds) return nullptr;
        Sleep(50);
    }
}

namespace {

// A message box is a dialog whose buttons all have the standard ids (IDOK to IDCONTINUE); a program's
// own dialogs, such as wizard pages, number their controls otherwise.
BOOL CALLBACK MatchMessageBox(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    int buttons = 0;
    for (HWND child : ChildWindows(window)) {
        if (ClassOf(child) != "Button") continue;
        if (GetDlgCtrlID(child) > IDCONTINUE) return TRUE;
        ++buttons;
    }
    if (buttons == 0) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND WaitForMessageBox(DWORD processId, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, nullptr, nullptr, nullptr};
        EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // Found while still being set up, a box may not show its text yet; every box of ours has one.
            for (int wait = 0; wait < 40 && MessageBoxText(search.found).empty(); ++wait) Sleep(50);
            return search.found;
        }
        if (GetTickCount() - start >= milliseconds) return nullptr;
        Sleep(50);
    }
}

namespace {

struct DialogSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    if (GetDlgItem(window, search->controlId) == nullptr) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

HWND WaitForDialogWithControl(DWORD processId, int controlId, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (;;) {
        DialogSearch search = {processId, controlId, nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found || GetTickCount() - start >= milliseconds) return search.found;
        Sleep(50);
    }
}

bool WaitForWindowToGo(HWND window, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= milliseconds) return false;
        Sleep(50);
    }
    return true;
}

HWND FocusedControl(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

void PressKey(HWND window, WORD virtualKey, bool alt) {
    SetForegroundWindow(window);
    Sleep(200);
    INPUT keys[4] = {};
    int count = 0;
    auto add = [&](WORD key, bool up) {
        keys[count].type = INPUT_KEYBOARD;
        keys[count].ki.wVk = key;
        keys[count].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ++count;
    };
    if (alt) add(VK_MENU, false);
    add(virtualKey, false);
    add(virtualKey, true);
    if (alt) add(VK_MENU, true);
    SendInput(count, keys, sizeof(INPUT));
    Sleep(200);
}

std::string WindowText(HWND window) {
    char text[4096] = "";
    DWORD_PTR length = 0;
    // WM_GETTEXT crosses the process boundary for standard controls; a hung target must not hang the test.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 5000, &length))
        return std::string();
    return std::string(text, length);
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, length > 0 ? length : 0);
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string MessageBoxText(HWND box) {
    for (HWND child : ChildWindows(box)) {
        if (ClassOf(child) != "Static") continue;
        std::string text = WindowText(child);
        if (!text.empty()) return text;
    }
    return std::string();
}

std::vector<std::string> ButtonLabels(HWND dialog) {
    std::vector<std::string> labels;
    for (HWND child : ChildWindows(dialog)) {
        if (ClassOf(child) == "Button" && IsWindowVisible(child)) labels.push_back(WindowText(child));
    }
    return labels;
}

bool ClickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) !=
           0;
}

bool Check(HWND checkBox) {
    PostMessageA(checkBox, BM_CLICK, 0, 0);
    for (int wait = 0; wait < 100; ++wait, Sleep(50)) {
        DWORD_PTR state = 0;
        if (SendMessageTimeoutA(checkBox, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state) &&
            state == BST_CHECKED)
            return true;
    }
    return false;
}

bool TypeInto(HWND edit, const char* text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &result))
        return false;
    // Typed text leaves the control marked as changed by the user.
    return SendMessageTimeoutA(edit, EM_SETMODIFY, TRUE, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

void WaitUntilPainted(HWND window) {
    DWORD_PTR result = 0;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // A message sent after the paint requests is handled only once the window's thread has worked through
    // its queue; then give the X server a moment to show the result.
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    Sleep(300);
}

}  // namespace ui
