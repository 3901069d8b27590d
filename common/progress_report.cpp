// The file-phase worker's reports to the progress page, handed over through shared memory.
#include "common/progress_report.h"

#include <atomic>

#include "common/strings.h"
#include "common/wizard_state.h"

namespace {

std::atomic<DWORD> PendingBytes{0};
// The item text is guarded by a spin lock: both sides hold it only for a copy of 260 bytes.
std::atomic<int> ItemLock{0};
char PendingItem[260] = "";
int ItemPending = 0;

void LockItem() {
    while (ItemLock.exchange(1)) Sleep(0);
}
void UnlockItem() { ItemLock = 0; }

}  // namespace

void ReportItem(const char* text) {
    WaitWhileWorkerHeld();
    if (AbortFlag) return;
    LockItem();
    CopyBounded(sizeof PendingItem, PendingItem, text);
    ItemPending = 1;
    UnlockItem();
}

void ReportProgress(DWORD bytes) {
    WaitWhileWorkerHeld();
    if (!AbortFlag) PendingBytes += bytes;
}

int TakeReportedItem(char* buffer) {
    LockItem();
    const int taken = ItemPending;
    if (taken) CopyBounded(sizeof PendingItem, buffer, PendingItem);
    ItemPending = 0;
    UnlockItem();
    return taken;
}

DWORD TakeReportedProgress() { return PendingBytes.exchange(0); }

void ClearReports() {
    PendingBytes = 0;
    char ignored[sizeof PendingItem];
    TakeReportedItem(ignored);
}
