// Identifiers of the launcher's resources, shared by the resource script and the dialog code.
#ifndef ORV_UI_RESOURCE_H
#define ORV_UI_RESOURCE_H

#define IDD_ABOUT 100
#define IDS_ABOUT_SETUP 101
#define IDD_SETUP_MAIN 102
#define IDD_JACK_OPTIONS 103
#define IDR_MAINFRAME 128
#define IDB_BACKGROUND 129
#define IDD_DRIVER_ARCH 130
#define IDD_RESTART 132
#define IDD_NO_CHIP 306

// Main dialog buttons (with IDCANCEL, 2: "Exit")
#define IDC_INSTALL_ALL 1000
#define IDC_INSTALL_DRIVER 3
#define IDC_INSTALL_APPS 4

// Driver architecture
#define IDC_ARCH_VXD 1004
#define IDC_ARCH_WDM 1005

// Restart
#define IDC_RESTART_YES 1000
#define IDC_RESTART_NO 1001

// Jack and port options
#define IDC_DISABLE_MIDI 1000
#define IDC_DISABLE_GAME 1001
#define IDC_ON_MOTHERBOARD 1006
#define IDC_ON_SOUND_CARD 1007
#define IDC_LINEIN_REAR 1011
#define IDC_LINEIN_CENTER 1012
#define IDC_MIC_SUBWOOFER 1013

#endif
