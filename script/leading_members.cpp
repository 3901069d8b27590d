// Loading the wizard bitmap, the license and the information text from the head of the package.
#include "script/leading_members.h"

#include "archive/archive_reader.h"
#include "archive/format.h"
#include "script/settings.h"
#include "common/process_state.h"

unsigned char* WizardBitmap = nullptr;
uint32_t WizardBitmapSize = 0;
char* LicenseText = nullptr;
char* InfoText = nullptr;

namespace {

// A failing load has moved the reader all the same: the following loaders then miss their member.
bool AtNextMemberNamed(const char* name) { return NextMember(PackageReader) == 0 && MemberNameIs(name); }

int LoadText(const char* wantedKey, const char* member, char** text) {
    if (!ReadBoolSetting("Info", wantedKey, 0, InstallInfoFile)) return 1;
    if (!AtNextMemberNamed(member)) return 0;
    *text = reinterpret_cast<char*>(ReadMemberToMemory(nullptr));
    return *text != nullptr;
}

}  // namespace

int LoadWizardBitmap() {
    if (!AtNextMemberNamed(ArchiveFormat::WizardBitmapMember)) return 0;
    WizardBitmap = ReadMemberToMemory(&WizardBitmapSize);
    return WizardBitmap != nullptr;
}

int LoadLicenseText() { return LoadText("LicenseInfo", ArchiveFormat::LicenseMember, &LicenseText); }

int LoadInfoText() { return LoadText("PreInfo", ArchiveFormat::InfoMember, &InfoText); }
