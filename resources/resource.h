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

// "Setting" dialog
#define IDD_SETTING 130
#define IDC_SETTING_MP3 1225
#define IDC_SETTING_WMA 1226
#define IDC_SETTING_MP3_GROUP 1227
#define IDC_SETTING_WMA_GROUP 1228
#define IDC_SETTING_VOLUME 1229
#define IDC_SETTING_VOLUME_GROUP 1230
#define IDC_SETTING_COPY_TAGS 1231

// "Bat Encode" dialog; its Stop button, status and progress group share the
// main dialog's IDC_STOP, IDC_STATUS and IDC_PROGRESS_GROUP.
#define IDD_BAT_ENCODE 133
#define IDC_BAT_START 1215
#define IDC_BAT_FOLDER 1216
#define IDC_BAT_BROWSE 1217
#define IDC_BAT_PROGRESS 1219
#define IDC_BAT_FOLDER_LABEL 1220

// String pairs of the program's own table. An IDS_ name is the Japanese
// text; the English text is on the next ID.
#define IDS_SETTING_MP3_GROUP 10001
#define IDS_SETTING_WMA_GROUP 10003
#define IDS_SETTING_MP3 10005
#define IDS_SETTING_WMA 10007
#define IDS_SETTING_VOLUME_GROUP 10009
#define IDS_SETTING_VOLUME 10011
#define IDS_SETTING_CAPTION 10013
#define IDS_SETTING_COPY_TAGS 10015
#define IDS_BAT_FOLDER_LABEL 10021
#define IDS_BAT_PROGRESS_GROUP 10023
#define IDS_BAT_STATUS 10025
#define IDS_BAT_STOP 10027
#define IDS_BAT_START 10029
#define IDS_BAT_CAPTION 10031
