// The module's texts: the two-language message table, the language flag that chooses between its
// columns, and the few texts that exist in English only.
#pragma once

// 0 selects the Korean texts, any other value the English ones. Starts at 1 so that whatever start-up
// shows before the install information is read is English. Written by the mode that reads the
// install information (or the uninstall information file); read by every caller of SelectText.
extern int LanguageFlag;

// One row per pair of the message table, in storage order.
enum class MessageId : unsigned char {
    InstallationOf,
    Ok,
    Prev,
    Next,
    Cancel,
    Yes,
    No,
    RequiresAdmin,
    WelcomeWillInstall,
    WelcomeExitOthers,
    WelcomeClickNext,
    License,
    Information,
    IAgree,
    SelectInstallFolder,
    WillBeInstalledTo,
    ClickInstallOrBrowse,
    ClickInstall,
    SpaceNeeded,
    InstallFolder,
    Browse,
    Install,
    SelectInstallFolderPrompt,
    CantInstallToRemote,
    InvalidDrive,
    RemovableDrive,
    CreateFolderQuestion,
    CantCreateFolder,
    NotEnoughSpace,
    Installing,
    ClickAbort,
    InstallingTo,
    InstallingItem,
    SystemUpdates,
    Progress,
    Abort,
    InsertVolume,
    VolumeNotOnDrive,
    VolumeNotInFolder,
    ArchiveErrors,
    CantInstallFile,
    AbortInstallQuestion,
    FileAlreadyExists,
    ReplaceFileQuestion,
    NoMoreConfirmation,
    ErrorRegisteringFile,
    ErrorCreatingShortcuts,
    ErrorInstallingRegistryItems,
    ErrorInstallingIniItems,
    ErrorRegisteringUninstall,
    ErrorCreatingEndInstallInfo,
    ErrorCreatingUninstallInfo,
    FinishingInstallation,
    InstallationCompleted,
    RunApplication,
    ViewInformation,
    GoToHomePage,
    RestartToCompleteInstall,
    CompletedAfterRestart,
    NoAdminCantInstallFile,
    UninstallQuestion,
    FileMayBeShared,
    FileNotInstalledByUs,
    DeleteFileQuestion,
    UninstallingItemsOf,
    Files,
    Shortcuts,
    Folders,
    RegistryItems,
    IniItems,
    UninstallAbort,
    UninstallCompleted,
    AbortUninstallQuestion,
    RestartToCompleteUninstall,
    UninstallCompletedAfterRestart,
    UninstallCaptionSuffix,  // appended to the title for the uninstall confirmation
    Count
};

struct MessagePair {
    const char* korean;  // code page 949
    const char* english;
};

// The pair of an identifier; the table lives for the whole process.
const MessagePair& MessageOf(MessageId id);

// The text of the pair in the language chosen by LanguageFlag at the moment of the call.
const char* SelectText(MessageId id);

// The English text of a table text that SelectText gave (in either language); any other text as it is.
const char* InEnglish(const char* text);

// Texts that exist in English only: integrity messages of the package and of the uninstall
// information file, and start-up messages that can come before the language is known.
namespace EnglishText {
constexpr const char* BareModule =
    "This file, Kelpack install/uninstall module V2.70, must be invoked with proper command line argument.";
constexpr const char* CantInitialize = "Can't initialize installation.\n\nAborting installation.";
constexpr const char* PackageDamaged =
    "This install file was corrupted or truncated, Please get a new copy of install file.\n\n"
    "Aborting installation.";
constexpr const char* WizardBitmapDamaged =
    "This install file was corrupted or truncated, Can't extract wizard bitmap.";
constexpr const char* LicenseDamaged =
    "This install file was corrupted or truncated, Can't extract license information file.";
constexpr const char* InfoDamaged =
    "This install file was corrupted or truncated, Can't extract information file.";
constexpr const char* UninstallationOf = "Uninstallation of ";
constexpr const char* CantInitializeUninstall =
    "Can't initialize uninstallation.\n\nAborting uninstallation.";
constexpr const char* UninstallInfoDamaged =
    "Uninstall information file was corrupted or Truncated.\n\nAborting uninstallation.";
constexpr const char* UninstallBitmapDamaged =
    "Uninstall information file was corrupted or truncated, Can't extract wizard bitmap.";
constexpr const char* UninstallInfoNotFound =
    "Uninstall information file not found.\n\nAborting uninstallation.";
constexpr const char* UninstallInfoWrongSignature =
    "Uninstall information file has wrong signature.\n\nAborting uninstallation.";
constexpr const char* InstallInfoNotFound = "Install information file not found.\n\nAborting installation.";
}  // namespace EnglishText

// Texts that are the same in both languages.
namespace CommonText {
constexpr const char* StartCaption = "Kelpack";
constexpr const char* PageCaption = "%s - %s";  // module caption, page name
constexpr const char* Percentage = "%d%%";
constexpr const char* SpaceSize = "%s %sKBytes";
// A file in the overwrite question: name, (version,) local time, size.
constexpr const char* FileWithoutVersion = "%s(%d-%d-%d/%d:%02d; %sBytes)";
constexpr const char* FileWithVersion = "%s(%d.%d.%d.%d; %d-%d-%d/%d:%02d; %sBytes)";
}  // namespace CommonText
