// Resource and control identifiers of quorvex, shared by quorvex.rc and the code.
#pragma once

#define IDD_QUORVEX 1
#define IDI_QUORVEX 1000
#define IDC_HAND_CURSOR 1001
#define IDB_LAMP_LIT 1002
#define IDB_LAMP_IDLE 1003

// List fields.
#define IDC_MODE 100
#define IDC_GUDL 101
#define IDC_FUSE 102
#define IDC_VNOI 116
#define IDC_APER 122
#define IDC_BPSS 124
#define IDC_CHBW 137
#define IDC_CSTD 140
#define IDC_YDEL 142
#define IDC_HDEL 144
#define IDC_OFTS 145
#define IDC_AOSL 154
#define IDC_RTSE 159
#define IDC_BCLO 160
#define IDC_BCHI 161
#define IDC_CCTR 162
#define IDC_VCTR 163

// One-bit fields.
#define IDC_GAFIX 107
#define IDC_HOLDG 108
#define IDC_WPOFF 109
#define IDC_VBSL 110
#define IDC_HLNRS 111
#define IDC_HPLL 117
#define IDC_VTRC 118
#define IDC_EXFIL 119
#define IDC_FSEL 120
#define IDC_AUFD 121
#define IDC_UPTCV 123
#define IDC_VBLB 125
#define IDC_PREF 126
#define IDC_BYPS 127
#define IDC_FCTC 138
#define IDC_DCCF 139
#define IDC_CDTO 141
#define IDC_VRLN 143
#define IDC_COLO 146
#define IDC_VIPB 147
#define IDC_OEHV 148
#define IDC_OEYC 149
#define IDC_COMPO 150
#define IDC_FECO 151
#define IDC_CM99 152
#define IDC_GPSW 153
#define IDC_DIT 155
#define IDC_RGB888 156
#define IDC_CBR 157
#define IDC_TCLO 158

// Number fields: edit box and its up-down control.
#define IDC_GAI1 103
#define IDC_GAI1_SPIN 104
#define IDC_GAI2 105
#define IDC_GAI2_SPIN 106
#define IDC_HSB 112
#define IDC_HSB_SPIN 113
#define IDC_HSS 114
#define IDC_HSS_SPIN 115
#define IDC_BRIGHTNESS 128
#define IDC_BRIGHTNESS_SPIN 129
#define IDC_CONTRAST 130
#define IDC_CONTRAST_SPIN 131
#define IDC_SATURATION 132
#define IDC_SATURATION_SPIN 133
#define IDC_HUE 134
#define IDC_HUE_SPIN 135
#define IDC_VSTA 164
#define IDC_VSTA_SPIN 165
#define IDC_VSTO 166
#define IDC_VSTO_SPIN 167

// Fourth column.
#define IDC_SLICER_FIRST 300  // 300 to 307
#define IDC_STATUS_FIRST 400  // 400 to 407
#define IDC_EXIT 500
#define IDC_RESET 501
#define IDC_SAVE 502
#define IDC_LOAD 503
#define IDC_REREAD 504
#define IDC_REINIT 505
#define IDC_VERSION 506
#define IDC_NOTICE 507
#define IDC_LAMP 600
