// Resource identifiers, shared by the resource script and the code.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_BITSET_DIALOG 102
#define IDR_MAINFRAME 128

// The about entry's command in the system menu: below the system's own
// commands, with the four low bits that the system uses clear.
#define IDM_ABOUTBOX 0x0010

#define IDC_DRIVE_BOX 1000
#define IDC_SETTINGS_GROUP 1008
#define IDC_DRIVE_LABEL 1009
#define IDC_PLUS_R_GROUP 1010
#define IDC_PLUS_RW_GROUP 1011
#define IDC_MEDIA_TYPE_LABEL 1012
#define IDC_BOOK_TYPE_LABEL 1013
#define IDC_ABOUT_TITLE 1013
#define IDC_ABOUT_ATTRIBUTION 1014
#define IDC_PLUS_R_LABEL 1015
#define IDC_PLUS_RW_LABEL 1016
#define IDC_PLUS_RW_TEXT 1314
#define IDC_PLUS_R_TEXT 1315
#define IDC_HELP_BUTTON 1317
#define IDC_SET_PLUS_RW 1319
#define IDC_PLUS_R_OWN 1333
#define IDC_PLUS_R_ROM 1334
#define IDC_PLUS_RW_OWN 1335
#define IDC_PLUS_RW_ROM 1336
#define IDC_SET_PLUS_R 1337
