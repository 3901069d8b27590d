// Unattended runs: a package started with "/S" installs silently through the module copy, which it
// waits for, so that the caller gets the real result; "/S /U=file" uninstalls silently in this run.
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/unattended_switches.h"
#include "startup/modes.h"

namespace {

// How the package's run passes its switches to the install run of the module copy: the copy's command
// line is the install mode's, which has no room for them.
constexpr char SwitchesVariable[] = "KPINST27_UNATTENDED";

// The switches again, each quoted, for the install run.
void WriteSwitchLine(const UnattendedSwitches& switches, char* line, size_t size) {
    CopyBounded(size, line, "/S");
    const struct {
        const char* name;
        const char* value;
    } values[] = {{" /D=\"", switches.folder}, {" /LOG=\"", switches.logFile}};
    for (const auto& value : values) {
        if (value.value[0] == '\0') continue;
        AppendBounded(size, line, value.name);
        AppendBounded(size, line, value.value);
        AppendBounded(size, line, "\"");
    }
}

int IsSilentExitCode(DWORD code) {
    static const int known[] = {SilentExit::Done,   SilentExit::RestartNeeded,  SilentExit::Cancelled,
                                SilentExit::Failed, SilentExit::AlreadyRunning, SilentExit::BadSwitch};
    for (int each : known)
        if (code == static_cast<DWORD>(each)) return 1;
    return 0;
}

int StartSilentInstall(const UnattendedSwitches& switches) {
    switch (FindOwnPackage()) {
        case 0:
            ShowMessage(nullptr, EnglishText::BareModule, MB_OK | MB_ICONWARNING);
            return SilentExit::Failed;
        case -1:
            ShowMessage(nullptr, EnglishText::PackageDamaged, MB_OK | MB_ICONERROR);
            return SilentExit::Failed;
        default:
            break;
    }
    char line[3 * 270];
    WriteSwitchLine(switches, line, sizeof line);
    SetEnvironmentVariableA(SwitchesVariable, line);
    DWORD code = 0;
    if (!CopyModuleAndRun(&code)) return SilentExit::Failed;
    // A run that crashed or was ended from outside did not install.
    return IsSilentExitCode(code) ? static_cast<int>(code) : SilentExit::Failed;
}

}  // namespace

int RunUnattended(const char* commandLine) {
    SilentRun = 1;
    UnattendedSwitches switches;
    char problem[260];
    const SwitchesRead read = ReadUnattendedSwitches(commandLine, &switches, problem);
    // The install run starts in another folder: a relative log name means one beside the caller.
    char logFile[MAX_PATH] = "";
    if (switches.logFile[0] != '\0' &&
        GetFullPathNameA(switches.logFile, sizeof logFile, logFile, nullptr) < sizeof logFile)
        CopyBounded(sizeof switches.logFile, switches.logFile, logFile);
    OpenResultLog(switches.logFile, 1);
    LogResult("Start", commandLine);
    if (read == SwitchesRead::Malformed) {
        char text[400];
        CopyBounded(sizeof text, text, "Unknown or malformed switch: ");
        AppendBounded(sizeof text, text, problem);
        LogResult("Message", text);
        return LogExitCode(SilentExit::BadSwitch);
    }
    if (switches.uninstallInfo[0] != '\0') return LogExitCode(RunSilentUninstall(switches.uninstallInfo));
    return LogExitCode(StartSilentInstall(switches));
}

int TakeUnattendedSwitches(UnattendedSwitches* switches) {
    char line[3 * 270];
    const DWORD length = GetEnvironmentVariableA(SwitchesVariable, line, sizeof line);
    if (length == 0 || length >= sizeof line) return 0;
    // Not for the programs this run starts.
    SetEnvironmentVariableA(SwitchesVariable, nullptr);
    char problem[260];
    if (ReadUnattendedSwitches(line, switches, problem) != SwitchesRead::Silent) return 0;
    SilentRun = 1;
    OpenResultLog(switches->logFile, 0);
    return 1;
}
