// Resource IDs of ZEP.exe. The numbers are fixed: other modules and the
// settings of earlier versions refer to them.
#pragma once

#define IDR_MAINFRAME 128
#define IDR_ACCELERATOR 108
#define IDR_MENU_JAPANESE 140
#define IDR_MENU_ENGLISH 141

#define IDD_ZEP_DIALOG 102

#define IDC_INPUT_PATH 1200
#define IDC_BROWSE_INPUT 1201
#define IDC_OUTPUT_FORMAT 1203
#define IDC_OUTPUT_PATH 1204
#define IDC_BROWSE_OUTPUT 1205
#define IDC_STOP 1206
#define IDC_STATUS 1207
#define IDC_PROGRESS 1208
#define IDC_CONVERT 1209
#define IDC_SETTING 1211
#define IDC_PROGRESS_GROUP 1235
#define IDC_INPUT_GROUP 1236
#define IDC_OUTPUT_GROUP 1237

#define ID_BATCH 32771
#define ID_APP_ABOUT 57664
#define ID_HELP_FINDER 57670
