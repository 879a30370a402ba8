/* Identifiers shared by the resource script and the program. */
#pragma once

#define IDI_PROGRAM 1
#define IDM_MAINMENU 100
#define IDM_FILE_OPEN 101
#define IDM_HELP_ABOUT 102

#define IDD_ABOUTBOX 200
#define IDC_PRODUCTNAME 201
#define IDC_COPYRIGHT 202
#define IDC_VERSION 203

#define IDD_ERRORBOX 300
#define IDC_ERRORICON 301
#define IDC_ERRORTEXT 302

#define IDD_PROGRESS 400
#define IDC_PROGRESSTEXT 401
#define IDC_PROGRESSBAR 402

#define IDC_HEADER_GROUP 500
#define IDC_SUMMARY_NAMES 501
#define IDC_SUMMARY_VALUES 502
#define IDC_IN_KB 503
#define IDC_IN_BYTES 504
#define IDC_RECORD_GRID 505
