// Resource ids of Ledgerlink.dll, shared by the resource script and the code.
#pragma once

#define IDD_ABOUT 100
#define IDC_ABOUT_ICON 1001
#define IDC_ABOUT_TITLE 1002
#define IDC_ABOUT_VERSION 1003
#define IDC_ABOUT_DESCRIPTION 1004
#define IDC_ABOUT_DISCLAIMER 1005
#define IDC_ABOUT_SYSINFO 1006
#define IDD_HOST_FORM 101
#define IDC_HOST_FORM_TEXT 1101
