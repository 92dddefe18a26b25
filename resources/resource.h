// Resource ids: icon, menu bar and bitmaps, the string table with its row lists, and command ids.
#pragma once

#define ICON_MAIN 1
#define MENU_MAIN 1
#define BITMAP_TOOLBAR 1
#define BITMAP_TOOLBAR_HOT 2

// Toolbar strip: 15 images of 16 x 16 pixels; pixels of this colour are transparent.
#define TOOLBAR_IMAGE_COUNT 15
#define TOOLBAR_IMAGE_SIZE 16
#define TOOLBAR_MASK_COLOR_R 64
#define TOOLBAR_MASK_COLOR_G 64
#define TOOLBAR_MASK_COLOR_B 64

// ---------------------------------------------------------------------------------------------
// String ids (the string table of kelvasto.rc). Ids 18 and 31 are unused.
#define IDS_PRODUCT 0
#define IDS_VERSION_TEXT 1 // product name and version line of the version box
#define IDS_CAPTION_INFORMATION 2
#define IDS_CAPTION_QUESTION 3
#define IDS_CAPTION_ERROR 4
#define IDS_ASK_NEW_DIRECTORY_NAME 5 // caption of the name dialog for a directory
#define IDS_ASK_NEW_FILE_NAME 6      // caption of the name dialog for a file
#define IDS_ASK_FILE_NAME 7          // caption of a program's file-name prompt
#define IDS_CAPTION_VERSION 8
#define IDS_TITLE_CHOOSE_NETDRIVE 9 // folder browser of the options dialog
#define IDS_TITLE_CHOOSE_PROGRAM 10 // open-file dialog for a program
#define IDS_LABEL_ENTRIES 11        // information line: entry count ("存在    ", 8 bytes)
#define IDS_LABEL_FREE 12           // information line: free space ("空き ", 5 bytes)
#define IDS_LABEL_MARKED 13         // information line: marked count ("選択    ", 8 bytes)
#define IDS_LABEL_TOTAL 14          // information line: marked total ("合計 ", 5 bytes)
#define IDS_FILTER_EXECUTABLES 15   // open-file dialog filter text
#define IDS_DEFAULT_FONT_NAME 16
#define IDS_DEFAULT_FONT_STYLE 17
#define IDS_TOO_MANY_ITEMS 19
#define IDS_NAME_EXISTS 20
#define IDS_TITLE_RULE 21          // message of title_rule
#define IDS_KEY_LETTERS_INVALID 22 // options dialog: command letters not 11 capitals
#define IDS_LOCAL_NAME_RULE 23     // message of local_name_rule
#define IDS_ASCII_NAME_RULE 24     // message of ascii_name_rule
#define IDS_NO_DOT_NAME_RULE 25    // message of no_dot_name_rule
#define IDS_ASK_FTP_ACCESS 26
#define IDS_ASK_COPY 27
#define IDS_ASK_MOVE 28
#define IDS_ASK_DELETE 29
#define IDS_SYSTEM_ERROR 30
#define IDS_FILE_RW_ERROR 32
#define IDS_PROGRAM_START_ERROR 33 // a program or archiver library could not be started

// FTP result messages: the message of result code c is string IDS_FTP_RESULT_FIRST + c
// (code 0, success, is never shown; id 33 is the program start error above).
#define IDS_FTP_RESULT_FIRST 33
#define IDS_FTP_LINE_TOO_SMALL 34
#define IDS_FTP_LIBRARY_FAILED 35
#define IDS_FTP_NO_SOCKET 36
#define IDS_FTP_BAD_HOST 37
#define IDS_FTP_CONNECT_FAILED 38
#define IDS_FTP_RECEIVE_ERROR 39
#define IDS_FTP_CLOSED 40
#define IDS_FTP_SEND_ERROR 41
#define IDS_FTP_THREAD_FAILED 42
#define IDS_FTP_FILE_ERROR 43
#define IDS_FTP_ABORTED 44
#define IDS_FTP_ERROR_REPLY 45
#define IDS_FTP_BAD_PASSWORD 46
#define IDS_FTP_RESULT_LAST 46

// What an FTP download, delete or upload passed over: the heading, one reason per kind of name
// (IDS_FTP_SKIP_REASON_FIRST + the reason), and the line ending a list that was cut.
#define IDS_FTP_SKIPPED 110
#define IDS_FTP_SKIP_REASON_FIRST 111 // 111-117
#define IDS_FTP_SKIPPED_MORE 118
// The server dialog's lists: encryption ("security" none, explicit, implicit) and file name
// charset ("name charset" auto, sjis, utf8), three rows each in the stored values' order.
#define IDS_FTP_SECURITY_FIRST 119   // 119-121
#define IDS_FTP_NAME_CHARSET_FIRST 122 // 122-124
// The FTP log line of a walk that lost its connection and logs in again (" (try/3)" follows).
#define IDS_FTP_RECONNECTING 125

