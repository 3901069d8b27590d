// Private messages between the pages, the workers and the background window: WM_USER with one of these
// codes in wParam and an argument in lParam.
#pragma once

#include <windows.h>

enum PrivateMessage : WPARAM {
    UM_WELCOME_DONE = 1124,   // welcome page -> background; 1 Next, 0 Cancel
    UM_LICENSE_DONE = 1134,   // license page -> background; 1 Next, 0 Cancel
    UM_INFO_DONE = 1144,      // information page -> background; 1 Next, 2 Prev, 0 Cancel
    UM_FOLDER_DONE = 1154,    // install folder page -> background; 1 Install, 2 Prev, 0 Cancel
    UM_TOOL_DONE = 1164,      // silent-tool worker -> background (posted)
    UM_FILES_DONE = 1174,     // file-phase worker -> progress page -> background; 1 done or aborted, 0 failed
    UM_FINISH_DONE = 1184,    // finish worker -> background (posted)
    UM_ROLLBACK_DONE = 1194,  // rollback worker -> background (posted)
    UM_CLOSE_PAGE = 1204,     // background -> current page
    UM_ADD_PROGRESS = 1224,   // uninstall worker -> uninstall dialog (sent): one item done
    UM_ACTIVATE_PAGE = 1234,  // background -> itself (posted)
    // uninstall worker -> uninstall dialog (sent): a phase begins
    UM_PHASE_FILES = 1244,
    UM_PHASE_FOLDERS = 1254,
    UM_PHASE_SHORTCUTS = 1264,
    UM_PHASE_REGISTRY = 1274,
    UM_PHASE_INI = 1284,
    UM_UNINSTALL_DONE = 1294,  // uninstall worker -> uninstall dialog (posted): completed, aborted or vetoed
};
