// Dialog template names and the ids of their controls.
#pragma once

// Templates are named by text; the program passes the names in lower case.
#define TEMPLATE_NAME "dialog_name"
#define TEMPLATE_ATTRIBUTE "dialog_attribute"
#define TEMPLATE_TIMESTAMP "dialog_timestamp"
#define TEMPLATE_EXTENSION "dialog_extension"
#define TEMPLATE_HELP "dialog_help"
#define TEMPLATE_FILE_RW "dialog_file_rw"
#define TEMPLATE_OPTION "dialog_option"
#define TEMPLATE_FTP "dialog_ftp"
#define TEMPLATE_DRIVE_FTP "dialog_drive_ftp"
#define TEMPLATE_PASSWORD "dialog_password"
#define TEMPLATE_PROGRAM "dialog_program"
#define TEMPLATE_PROGRAM_EXT "dialog_program_ext"
#define TEMPLATE_EXEC_CONFIRM "dialog_exec_confirm"
#define TEMPLATE_EXEC_RESULT "dialog_exec_result"

// Buttons shared by several dialogs (1 OK and 2 Cancel are IDOK and IDCANCEL).
#define ID_STOP 3
#define ID_CLOSE 8
#define ID_HELP_BUTTON 9
#define ID_DELETE 204
#define ID_ADD_EXTENSION 210
#define ID_BROWSE 729
// The read-only text of the help window, the FTP log and the library result.
#define ID_TEXT 749

// DIALOG_NAME and DIALOG_EXTENSION
#define ID_NAME 710

// DIALOG_ATTRIBUTE
#define ID_ATTR_SYSTEM 711
#define ID_ATTR_HIDDEN 712
#define ID_ATTR_READ_ONLY 713
#define ID_ATTR_ARCHIVE 714

// DIALOG_TIMESTAMP (716 is the year's up-down control, made when the dialog opens)
#define ID_TIME_YEAR 715
#define ID_TIME_YEAR_UPDOWN 716
#define ID_TIME_MONTH 717
#define ID_TIME_DAY 718
#define ID_TIME_HOUR 719
#define ID_TIME_MINUTE 720
#define ID_TIME_SECOND 721

// DIALOG_OPTION (734, 736 and 738 are up-down controls made when the dialog opens)
#define ID_OPT_CONFIRM_COPY 722
#define ID_OPT_CONFIRM_MOVE 723
#define ID_OPT_USE_TRASH 724
#define ID_OPT_NETDRIVES 725
#define ID_OPT_NETDRIVE_ADD 726
#define ID_OPT_NETDRIVE_REMOVE 727
#define ID_OPT_VIEWER 728
#define ID_OPT_FONT 730
#define ID_OPT_FONT_BROWSE 731
#define ID_OPT_COLOR 732
#define ID_OPT_RED 733
#define ID_OPT_RED_UPDOWN 734
#define ID_OPT_GREEN 735
#define ID_OPT_GREEN_UPDOWN 736
#define ID_OPT_BLUE 737
#define ID_OPT_BLUE_UPDOWN 738
#define ID_OPT_SAMPLE 739
#define ID_OPT_COLOR_DEFAULT 740
#define ID_OPT_LETTERS 741
#define ID_OPT_LETTERS_DEFAULT 742
#define ID_OPT_EXTENSIONS 743

// DIALOG_PROGRAM and DIALOG_PROGRAM_EXT
#define ID_PROGRAM_TITLE 744
#define ID_PROGRAM_SHIFT_ONLY 745
#define ID_PROGRAM_FILE 746
#define ID_PROGRAM_PARAMETER 747
#define ID_PROGRAM_CONFIRM 748

// DIALOG_EXEC_CONFIRM
#define ID_EXEC_PARAMETER 747

// DIALOG_DRIVE_FTP and the password dialog (755 is the port's up-down control)
#define ID_FTP_TITLE 750
#define ID_FTP_SERVER 751
#define ID_FTP_ZONE 752
#define ID_FTP_CHARSET 753
#define ID_FTP_PORT 754
#define ID_FTP_PORT_UPDOWN 755
#define ID_FTP_USER 756
#define ID_FTP_PASSWORD 757
#define ID_FTP_DIRECTORY 758
#define ID_FTP_KEEP_DIRLIST 759
#define ID_FTP_SECURITY 760
#define ID_FTP_NAME_CHARSET 761
#define ID_FTP_PROTECT_PASSWORD 762
