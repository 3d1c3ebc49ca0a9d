// The window and control styles the resource script uses, with their Win32 values, so that the
// script compiles without the Windows headers (the simulated machine's build compiles it too).
#ifndef ORV_UI_RESOURCE_STYLES_H
#define ORV_UI_RESOURCE_STYLES_H

#define WS_POPUP 0x80000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define WS_EX_APPWINDOW 0x00040000L
#define DS_MODALFRAME 0x80L
#define DS_SETFONT 0x40L
#define DS_CENTER 0x800L
#define BS_PUSHBUTTON 0x0L
#define BS_DEFPUSHBUTTON 0x1L
#define BS_AUTOCHECKBOX 0x3L
#define BS_GROUPBOX 0x7L
#define BS_AUTORADIOBUTTON 0x9L
#define SS_LEFT 0x0L
#define SS_ICON 0x3L
#define SS_BITMAP 0xEL
#define SS_NOPREFIX 0x80L
#define IDOK 1
#define IDCANCEL 2
#define IDC_STATIC (-1)
#define LANG_CHINESE 0x04
#define LANG_ENGLISH 0x09
#define LANG_FRENCH 0x0c
#define LANG_JAPANESE 0x11
#define LANG_KOREAN 0x12
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_ENGLISH_US 0x01
#define SUBLANG_FRENCH 0x01
#define SUBLANG_KOREAN 0x01
#define SUBLANG_CHINESE_TRADITIONAL 0x01

#endif
