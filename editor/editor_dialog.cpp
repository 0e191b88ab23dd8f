// The song editor "BOOK": one song typed in or changed, and saved into the library.
#include <windows.h>

#include <cstring>

#include "editor/chord_marks.h"
#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "songlist/home.h"
#include "store/edit_load.h"
#include "store/rewrite.h"

static const char help_text[] =
    "Put in the song title in the upper right box\r"
    "Make sure that you don't use the same name for two songs or\r"
    "one of them may get deleted when you edit\r"
    "Mark lines with chords using the less than < symbol, this will\r"
    "tell the computer which lines to transpose and the unmarked lines\r"
    "will be left alone.\r"
    "Give sufficient space between chords so that they can grow,\r"
    "A simple B chord could become F# in the right key and the MAJ/MIN\r"
    "symbols will get scooted over instead of written over but if you leave a\r"
    "a solitary space after the end of the chord, it might bleed into the next.\r"
    "The song library is placed in a file called SONGBOOK.CNR\r"
    "If you put this program on a disk or memory stick, make sure you\r"
    "copy the song libray and you songlist SONGLIST.TXT";

static const char help_caption[] = "EDIT SONGBOOK\r with the EXE Executable program.";

enum {
    EDITOR_TEXT_MAX = 65536,      // the text box holds at most about 32,000 characters
    MSG_ASK_BEFORE_EXIT = WM_APP + 1,
    QUESTION_SIZE = TITLE_SIZE + 40,
    EDITORS_MAX = 32
};

// Working memory of the editors' loads and saves, one at a time on the one
// thread: kept off the dialogs' stacks.
static RewriteWork work;
static char box_text[EDITOR_TEXT_MAX];
static char box_title[TITLE_SIZE];

// The session of this editor, kept with its window from WM_INITDIALOG on.
static EditSession* session_of(HWND dialog)
{
    return (EditSession*)GetWindowLongPtrA(dialog, GWLP_USERDATA);
}

// The two boxes as data for the core.
static EditorText read_boxes(HWND dialog)
{
    GetDlgItemTextA(dialog, IDC_EDITOR_TITLE, box_title, sizeof box_title);
    int len = GetDlgItemTextA(dialog, IDC_EDITOR_TEXT, box_text, sizeof box_text);
    return EditorText{box_title, box_text, len};
}

// What the boxes hold now counts as unchanged: read back from the boxes, which
// may have altered what was put in.
static void remember_shown(HWND dialog)
{
    EditorText boxes = read_boxes(dialog);
    session_of(dialog)->shown_hash = editor_text_hash(&boxes);
}

static void refill_home_titles()
{
    HWND home = as_hwnd(state.list_dialog);
    if (home && IsWindow(home))
        fill_titles(home);
}

// Saves the editor's song. A song that went in as a new song is said; a refused
// or failed save is shown and keeps the editor open with its text. An editor
// without changes writes nothing.
static bool save_song(HWND dialog)
{
    EditSession* session = session_of(dialog);
    EditorText boxes = read_boxes(dialog);
    RewriteResult result = rewrite_songbook(session, &boxes, &work);
    if (result == REWRITE_OK || result == REWRITE_ADDED) {
        if (result == REWRITE_ADDED)
            SetDlgItemTextA(dialog, IDC_EDITOR_TITLE, session->title);
        remember_shown(dialog);
        refill_home_titles();
    }
    if (result == REWRITE_OK || result == REWRITE_UNCHANGED)
        return true;
    MessageBoxA(dialog, rewrite_message(result, session), "SAVE SONG", MB_OK | MB_ICONEXCLAMATION);
    return result == REWRITE_ADDED;
}

// Only the exact "songnew" opens the editor without loading; such an editor, like
// New Song, replaces nothing when it saves. The title box shows the title as
// chosen; a song not found leaves the text box as it is.
static void open_editor(HWND dialog)
{
    EditSession* session = session_of(dialog);
    if (strcmp(session->title, "songnew") != 0) {
        SetDlgItemTextA(dialog, IDC_EDITOR_TITLE, session->title);
        int found = load_song_for_editing(session, box_text, EDIT_BUF_SIZE, &work);
        ui_set_status(found == 0 ? " " : "Song Not Found");
        if (found == 0)
            SetDlgItemTextA(dialog, IDC_EDITOR_TEXT, box_text);
        if (session->truncated)
            MessageBoxA(dialog, too_long_text, too_long_caption, MB_OK);
    }
    remember_shown(dialog);
    show_chord_hint(dialog, session->note);
}

// Asked before the program ends: false keeps it running.
static bool agree_to_exit(HWND dialog)
{
    EditorText boxes = read_boxes(dialog);
    if (!editor_changed(session_of(dialog), &boxes))
        return true;
    char question[QUESTION_SIZE];
    wsprintfA(question, "Save changes to %s?", box_title[0] ? box_title : "NONAME");
    switch (MessageBoxA(dialog, question, "SAVE SONG", MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return save_song(dialog);
    case IDNO: return true;
    default: return false;
    }
}

static BOOL CALLBACK collect_editor(HWND window, LPARAM list)
{
    HWND* editors = (HWND*)list;
    bool editor = GetDlgItem(window, IDC_EDITOR_TEXT) && GetDlgItem(window, IDC_EDITOR_TITLE);
    if (editor && GetWindowLongPtrA(window, GWLP_USERDATA)) {
        int n = 0;
        while (editors[n])
            n++;
        if (n < EDITORS_MAX)
            editors[n] = window;
    }
    return TRUE;
}

bool editors_agree_to_exit()
{
    HWND editors[EDITORS_MAX + 1] = {};
    EnumThreadWindows(GetCurrentThreadId(), collect_editor, (LPARAM)editors);
    for (int i = 0; editors[i]; i++)
        if (!SendMessageA(editors[i], MSG_ASK_BEFORE_EXIT, 0, 0))
            return false;
    return true;
}

INT_PTR CALLBACK editor_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, GWLP_USERDATA, lparam);
        state.editor_dialog = dialog;
        // a title longer than the library keeps would be cut at save: not typed at all
        SendDlgItemMessageA(dialog, IDC_EDITOR_TITLE, EM_LIMITTEXT, TITLE_SIZE - 1, 0);
        PostMessageA(dialog, WM_COMMAND, CMD_START, 0);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case CMD_START: open_editor(dialog); break;
        case IDC_EDITOR_EXIT_SAVE:
            if (save_song(dialog))
                EndDialog(dialog, 1);
            break;
        case IDC_EDITOR_SAVE: save_song(dialog); break;
        case IDC_EDITOR_CANCEL: EndDialog(dialog, 1); break;
        case IDC_EDITOR_HELP: MessageBoxA(dialog, help_text, help_caption, MB_OK); break;
        case IDC_EDITOR_MARK: mark_chord_rows(dialog); break;
        case IDC_EDITOR_TEXT:
            if (HIWORD(wparam) == EN_CHANGE)
                show_chord_hint(dialog, session_of(dialog)->note);
            break;
        default: break;
        }
        return FALSE;
    case MSG_ASK_BEFORE_EXIT:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, agree_to_exit(dialog) ? 1 : 0);
        return TRUE;
    default:
        return FALSE;
    }
}
