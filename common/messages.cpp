// The two-language message table. This file is compiled with the execution character set CP949,
// so the Korean literals below are stored as the module's 8-bit Korean code page.
#include "common/messages.h"

int LanguageFlag = 1;

namespace {

// {Korean, English}, in the order of MessageId.
const MessagePair MessageTable[] = {
    // InstallationOf
    {"%s 설치", "Installation of %s"},
    // Ok
    {"확인", "Ok"},
    // Prev
    {"이전", "Prev"},
    // Next
    {"다음", "Next"},
    // Cancel
    {"취소", "Cancel"},
    // Yes
    {"예", "Yes"},
    // No
    {"아니오", "No"},
    // RequiresAdmin
    {"이 설치는 관리자 권한으로 로그온한 경우에만 가능합니다.\n\n설치를 중단합니다.",
     "This installation requires administrator privilege.\n\nAborting installation."},
    // WelcomeWillInstall
    {"%s의 설치를 시작합니다.", "This will install %s on your computer."},
    // WelcomeExitOthers
    {"설치를 시작하시기 전에 실행 중인 다른 프로그램은\n종료하시는 것이 좋습니다.",
     "It is recommended that you exit all other programs\nbefore proceed with installation."},
    // WelcomeClickNext
    {"설치를 계속하시려면 <다음>을,\n설치를 중단하시려면 <취소>를 누르세요.",
     "Click <Next> to continue installation,\nOr, click <Cancel> to cancel installation."},
    // License
    {"라이센스", "License"},
    // Information
    {"정보", "Information"},
    // IAgree
    {"동의함", "I Agree"},
    // SelectInstallFolder
    {"설치 폴더 선택", "Select install folder"},
    // WillBeInstalledTo
    {"%s을(를) 다음 폴더에 설치합니다.", "%s will be installed to following folder."},
    // ClickInstallOrBrowse
    {"다음 폴더에 설치하시려면 <설치시작>을 누르시고,\n다른 폴더에 설치하시려면 직접 "
     "입력하시거나,\n<찾아보기>를 눌러 설치하실 폴더를 선택하세요.",
     "Click <Install> to begin installation to following folder.\nTo install to a different folder, Either "
     "enter install path,\nOr, click <Browse> and select another folder."},
    // ClickInstall
    {"<설치시작>을 누르시면 다음 폴더에 설치를 시작합니다.",
     "Click <Install> to begin installation to following folder."},
    // SpaceNeeded
    {"설치에 필요한 공간:", "Space needed:"},
    // InstallFolder
    {"설치 폴더", "Install folder"},
    // Browse
    {"찾아보기", "Browse"},
    // Install
    {"설치시작", "Install"},
    // SelectInstallFolderPrompt
    {"설치하실 폴더를 선택하세요.", "Select install folder."},
    // CantInstallToRemote
    {"원격 컴퓨터로 설치할 수 없습니다.", "Can't install to remote computer."},
    // InvalidDrive
    {"'%s' 는 유효한 드라이브 문자가 아니거나 접근이 불가능합니다.",
     "'%s' is not valid drive specification or not accessible."},
    // RemovableDrive
    {"'%s' 는 리무버블 드라이브입니다. 이 드라이브에 설치하시겠습니까?",
     "Drive '%s' is removable.\n\nContinue installation on this drive anyway?"},
    // CreateFolderQuestion
    {"'%s' 폴더를 만들고 설치하시겠습니까?", "Folder '%s' does not exists.\n\nCreate this folder?"},
    // CantCreateFolder
    {"'%s' 폴더를 만들 수 없습니다.\n\n다른 폴더를 선택하세요.",
     "Can't create folder '%s'.\n\nSelect another folder."},
    // NotEnoughSpace
    {"'%s' 드라이브에 설치할만한 여유공간이 없습니다.", "Not enough free space on drive '%s'."},
    // Installing
    {"%s을(를) 설치하는 중입니다.", "Installing %s."},
    // ClickAbort
    {"설치를 중단하시려면 <설치중단>을 누르세요.", "Click <Abort> to abort installation."},
    // InstallingTo
    {"설치 폴더:", "Installing to:"},
    // InstallingItem
    {"설치 중인 항목:", "Installing item:"},
    // SystemUpdates
    {"시스템 설정...", "System updates..."},
    // Progress
    {"설치 진행률:", "Progress:"},
    // Abort
    {"설치중단", "Abort"},
    // InsertVolume
    {"'%s' 드라이브에 '%s' 볼륨 디스크를 넣어주세요.", "Insert volume '%s' disk for drive '%s'."},
    // VolumeNotOnDrive
    {"'%s' 드라이브에서 '%s' 볼륨을 찾을 수 없습니다.", "Can't find volume '%s' on drive '%s'."},
    // VolumeNotInFolder
    {"'%s' 폴더에서 '%s' 볼륨을 찾을 수 없습니다.", "Can't find volume '%s' in the folder '%s'."},
    // ArchiveErrors
    {"설치화일의 문제로 인해 화일의 압축을 해제하는 중 오류가 발생했습니다.\n\n설치를 종료합니다.",
     "This install file was corrupted or truncated, There were some errors while extracting files from "
     "archive.\n\nAborting Installation."},
    // CantInstallFile
    {"'%s' 화일을 설치하는 중 오류가 발생했습니다.\n\n설치를 종료합니다.",
     "Can't install file '%s'.\n\nAborting installation."},
    // AbortInstallQuestion
    {"아직 설치가 완료되지 않았습니다.\n\n설치를 중단하시겠습니까?",
     "Installation is not yet completed.\n\nAbort installation?"},
    // FileAlreadyExists
    {"'%s' 폴더에 다음 화일이 이미 있습니다.", "Following file already exists in the folder '%s'."},
    // ReplaceFileQuestion
    {"위 화일을 다음 화일로 교체하시겠습니까?", "Replace above file with following?"},
    // NoMoreConfirmation
    {"더 이상 묻지 않음.", "No more confirmation."},
    // ErrorRegisteringFile
    {"'%s' 화일을 등록하는 중 오류가 발생했습니다.", "Error registering file '%s'."},
    // ErrorCreatingShortcuts
    {"단축 아이콘을 만드는 중 오류가 발생했습니다.", "Error creating shortcuts."},
    // ErrorInstallingRegistryItems
    {"레지스트리 항목을 설치하는 중 오류가 발생했습니다.", "Error installing registry items."},
    // ErrorInstallingIniItems
    {"INI 항목을 설치하는 중 오류가 발생했습니다.", "Error installing INI items."},
    // ErrorRegisteringUninstall
    {"제거 단축 아이콘과 제어판 애플릿을 등록하는 중 오류가 발생했습니다.",
     "Error registering uninstall shortcut and/or control panel applet."},
    // ErrorCreatingEndInstallInfo
    {"마무리 설치 정보화일을 만드는 중 오류가 발생했습니다.", "Error creating End-install information."},
    // ErrorCreatingUninstallInfo
    {"제거 정보화일을 만드는 중 오류가 발생했습니다.", "Error creating uninstall information."},
    // FinishingInstallation
    {"설치를 마무리합니다...", "Finishing installation..."},
    // InstallationCompleted
    {"%s의 설치를 완료했습니다.", "Installation of %s completed."},
    // RunApplication
    {"프로그램 실행.", "Run application."},
    // ViewInformation
    {"정보화일 보기.", "View information."},
    // GoToHomePage
    {"홈페이지 연결.", "Go to HomePage."},
    // RestartToCompleteInstall
    {"설치를 완료하기 위해서는 시스템을 재시작해야 합니다.\n\n지금 시스템을 재시작하시겠습니까?",
     "To complete installation, system must be restarted.\n\nRestart system now?"},
    // CompletedAfterRestart
    {"시스템을 재시작하시면 설치가 완료됩니다.", "Installation will be completed after system restarted."},
    // NoAdminCantInstallFile
    {"현재 사용자는 관리자 권한이 없으므로 '%s' 화일을 설치할 수 없습니다.\n\n사용 중 문제가 발생하면 "
     "관리자로 로그온 하신 후 설치를 재시작하세요.",
     "As current user does not have admin privileges, can't install file '%s'.\n\nIf you have trouble using "
     "this application, log-on as admin and restart installation."},
    // UninstallQuestion
    {"%s을(를) 제거합니다.\n\n계속하시겠습니까?",
     "This will uninstall %s from your computer.\n\nContinue uninstallation?"},
    // FileMayBeShared
    {"다음 화일은 다른 응용프로그램이 사용하는 화일일 수도 있습니다.",
     "Following file may be used by another application."},
    // FileNotInstalledByUs
    {"다음 화일은 설치프로그램이 설치한 화일이 아닙니다.",
     "Following file is not installed by install program."},
    // DeleteFileQuestion
    {"위 화일을 삭제하시겠습니까?", "Delete above file?"},
    // UninstallingItemsOf
    {"%s의 다음 설치항목들을 제거하는 중입니다.", "Uninstalling following installed items of %s."},
    // Files
    {"화일...", "Files..."},
    // Shortcuts
    {"단축 아이콘...", "Shortcuts..."},
    // Folders
    {"폴더...", "Folders..."},
    // RegistryItems
    {"레지스트리 항목...", "Registry Items..."},
    // IniItems
    {"INI 항목...", "INI Items..."},
    // UninstallAbort
    {"제거중단", "Abort"},
    // UninstallCompleted
    {"%s의 제거를 완료했습니다.", "%s was successfully uninstalled."},
    // AbortUninstallQuestion
    {"아직 제거가 완료되지 않았습니다.\n\n제거를 중단하시겠습니까?",
     "Uninstallation is not yet completed.\n\nAbort uninstallation?"},
    // RestartToCompleteUninstall
    {"제거를 완료하기 위해서는 시스템을 재시작하는 것이 좋습니다.\n\n지금 시스템을 재시작하시겠습니까?",
     "To complete uninstallation, It is recommended that you restart system.\n\nRestart system now?"},
    // UninstallCompletedAfterRestart
    {"시스템을 재시작하시면 제거가 완료됩니다.", "Uninstallation will be completed after system restarted."},
    // UninstallCaptionSuffix
    {" 제거", " uninstall"},
};

static_assert(sizeof(MessageTable) / sizeof(MessageTable[0]) == static_cast<unsigned>(MessageId::Count),
              "one table row per message identifier");

}  // namespace

const MessagePair& MessageOf(MessageId id) { return MessageTable[static_cast<unsigned>(id)]; }

const char* SelectText(MessageId id) {
    const MessagePair& pair = MessageOf(id);
    return LanguageFlag != 0 ? pair.english : pair.korean;
}

const char* InEnglish(const char* text) {
    for (unsigned i = 0; i < static_cast<unsigned>(MessageId::Count); ++i) {
        if (MessageTable[i].korean == text) return MessageTable[i].english;
    }
    return text;
}
