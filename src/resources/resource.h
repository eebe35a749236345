#pragma once

// Resource and control identifiers, shared by vantrel.rc, the windows that
// use them and the tests that find their controls. Plain #defines so the
// resource compiler reads them too.

#define VANTREL_VERSION_MAJOR 1
#define VANTREL_VERSION_MINOR 0
#define VANTREL_VERSION_REVISION 26
#define VANTREL_VERSION_TEXT "1.0.26.0"

// The program's icon: the window icons, the tray and the about box's picture.
#define IDI_VANTREL 1

// Control identifiers start above the IDOK..IDHELP range so a control never
// passes for a standard command in WM_COMMAND.
#define IDC_SETTINGS_HOTKEY 101
#define IDC_SETTINGS_HOTKEY_LABEL 102
#define IDC_SETTINGS_SOURCE_WINDOW 103
#define IDC_SETTINGS_SOURCE_LABEL 104
#define IDC_SETTINGS_OPTIONAL_LABEL 105
#define IDC_SETTINGS_INDEX_FIELD 106
#define IDC_SETTINGS_INDEX_LABEL 107
#define IDC_SETTINGS_SAVE_NEXT 108
#define IDC_SETTINGS_OK 109
#define IDC_SETTINGS_CANCEL 110

#define IDC_ABOUT_ICON 201
#define IDC_ABOUT_OK 202
#define IDC_ABOUT_SYSINFO 203
#define IDC_ABOUT_DESCRIPTION 204
#define IDC_ABOUT_TITLE 205
#define IDC_ABOUT_VERSION 206
#define IDC_ABOUT_DISCLAIMER 207
