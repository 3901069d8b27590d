// The end-install information file: an INI file of fully expanded paths, read by the finish page, the
// finish worker and the runs after a restart.
#include "items/end_install_info.h"

#include <windows.h>

#include "common/file_system.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/process_state.h"
#include "common/scoped_handles.h"
#include "common/silent_run.h"
#include "common/strings.h"
#include "common/wizard_state.h"
#include "items/uninstall_registration.h"
#include "common/working_files_state.h"
#include "script/leading_members.h"
#include "script/log_records.h"
#include "script/path_variables.h"
#include "script/settings.h"
#include "script/temp_names.h"

namespace {

// Copies an install-information key into the end-install file, path variables expanded. 0 when the
// install information lacks the key (an empty value counts as present).
int CopyExpanded(const char* section, const char* key, const char* defaultValue) {
    char value[PathBufferSize];
    if (ReadSetting(section, key, defaultValue, value, sizeof value, InstallInfoFile) == nullptr) return 0;
    ExpandPathVariables(value);
    WriteSetting(section, key, value, EndInstallFile);
    return 1;
}

void CopyFlag(const char* section, const char* key) {
    WriteBoolSetting(section, key, ReadBoolSetting(section, key, 1, InstallInfoFile), EndInstallFile);
}

// The finish run after the restart: the running module (the Windows folder copy), " -i" and this file.
int ScheduleFinishRun() {
    char module[PathBufferSize];
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    if (length == 0 || length >= sizeof module) return 0;
    QuotePath(module);
    char command[PathBufferSize * 2];
    CopyBounded(sizeof command, command, module);
    AppendBounded(sizeof command, command, " -i");
    AppendBounded(sizeof command, command, EndInstallFile);
    return SetRunOnceCommand(command);
}

// The finish page after the restart shows the wizard bitmap from a file of its own: the package is
// gone by then.
int SaveWizardBitmapCopy() {
    char path[PathBufferSize];
    if (!MakeTempName(path)) return 0;
    ScopedFile file(CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        DeleteFileA(path);
        return 0;
    }
    if (!WriteExact(file.get(), WizardBitmap, WizardBitmapSize)) {
        file.reset();
        DeleteFileA(path);
        return 0;
    }
    file.reset();
    WriteSetting("Window", "WizardBitmap", path, EndInstallFile);
    // Removed by an uninstallation should the run after the restart never come.
    LogSourceFile(path, 0);
    return 1;
}

}  // namespace

int WriteEndInstallInfo() {
    int result = 1;
    WriteSetting("General", "Title", Title, EndInstallFile);
    WriteIntSetting("General", "Language", LanguageFlag, EndInstallFile);
    // The runs after the restart show nothing either.
    if (SilentRun) WriteIntSetting("General", "Silent", 1, EndInstallFile);

    char group[PathBufferSize];
    if (ReadSetting("Shortcut", "ProgramGroupName", nullptr, group, sizeof group, InstallInfoFile) != nullptr)
        WriteSetting("General", "ProgramGroupFolder", JoinPath(ProgramMenuDir, group), EndInstallFile);
    if (CopyExpanded("Run", "RunAppPath", nullptr)) {
        CopyExpanded("Run", "RunAppArg", "");
        CopyFlag("Run", "AllowCancelRunApp");
    }
    if (CopyExpanded("Info", "PostInfoPath", nullptr)) CopyFlag("Info", "AllowCancelPostInfo");

    if (RestartNeeded) {
        if (!ScheduleFinishRun()) result = 0;
        if (WizardBitmap != nullptr && !SilentRun && !SaveWizardBitmapCopy()) result = 0;
        LogSourceFile(EndInstallFile, 0);
    }
    WriteSetting("Window", "WizardStamp", WizardStampValue, EndInstallFile);
    return result;
}
