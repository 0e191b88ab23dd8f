// Ids of the menu, the dialog templates and their controls; the numbers are fixed.
#pragma once

// Main window menu "MAINMENU" and the main window's commands
#define IDM_SONGLIST            40003
#define IDM_QUIT                40004
#define IDM_VERSION             40005
#define IDM_FOLDER              6002
#define IDM_SETUP               205
#define IDM_ABOUT               6003
#define CMD_OPEN_VIEWER         206
#define CMD_OPEN_SONG_LIST      207
#define CMD_OPEN_EDITOR         208
#define CMD_START               209      // posted by every dialog to itself at WM_INITDIALOG
#define MSG_OPEN_EDITOR         996
#define MSG_OPEN_SONG_LIST      997
#define MSG_OPEN_VIEWER         998
#define MAIN_TIMER              3

// Song list dialog "LOG"
#define IDC_LIST_MAIN_MENU      2
#define IDC_LIST_REVIEW         4001
#define IDC_LIST_SONGS          4004
#define IDC_LIST_CHOOSE         4008
#define IDC_LIST_RUN            4010
#define IDC_LIST_CLEAR          4011
#define IDC_LIST_LOAD           4012
#define IDC_LIST_SAVE           4013
#define IDC_LIST_EDIT           4016
#define IDC_LIST_NEW            4023
#define IDC_LIST_EXIT           4024
#define IDC_LIST_STATUS         4025
#define IDC_LIST_HELP           4026
#define IDC_LIST_SHOW_HIDDEN    4033
#define IDC_LIST_TITLES         40007
#define IDC_LIST_PRINT          4034     // "Print List": the whole service on paper
#define IDC_LIST_FIND           4035     // "Find": songs by their words
#define IDC_LIST_IMPORT         4036     // "Import...": ChordPro files and chord sheets
#define IDC_LIST_EXPORT         4037     // "Export List": the service as one ChordPro file

// Song viewer "SONGVIEWER"
#define IDC_VIEWER_RETURN       2
#define IDC_VIEWER_PREV_KEY     4002
#define IDC_VIEWER_NEXT_KEY     4003
#define IDC_VIEWER_STEPS_LABEL  4004
#define IDC_VIEWER_STEPS        4005
#define IDC_VIEWER_PREV_SONG    4006
#define IDC_VIEWER_NEXT_SONG    4007
#define IDC_VIEWER_TITLE_LABEL  4008
#define IDC_VIEWER_TITLE        4009
#define IDC_VIEWER_PAGE_DOWN    4014
#define IDC_VIEWER_PAGE_UP      4015
#define IDC_VIEWER_PRINT        4028
#define IDC_VIEWER_MAGNIFY_UP   4031
#define IDC_VIEWER_MAGNIFY_DOWN 4032
#define IDC_VIEWER_STAGE        4038     // "&Stage": the song full screen, turned by a pedal (also F11)

// Song editor "BOOK"
#define IDC_EDITOR_EXIT_SAVE    1
#define IDC_EDITOR_CANCEL       2
#define IDC_EDITOR_KEY          4005
#define IDC_EDITOR_SAVE         4013
#define IDC_EDITOR_TEXT         4017
#define IDC_EDITOR_TITLE_LABEL  4021
#define IDC_EDITOR_TITLE        4022
#define IDC_EDITOR_KEY_LABEL    4024
#define IDC_EDITOR_HINT         4025
#define IDC_EDITOR_HELP         4027
#define IDC_EDITOR_MARK         4029     // "&M - Mark Chords"
#define IDC_EDITOR_CHORD_HINT   4030     // which rows look like chords without a mark
