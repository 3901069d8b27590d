// Server and type-library registration: now, recorded for after the restart, and by the finishing box.
#include "common/messages.h"
#include "items/finishing_dialog.h"
#include "items/server_registration.h"
#include "tests/win/win_test.h"

namespace {

using testsupport::MessageBoxWatcher;

constexpr const char* PlainLibrary = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E01}";
constexpr const char* HelpedLibrary = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E02}";
constexpr const char* BareHelpLibrary = "{6B1F0C3E-4D2A-4A51-9E0B-2C7D5F1A9E03}";

// A value of a key under HKEY_CLASSES_ROOT\TypeLib\{guid}; "(none)" when the key or value is missing.
std::string TypeLibraryValue(const char* guid, const std::string& subkey) {
    return wintest::RegText(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + guid + "\\" + subkey, nullptr);
}

std::string Error(const std::string& path) { return "Error registering file '" + path + "'."; }

class Registration : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    void SetUp() override {
        lstrcpynA(EndInstallFile, folder_.Path("end.ini").c_str(), sizeof EndInstallFile);
        DeferredServers = DeferredTypeLibraries = 0;
        LanguageFlag = 1;
    }
    void TearDown() override {
        FlushSettings(EndInstallFile);
        EndInstallFile[0] = 0;
        AbortFlag = 0;
        CurrentPage = nullptr;
    }
    // A copy of the fixture in the scratch folder, under a name of its own.
    std::string Copy(const char* fixture, const std::string& name) {
        std::string path = folder_.Path(name);
        EXPECT_TRUE(CopyFileA(testsupport::Beside(fixture).c_str(), path.c_str(), FALSE)) << fixture;
        return path;
    }
    testsupport::ScratchFolder folder_;
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
    HWND owner = CreateWindowA("STATIC", "owner", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    CurrentPage = owner;
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
    for (HWND boxOwner : boxes.Owners()) EXPECT_EQ(boxOwner, owner);
    DestroyWindow(owner);
}

TEST_F(Registration, ATypeLibraryIsRegisteredWithTheFolderOfItsHelpFileAndUnregistered) {
    const std::string plain = Copy("fixture.tlb", "plain.tlb");
    const std::string helped = Copy("helped.tlb", "helped.tlb");
    const std::string bare = Copy("bare_help.tlb", "bare.tlb");
    MessageBoxWatcher boxes;
    for (const std::string& library : {plain, helped, bare})
        EXPECT_EQ(RegisterTypeLibraryFile(library.c_str()), 1) << library;
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0\\0\\win32"), plain);
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0"), "Kelpack test library");
    EXPECT_EQ(TypeLibraryValue(HelpedLibrary, "1.0\\0\\win32"), helped);
    EXPECT_EQ(TypeLibraryValue(HelpedLibrary, "1.0\\HELPDIR"), "C:\\Kelpack Help");
    // Without a help folder, or with a bare help file name, the system takes the library's own folder.
    const std::string own = plain.substr(0, plain.rfind('\\'));
    EXPECT_EQ(TypeLibraryValue(PlainLibrary, "1.0\\HELPDIR"), own);
    EXPECT_EQ(TypeLibraryValue(BareHelpLibrary, "1.0\\HELPDIR"), own);

    for (const std::string& library : {plain, helped, bare})
        EXPECT_EQ(UnregisterTypeLibraryFile(library.c_str()), 1) << library;
    for (const char* guid : {PlainLibrary, HelpedLibrary, BareHelpLibrary})
        EXPECT_FALSE(wintest::KeyExists(HKEY_CLASSES_ROOT, std::string("TypeLib\\") + guid)) << guid;
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

    HMODULE module = testsupport::LoadModuleResources();
    ASSERT_NE(module, nullptr);
    std::string text;
    HWND shown = nullptr;
    std::thread look([&] {
        shown = ui::WaitForDialogWithControl(GetCurrentProcessId(), IDC_BUSY_TEXT, 5000);
        if (shown == nullptr) return;
        text = ui::WindowText(GetDlgItem(shown, IDC_BUSY_TEXT));
    });
    MessageBoxWatcher boxes;
    EXPECT_EQ(DialogBoxParamA(module, MAKEINTRESOURCEA(IDD_BUSY), nullptr, FinishingDialogProc, 0), 0);
    look.join();
    boxes.Stop();
    FreeLibrary(module);

    EXPECT_EQ(text, "Finishing installation...");
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
