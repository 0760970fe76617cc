// Resources of the capture stand-in's dialogs.
#pragma once

#define IDD_SOURCE 100
#define IDD_INFO 101
#define IDC_INPUT 1000
#define IDC_PAL 1001
#define IDC_NTSC 1002
#define IDC_SECAM 1003
#define IDC_INFO_TEXT 1004
