// Numbers and texts that the Windows resource script and the program share. Plain preprocessor
// definitions, because the resource compiler reads this file as well as the C++ compiler.
#ifndef PIXMELD_RES_RESOURCE_H_
#define PIXMELD_RES_RESOURCE_H_

// Resource ids.
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PIXMELD_DIALOG 102
#define IDR_MAINFRAME 128
#define IDB_LOGO 129
#define IDB_BANNER 130

// String 101: the text of the About entry.
#define PIXMELD_ABOUT_MENU_TEXT "&About Pixmeld..."

// The maker's legal notice, shown in the About box and written into the version record.
#define PIXMELD_LEGAL_NOTICE "Copyright (C) 2026 Meldworks"

// The version record: 1.0.0.1 as numbers and as text.
#define PIXMELD_VERSION_NUMBERS 1, 0, 0, 1
#define PIXMELD_VERSION_TEXT "1, 0, 0, 1"

#endif  // PIXMELD_RES_RESOURCE_H_
