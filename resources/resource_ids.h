#pragma once
// Numbers of the program's resources and of the dialogs' controls and commands, shared by the
// resource script and the code.

#define IDD_ABOUT 103
#define IDD_MAIN 129
#define IDR_MAIN_MENU 109
#define IDI_TEVRIX 107

#define IDS_APP_TITLE 103
#define IDS_APP_CLASS 109

#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDM_DETECT 106

#define IDC_STATIC (-1)

#define IDC_LOG 1000
#define IDC_CANCEL_OP 1001
#define IDC_EXECUTE 1002
#define IDC_EMU_ADDRESS 1003
#define IDC_FILE_PATH 1004
#define IDC_FILE_ADDRESS 1005
#define IDC_TRANSFER_SIZE 1006
#define IDC_OPERATION 1007
#define IDC_END_JUSTIFY 1008
#define IDC_STATUS 1009
#define IDC_LARGE 1010
#define IDC_BROWSE 10000

#define IDC_ABOUT_VERSION 1010

// The program's sounds: WAVE resources made by make_sounds.py, one file per name below.
#define IDW_CHANGES_UPLOADED 134
#define IDW_VERIFY_MISMATCH 136
#define IDW_VERIFY_MATCH 137
#define IDW_READ_DONE 138
#define IDW_WRITE_DONE 139
#define IDW_HARDWARE_FOUND 140
