// The song list dialog "LOG", the program's home screen.
#include <windows.h>

#include "resources/resource.h"
#include "shell/launch.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "songlist/find_songs.h"
#include "songlist/home.h"
#include "songlist/import_songs.h"
#include "songlist/service.h"
#include "songlist/songlist_file.h"
#include "store/index.h"
#include "store/record.h"

enum { TITLE_BOX_LIMIT = TITLE_SIZE };   // Review, Edit Song and Choose take the titles the editor takes

static const char help_text[] =
    "Functions on left deal with single song\r"
    "Those are EDIT and REVIEW\r"
    "You may choose a title and click CHOOSE and the name will transfer\r"
    "to the songlist.  The songlist can be executed using RUN.\r"
    "During RUN, the key changes will be memorized and ready when you\r"
    "come back to it from rehearsal to performance\r"
    "The songlist may be saved from the LIST menu under SAVE LIST.\r"
    "It can be retrieved by clicking LOAD LIST\r"
    "If you choose a new list from scratch and hit SAVE LIST it will write\r"
    "over the old list\r"
    "This current version only stores one list.\r"
    "Later versions will allow more\r"
    "For this version, you will have to choose songs in order";

static void read_title_box(HWND dialog, char* title)
{
    get_item_text(dialog, IDC_LIST_TITLES, title, TITLE_BOX_LIMIT);
}

static void review_song(HWND dialog)
{
    char title[TITLE_BOX_LIMIT];
    state.review_mode = 1;
    read_title_box(dialog, title);
    request_viewer(title);
}

// The list holds as many titles as song_list has entries.
static void choose_song(HWND dialog)
{
    char title[TITLE_BOX_LIMIT];
    read_title_box(dialog, title);
    if (ui_song_list_count(dialog) >= SONG_LIST_SIZE) {
        MessageBoxA(dialog, "The song list is full: it holds 30 songs.\rClear the list or save it first.",
                    "SONG LIST FULL", MB_OK);
        return;
    }
    SendDlgItemMessageA(dialog, IDC_LIST_SONGS, LB_ADDSTRING, 0, (LPARAM)title);
}

// The list of the dialog whose Run was pressed; a row that cannot be read
// stops the run rather than showing a title never read.
static void run_song_list(HWND dialog)
{
    char first[TITLE_SIZE];
    int count = ui_song_list_count(dialog);
    if (count > SONG_LIST_SIZE)
        count = SONG_LIST_SIZE;
    if (count > 0 && ui_song_list_get(dialog, 0, first, sizeof first) != 0)
        return;
    if (count == 0)
        first[0] = 0;
    state.review_mode = 0;
    state.song_count = count;
    for (int i = 0; i < count; i++) {
        SongListEntry* entry = &state.song_list[i];
        if (ui_song_list_get(dialog, i, entry->title, sizeof entry->title) != 0) {
            state.song_count = i;
            break;
        }
        if (entry->key_change > 12 || entry->key_change < -12)
            entry->key_change = 0;
        if (entry->title[0] == ' ')
            MessageBeep(0xFFFFFFFF);
    }
    state.list_pos = 0;
    request_viewer(first);
}

static void clear_song_list(HWND dialog)
{
    ui_song_list_reset(dialog);
    for (int i = 0; i < SONG_LIST_SIZE; i++)
        state.song_list[i].key_change = 0;
}

static void edit_song(HWND dialog)
{
    char title[TITLE_BOX_LIMIT];
    read_title_box(dialog, title);
    state.new_song_mode = 0;
    request_editor(title);
}

static void new_song()
{
    state.new_song_mode = 1;
    request_editor("songnew");
}

// Nothing typed is lost: every editor with changes asks first, and may stop the exit.
static void exit_program(HWND dialog)
{
    if (!editors_agree_to_exit())
        return;
    PostMessageA(as_hwnd(state.main_window), WM_DESTROY, 0, 0);
    EndDialog(dialog, 1);
}

