// Server and type-library registration: now, recorded for after the restart, and by the finishing box.
#include "common/messages.h"
#include "items/finishing_dialog.h"
#include "items/server_registration.h"
#include "tests/win/win_test.h"

namespace {

using testsupport::MessageBoxWatcher;

constexpr const char* PlainLibrary = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E01}";

// A value of a key under HKEY_CLASSES_ROOT\TypeLib\{guid}; "(none)" when the key or value is missing.
std::string TypeLibraryValue(const char* guid, const std::string& subkey) {
    return wintest::RegText(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + guid + "\\" + subkey, nullptr);
}

std::string Error(const std::string& path) { return "Error registering file '" + path + "'."; }

class Registration : public testsupport::PackageTest {
  protected:
    // A copy of the fixture in the scratch folder, under a name of its own.
    std::string Copy(const char* fixture, const std::string& name) {
        std::string path = folder_.Path(name);
        EXPECT_TRUE(CopyFileA(testsupport::Beside(fixture).c_str(), path.c_str(), FALSE)) << fixture;
        return path;
    }
};

// E_FAIL from DllRegisterServer: it was called, all the installation vouches for; unregistration looks.
TEST_F(Registration, AServerIsRegisteredByItsOwnEntryWhateverItAnswers) {
    const std::string failing = Copy("failing_server.dll", "failing.dll");
    MessageBoxWatcher boxes;
    EXPECT_EQ(RegisterServerFile(failing.c_str()), 1);
    EXPECT_EQ(testsupport::ServerRecord(failing), "registered");
    EXPECT_EQ(UnregisterServerFile(failing.c_str()), 0);
    EXPECT_EQ(testsupport::ServerRecord(failing), "");
    boxes.Stop();
    EXPECT_EQ(boxes.Texts(), Strings{});
}

TEST_F(Registration, WhatCannotBeRegisteredIsShownOnceNamingTheFileUntilTheUserAborts) {
    const std::string plain = Copy("versioned.dll", "plain.dll");  // no registration entries
    const std::string missing = folder_.Path("missing.dll");
    MessageBoxWatcher boxes;
    EXPECT_EQ(RegisterServerFile(plain.c_str()), 0);
    EXPECT_EQ(RegisterServerFile(missing.c_str()), 0);
    EXPECT_EQ(RegisterTypeLibraryFile(plain.c_str()), 0);
    EXPECT_EQ(RegisterTypeLibraryFile(missing.c_str()), 0);
    // Unregistration stays silent.
    EXPECT_EQ(UnregisterServerFile(plain.c_str()), 0);
    EXPECT_EQ(UnregisterTypeLibraryFile(plain.c_str()), 0);
    EXPECT_EQ(UnregisterTypeLibraryFile(missing.c_str()), 0);

    AbortFlag = 1;
    EXPECT_EQ(RegisterServerFile(plain.c_str()), 0);
    EXPECT_EQ(RegisterTypeLibraryFile(missing.c_str()), 0);
    boxes.Stop();
    EXPECT_EQ(boxes.Texts(), (Strings{Error(plain), Error(missing), Error(plain), Error(missing)}));
    for (HWND owner : boxes.Owners()) EXPECT_EQ(owner, standInPage_);
}

TEST_F(Registration, ATypeLibraryIsRegisteredAndUnregistered) {
    const std::string plain = Copy("fixture.tlb", "plain.tlb");
    MessageBoxWatcher boxes;
    EXPECT_EQ(RegisterTypeLibraryFile(plain.c_str()), 1);
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0\\0\\win32"), plain);
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0"), "Kelpack test library");
    EXPECT_EQ(UnregisterTypeLibraryFile(plain.c_str()), 1);
    EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + PlainLibrary));
    boxes.Stop();
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts()[0];
}

TEST_F(Registration, TheFinishingBoxPerformsServersThenTypeLibrariesUpToTheFirstGap) {
    const std::string first = Copy("com_server.dll", "first.dll");
    const std::string afterGap = Copy("com_server.dll", "after gap.dll");
    const std::string library = Copy("fixture.tlb", "plain.tlb");
    const std::string missingServer = folder_.Path("missing.dll");
    const std::string missingLibrary = folder_.Path("missing.tlb");
    WriteSetting("RegisterServer", "1", first.c_str(), EndInstallFile);
    WriteSetting("RegisterServer", "2", missingServer.c_str(), EndInstallFile);
    WriteSetting("RegisterServer", "4", afterGap.c_str(), EndInstallFile);
    WriteSetting("RegisterTypeLibrary", "1", missingLibrary.c_str(), EndInstallFile);
    WriteSetting("RegisterTypeLibrary", "2", library.c_str(), EndInstallFile);

    HWND shown = nullptr;
    std::thread look(
        [&] { shown = ui::WaitForDialogWithControl(GetCurrentProcessId(), IDC_BUSY_TEXT, 5000); });
    MessageBoxWatcher boxes;
    EXPECT_EQ(DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_BUSY), nullptr, FinishingDialogProc, 0),
              0);
    look.join();
    boxes.Stop();

    EXPECT_NE(shown, nullptr);
    EXPECT_EQ(CurrentPage.load(), shown);
    // Servers first; both messages owned by the box; what follows a failure is still done.
    EXPECT_EQ(boxes.Texts(), (Strings{Error(missingServer), Error(missingLibrary)}));
    for (HWND owner : boxes.Owners()) EXPECT_EQ(owner, shown);
    EXPECT_EQ(testsupport::ServerRecord(first), "registered");
    EXPECT_EQ(testsupport::ServerRecord(afterGap), "") << "key 4 comes after the gap at 3";
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0\\0\\win32"), library);
    UnregisterServerFile(first.c_str());
    UnregisterTypeLibraryFile(library.c_str());
}

}  // namespace