// TLS results: the message of result code c (14-17) is string IDS_FTP_TLS_RESULT_FIRST + c - 14.
#define IDS_FTP_TLS_RESULT_FIRST 140
#define IDS_FTP_TLS_REFUSED 140
#define IDS_FTP_TLS_FAILED 141
#define IDS_FTP_TLS_UNAVAILABLE 142
#define IDS_FTP_CERTIFICATE_REFUSED 143
// The question on a server certificate the system does not accept: the first line (a new
// certificate, or one that changed since it was accepted always), its details, the choices.
#define IDS_CERTIFICATE_UNTRUSTED 144
#define IDS_CERTIFICATE_CHANGED 145
#define IDS_CERTIFICATE_DETAILS 146
#define IDS_CERTIFICATE_CHOICES 147

// Toolbar tool tips: the tip of the button with command c is string IDS_TOOLTIP_FIRST + c - IDM_COPY.
#define IDS_TOOLTIP_FIRST 47
#define IDS_TOOLTIP_LAST 62

// Row lists: consecutive rows up to the row "end"; "separator" and "popup <caption>" rows shape menus.
#define IDS_PANE_MENU_ROWS 63   // 63-79: pane menu, commands from IDM_MAKE_DIRECTORY
#define IDS_ROW_MENU_ROWS 80    // 80-87: row menu, commands from IDM_COPY
#define IDS_FILE_COLUMN_ROWS 88 // 88-93: file list columns (blanks give widths and alignment)
#define IDS_COLOR_ROWS 94       // 94-102: colour entries of the options dialog

// ---------------------------------------------------------------------------------------------
// Positions in MENU_MAIN: top-level popups, and the submenus the main window takes by position.
#define MENU_POS_FILE 0
#define MENU_POS_EDIT 1
#define MENU_POS_VIEW 2
#define MENU_POS_PROGRAMS 3 // run menu of the manual programs
#define MENU_POS_SETTINGS 4
#define MENU_POS_HELP 5
#define MENU_POS_VIEW_SORT 2                   // in View
#define MENU_POS_VIEW_SET_MARK 8               // in View
#define MENU_POS_VIEW_GO_TO_MARK 9             // in View
#define MENU_POS_SETTINGS_EXTENSION_PROGRAMS 2 // in Settings
#define MENU_POS_SETTINGS_MANUAL_PROGRAMS 3    // in Settings
#define MENU_POS_SETTINGS_FTP_SERVERS 5        // in Settings

// Command ids (menus, toolbar, pop-up menus, and commands posted by keys, controls and threads).
#define IDM_CLOSE 200
#define IDM_CHOOSE_ENTRY 201 // posted: current-directory box entry chosen
#define IDM_COPY 202
#define IDM_MOVE 203
#define IDM_DELETE 204
#define IDM_RENAME 205
#define IDM_ATTRIBUTE 206
#define IDM_TIMESTAMP 207
#define IDM_OPEN 208 // posted: Enter, double click on a row
#define IDM_MAKE_DIRECTORY 209
#define IDM_MAKE_FILE 210
#define IDM_SELECT_ALL 211 // invert the marks of all files
#define IDM_SELECT_NEWER 212
#define IDM_DUAL_WINDOW 213
#define IDM_HIDE_SYSTEM_FILES 214
#define IDM_RELOAD_DRIVES 215
#define IDM_ROOT_DIRECTORY 216
#define IDM_PARENT_DIRECTORY 217
#define IDM_SET_MARK_FIRST 218 // 218-229: set directory mark 1-12
#define IDM_SET_MARK_LAST 229
#define IDM_GO_TO_MARK_FIRST 230 // 230-241: go to directory mark 1-12
#define IDM_GO_TO_MARK_LAST 241
#define IDM_OPTION 242
#define IDM_MANUAL_HTML 244
#define IDM_VERSION 245
#define IDM_ROW_MENU 247   // posted: row menu at the cursor row
#define IDM_SORT_MENU 248  // posted: sort menu at the cursor row
#define IDM_SORT_FIRST 249 // 249-253: sort by column 0-4
#define IDM_SORT_NAME 249
#define IDM_SORT_TYPE 250
#define IDM_SORT_SIZE 251
#define IDM_SORT_TIME 252
#define IDM_SORT_ATTRIBUTE 253
#define IDM_SORT_LAST 253
#define IDM_DIRECTORY_CHANGED 254 // posted by a pane's directory watcher
#define IDM_PROGRAM_MENU 300      // posted: manual program menu at the cursor row
#define IDM_RUN_PROGRAM_FIRST 301 // 301-399: run manual program i
#define IDM_RUN_PROGRAM_LAST 399
#define IDM_NEW_EXTENSION_PROGRAM 400
#define IDM_EDIT_EXTENSION_PROGRAM_FIRST 401
#define IDM_EDIT_EXTENSION_PROGRAM_LAST 499
#define IDM_NEW_MANUAL_PROGRAM 500
#define IDM_EDIT_MANUAL_PROGRAM_FIRST 501
#define IDM_EDIT_MANUAL_PROGRAM_LAST 599
#define IDM_NEW_FTP_SERVER 600
#define IDM_EDIT_FTP_SERVER_FIRST 601
#define IDM_EDIT_FTP_SERVER_LAST 699
