// Resource and command identifiers of vistrel, shared by vistrel.rc and the code.
#pragma once

// Menu, accelerators, icons, bitmap, dialog templates.
#define IDR_VIEWER_MENU 200
#define IDR_ACCELERATORS 201
#define IDI_VISTREL 1000
#define IDI_HELP 1001   // frowning face, Help box
#define IDI_ABOUT 1002  // smiling face, About box
#define IDB_KEYPAD 5000
#define IDD_ABOUT 1
#define IDD_HELP 2
#define IDD_VOLUME 3

// Commands (menu items and accelerators).
#define CMD_SOURCE 100
#define CMD_FORMAT 101
#define CMD_DISPLAY 102
#define CMD_COMPRESSION 103
#define CMD_ABOUT 104
#define CMD_EXIT 105
#define CMD_HELP 106
#define CMD_ENABLE_SECAM 107
#define CMD_FREEZE 108
#define CMD_GRAB 109
#define CMD_RESTORE_ASPECT 110
#define CMD_DISABLE_SCREEN_SAVER 111
#define CMD_TOPMOST 112
#define CMD_FULL_SCREEN 113
#define CMD_VOLUME 114
#define CMD_TWEAK 119
#define CMD_SIZE_1_1 120
#define CMD_SIZE_1_2 121
#define CMD_SIZE_1_4 122
#define CMD_SIZE_1_6 123
// The first number after the commands that no identifier of this file uses: 115 to 118 and
// 124 name dialog controls.
#define CMD_SAVE_FRAME 125

// Controls of the About, Help and Volume dialogs.
#define IDC_BUILD_STAMP 124   // About: receives the build stamp
#define IDC_MASTER_SLIDER 115  // Volume: master line volume
#define IDC_BUZ_SLIDER 116     // Volume: Buz line volume
#define IDC_MASTER_MUTE 117    // Volume: master line mute
#define IDC_BUZ_MUTE 118       // Volume: Buz line mute
