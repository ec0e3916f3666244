// Identifiers of the installer's resources, shared by the code and the .rc.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_INSTALLER 102
#define IDS_ADDIN_NAME 102
#define IDI_APPLICATION_ICON 128
#define IDB_LOGO 129

#define IDC_PRODUCT_PANEL 1000
#define IDC_INSTALL 1001
#define IDC_UNINSTALL 1002
#define IDC_WINDOWS_95 1003
#define IDC_WINDOWS_NT 1004
#define IDC_KILL_MASTER 1006

// The about entry of the system menu; system commands below 0xF000 are the
// application's own.
#define IDM_ABOUTBOX 0x0010
