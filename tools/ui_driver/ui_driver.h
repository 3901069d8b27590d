// Drives the module from another program under Wine: starts it, finds its windows (message boxes are
// dialogs of class "#32770"), reads and sets control texts, clicks buttons, captures the screen, and
// walks the folders it installs into.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

// A Windows path for a host path handed over in the environment (Wine maps / to drive Z:).
std::string WinePathOf(const std::string& hostPath);

// The environment variable's value, or fallback when unset.
std::string Environment(const char* name, const char* fallback = "");

// The path of the program name in the folder of the running program.
std::string BesideThisProgram(const char* name);

// Calls visit with the path and find data of each file and folder in folder ("." and ".." left out), and
// with deep of those in its subfolders too, each folder before what it holds.
void ForEachEntry(const std::string& folder, bool deep,
                  const std::function<void(const std::string& path, const WIN32_FIND_DATAA& found)>& visit);

// A started program; the handles are closed when it goes out of scope (the program keeps running).
class Process {
  public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();

    // Takes hold of a running process by its id; false when it is gone.
    bool Attach(DWORD processId);
    // Starts program with the command line `"program" arguments` (just `"program"` when arguments is
    // empty), the way a shortcut or the shell would start it.
    bool Start(const std::string& program, const std::string& arguments);
    // Starts a stored command line as the system runs it (an uninstall entry's command, a RunOnce
    // value): the program is its first word, quoted or not.
    bool StartCommandLine(std::string commandLine);
    // Waits for the end of the program; false on time-out.
    bool WaitForExit(DWORD milliseconds);
    // Exit code, once the program has ended.
    DWORD ExitCode() const;
    DWORD Id() const { return info_.dwProcessId; }
    void Kill();

  private:
    PROCESS_INFORMATION info_ = {};
};

// The id of a running process whose program file is named exeName (e.g. "KPinst27.exe"), other than
// `excluding`, polling until milliseconds have passed; 0 when none appeared.
DWORD WaitForProcessNamed(const char* exeName, DWORD milliseconds, DWORD excluding = 0);

// The first visible top-level window of the process whose class and caption match (null matches
// anything), polling until milliseconds have passed; null when none appeared.
HWND WaitForWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds);
HWND WaitForMessageBox(DWORD processId, DWORD milliseconds);

// A dialog of the process (a wizard page) that has a control with this id, polling as above.
HWND WaitForDialogWithControl(DWORD processId, int controlId, DWORD milliseconds);
// Waits until window is gone; false on time-out.
bool WaitForWindowToGo(HWND window, DWORD milliseconds);

std::string WindowText(HWND window);
std::string ClassOf(HWND window);
std::vector<HWND> ChildWindows(HWND parent);
// The text of a message box: its static text control (the icon's static has none).
std::string MessageBoxText(HWND box);
// Labels of the push buttons of a dialog, in tab order.
std::vector<std::string> ButtonLabels(HWND dialog);

// Presses the dialog's button with this id (IDOK, IDYES, ...), as a click does: the dialog gets
// WM_COMMAND with BN_CLICKED. Posted, so that a modal loop on the other side never blocks the test.
bool ClickButton(HWND dialog, int id);
// Clicks a check box as the mouse does, so that it changes its own state; true once it shows a check.
bool Check(HWND checkBox);
// The control that has the keyboard focus in the thread of window, or null.
HWND FocusedControl(HWND window);
// Brings window to the foreground and presses the key there as a keyboard would (SendInput), so that
// keyboard hooks see it. With alt, the Alt key is held down.
void PressKey(HWND window, WORD virtualKey, bool alt = false);

// Sets the text of an edit control as typing would leave it.
bool TypeInto(HWND edit, const char* text);

// A 24-bit BMP file of width x height pixels from its rows, bottom row first, each padded to 4 bytes.
std::string BitmapFile(int width, int height, const std::string& rows);
// Waits until the window's thread has handled what is queued (painting included), so that a capture
// shows it drawn.
void WaitUntilPainted(HWND window);
// Saves the screen area of the window (or the whole screen for null) as NAME.bmp in the screenshots
// folder (KP_SCREENSHOTS_DIR); the test runner turns it into NAME.png. Returns the file written.
std::string CaptureScreen(HWND window, const char* name);

}  // namespace ui
