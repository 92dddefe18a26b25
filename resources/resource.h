// Resource ids: string table, menus, icons, bitmaps, dialogs and controls.
#pragma once

#define ICON_MAIN 1
#define MENU_MAIN 1
#define BITMAP_TOOLBAR 1
#define BITMAP_TOOLBAR_HOT 2

// String ids (the string table of kelvasto.rc).
#define IDS_PRODUCT 0
#define IDS_CAPTION_INFORMATION 2
#define IDS_CAPTION_QUESTION 3
#define IDS_CAPTION_ERROR 4
#define IDS_INFO_EXISTING 11
#define IDS_INFO_FREE 12
#define IDS_INFO_MARKED 13
#define IDS_INFO_TOTAL 14
#define IDS_SYSTEM_ERROR 30
#define IDS_FILE_RW_ERROR 32
