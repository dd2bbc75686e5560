// Resource identifiers of zodovu.exe, shared by the code and zodovu.rc.
#pragma once

#define IDD_MAIN        102
#define IDD_PROGRESS    103
#define IDR_MAINFRAME   128

// Main window
#define IDC_ARCHIVE     1000
#define IDC_BROWSE      1001
#define IDC_CLIPLIST    1003
#define IDC_HIRES       1004
#define IDC_LORES       1005
#define IDC_VIEW        1006
#define IDC_EXTRACT     1007
#define IDC_DISC        1011
#define IDC_FULLSCREEN  1012

// Progress window (its own template, so the numbers may repeat the main window's)
#define IDC_PROGRESS    1003
#define IDC_STATUS      1005

#ifndef IDC_STATIC
#define IDC_STATIC      (-1)
#endif
