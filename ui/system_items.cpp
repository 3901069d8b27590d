// The system-items step: one table of steps, each with the warning it shows when it fails.
#include <shlobj.h>
#include <windows.h>

#include "common/message_box.h"
#include "common/messages.h"
#include "items/end_install_info.h"
#include "items/ini_items.h"
#include "items/registry_items.h"
#include "items/shortcuts.h"
#include "items/uninstall_info.h"
#include "items/uninstall_registration.h"
#include "ui/post_install_workers.h"
#include "ui/background_window.h"
#include "ui/resources/resource_ids.h"
#include "ui/system_items.h"
#include "common/wizard_state.h"

namespace {

// File associations may have changed with the registry items; the shell re-reads them.
int NotifyShell() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
    return 1;
}

struct SystemStep {
    int (*run)();       // non-zero on success
    MessageId failure;  // MessageId::Count: a failure is ignored
};

// In this order; the first two clear what an earlier installation of the same title left, and the
// uninstall information comes last, since it packs the log that every step before it writes.
const SystemStep Steps[] = {
    {DeleteRunOnceValue, MessageId::Count},
    {DeleteUninstallEntry, MessageId::Count},
    {InstallShortcuts, MessageId::ErrorCreatingShortcuts},
    {InstallRegistryItems, MessageId::ErrorInstallingRegistryItems},
    {NotifyShell, MessageId::Count},
    {InstallIniItems, MessageId::ErrorInstallingIniItems},
    {RegisterUninstall, MessageId::ErrorRegisteringUninstall},
    {WriteEndInstallInfo, MessageId::ErrorCreatingEndInstallInfo},
    {WriteUninstallInfo, MessageId::ErrorCreatingUninstallInfo},
};

}  // namespace

void InstallSystemItems() {
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    HCURSOR kept = SetCursor(wait);
    for (const SystemStep& step : Steps) {
        if (step.run() || step.failure == MessageId::Count) continue;
        // The warning waits for the user, who should not see a busy cursor meanwhile.
        SetCursor(kept);
        ShowMessage(CurrentPage, SelectText(step.failure), MB_OK | MB_ICONWARNING);
        SetCursor(wait);
    }

    SetCursor(kept);
}

void RunSystemItems() {
    SetDlgItemTextA(CurrentPage, IDC_CURRENT_ITEM, SelectText(MessageId::SystemUpdates));
    InstallSystemItems();
    if (HANDLE worker = StartWorker(SilentToolWorker)) CloseHandle(worker);
}
