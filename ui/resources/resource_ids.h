// Resource identifiers of the module, shared by the resource script and the code.
#pragma once

// Icons.
#define IDI_MODULE 1055     // the module's icon: window class, pages, the busy box, the program file
#define IDI_UNINSTALL 1056  // the uninstall dialog's icon
#define IDI_PHASE 1057      // 9 x 9 marker beside the uninstall phases

// Dialog templates: pages and dialogs. They carry the layout only; every text is set at run time.
#define IDD_BUSY 1058
#define IDD_FINISH 1059
#define IDD_WELCOME 1060
#define IDD_LICENSE 1061  // also the information page
#define IDD_FOLDER 1062
#define IDD_PROGRESS 1063
#define IDD_UNINSTALL 1064
#define IDD_OVERWRITE 1065
#define IDD_DELETE 1066

// Controls.
#define IDC_FOLDER_EDIT 1000
#define IDC_BROWSE 1001
#define IDC_INSTALL 1002
#define IDC_CANCEL 1003
#define IDC_FOLDER_TITLE 1004
#define IDC_FOLDER_INSTRUCTIONS 1005
#define IDC_SPACE_NEEDED 1006
#define IDC_FOLDER_GROUP 1007  // on the progress page: the install folder text
#define IDC_BITMAP_FRAME 1008
#define IDC_WIZARD_STAMP 1009
#define IDC_YES_BUTTON 1010
#define IDC_NO_BUTTON 1011  // IDC_NO is a system cursor
#define IDC_ABORT 1012
#define IDC_NO_MORE_CONFIRMATION 1013
#define IDC_QUESTION 1014
#define IDC_LINE1 1015
#define IDC_LINE2 1016
#define IDC_LINE3 1017
#define IDC_NEXT 1018
#define IDC_TEXT 1019
#define IDC_WELCOME_TITLE 1020
#define IDC_WELCOME_ADVICE 1021
#define IDC_WELCOME_INSTRUCTIONS 1022
#define IDC_PROGRESS_TITLE 1023
#define IDC_PROGRESS_INSTRUCTIONS 1024
#define IDC_INSTALLING_TO 1025
#define IDC_INSTALLING_ITEM 1026
#define IDC_CURRENT_ITEM 1027
#define IDC_PROGRESS_LABEL 1028
#define IDC_PROGRESS_PLACE 1029
#define IDC_SEPARATOR 1031
#define IDC_BUSY_TEXT 1033
#define IDC_OK 1034
#define IDC_RUN_APPLICATION 1035
#define IDC_VIEW_INFORMATION 1036
#define IDC_COMPLETED 1037
#define IDC_UNINSTALL_BUTTON 1038
#define IDC_DELETE_QUESTION 1039
#define IDC_DELETE_LINE1 1040
#define IDC_DELETE_LINE2 1041
#define IDC_DELETE_LINE3 1042
#define IDC_UNINSTALL_HEADING 1043
#define IDC_PHASE_MARK1 1044  // marks 1044, 1046, 1048, 1050, 1052; names 1045, 1047, 1049, 1051, 1053
#define IDC_PHASE_NAME1 1045
#define IDC_PREV 1072  // also I Agree
