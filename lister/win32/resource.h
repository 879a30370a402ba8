/* Identifiers shared by the resource script and the program. */
#pragma once

#define IDI_PROGRAM 1
#define IDM_MAINMENU 100
#define IDM_OPEN1 101
#define IDM_E1 102

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

#define IDC_GROUPBOX1 500
#define IDC_LABEL1 501
#define IDC_LABEL2 502
#define IDC_RADIOBUTTON1 503
#define IDC_RADIOBUTTON2 504
#define IDC_STRINGGRID1 505