// "Save List": the table's titles brought into line with the list box, then the
// file written the safe way: a failed save leaves the old list whole.
static void save_song_list(HWND dialog)
{
    int rows = ui_song_list_count(dialog);
    state.song_count = rows < 0 ? 0 : rows > SONG_LIST_SIZE ? SONG_LIST_SIZE : rows;
    for (int i = 0; i < state.song_count; i++)
        ui_song_list_get(dialog, i, state.song_list[i].title, TITLE_SIZE);
    WriteResult result = write_song_list_file(state.song_list, state.song_count);
    if (result == WRITE_OK)
        return;
    char text[200];
    wsprintfA(text, "Could Not Save Songlist\r(%s; SONGLIST.TXT was left as it was.)", write_failure_text(result));
    MessageBoxA(dialog, text, "SAVE SONGLIST", MB_OK);
}

static void load_song_list(HWND dialog)
{
    static SongListRows rows;   // 2.4 KB: kept off the dialog's stack
    if (read_song_list_file(state.song_list, &state.song_count, &rows) != 0) {
        MessageBoxA(dialog, "Could Not Load Songlist", "LOAD SONGLIST", MB_OK);
        return;
    }
    ui_song_list_reset(dialog);
    for (int i = 0; i < rows.song_lines; i++)
        MessageBeep(0xFFFFFFFF);
    for (int i = 0; i < rows.count; i++)
        ui_song_list_add(dialog, rows.title[i]);
}

// The titles, and a word when the library holds two songs of one title: only
// the first of them can be opened until one is renamed.
void fill_titles(HWND dialog)
{
    const TitleList* list = fill_title_list(dialog, LIBRARY_FILE);
    int repeated = list->repeated;
    const char* title = list->repeated_title;
    if (repeated == 0)
        return;
    char text[TITLE_SIZE + 80];
    if (repeated == 1)
        wsprintfA(text, "Two songs are titled %s: rename one in SONGBOOK.CNR", title);
    else
        wsprintfA(text, "%d titles are used twice (%s, ...): rename in SONGBOOK.CNR", repeated, title);
    SetDlgItemTextA(dialog, IDC_LIST_STATUS, text);
}

static void toggle_hidden(HWND dialog)
{
    state.show_hidden = IsDlgButtonChecked(dialog, IDC_LIST_SHOW_HIDDEN) == BST_CHECKED ? 1 : 0;
    fill_titles(dialog);
}

static INT_PTR on_command(HWND dialog, int command)
{
    switch (command) {
    case CMD_START:
        clear_display_lines();
        fill_titles(dialog);
        return TRUE;
    case IDC_LIST_MAIN_MENU:
        EndDialog(dialog, 1);
        return TRUE;
    case IDC_LIST_REVIEW: review_song(dialog); break;
    case IDC_LIST_CHOOSE: choose_song(dialog); break;
    case IDC_LIST_RUN: run_song_list(dialog); break;
    case IDC_LIST_CLEAR: clear_song_list(dialog); break;
    case IDC_LIST_LOAD: load_song_list(dialog); break;
    case IDC_LIST_SAVE: save_song_list(dialog); break;
    case IDC_LIST_EDIT: edit_song(dialog); break;
    case IDC_LIST_NEW: new_song(); break;
    case IDC_LIST_EXIT: exit_program(dialog); break;
    case IDC_LIST_HELP: MessageBoxA(dialog, help_text, "Cantoria Help", MB_OK); break;
    case IDC_LIST_SHOW_HIDDEN: toggle_hidden(dialog); break;
    case IDC_LIST_FIND: find_songs(dialog); break;
    case IDC_LIST_PRINT: print_song_list(dialog); break;
    case IDC_LIST_EXPORT: export_song_list_as(dialog); break;
    case IDC_LIST_IMPORT: import_songs(dialog); break;
    default: break;
    }
    return FALSE;
}

INT_PTR CALLBACK song_list_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        state.list_dialog = dialog;
        PostMessageA(dialog, WM_COMMAND, CMD_START, 0);
        return TRUE;
    case WM_COMMAND:
        return on_command(dialog, LOWORD(wparam));
    default:
        return FALSE;
    }
}
