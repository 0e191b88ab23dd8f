// The song editor "BOOK": one song typed in or changed, and saved into the library.
#include <windows.h>

#include <cstring>

#include "editor/chord_marks.h"
#include "resources/resource.h"
#include "shell/shared_state.h"
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

// The session of this editor, kept with its window from WM_INITDIALOG on.
static EditSession* session_of(HWND dialog)
{
    return (EditSession*)GetWindowLongPtrA(dialog, GWLP_USERDATA);
}

// Saves the editor's song. A song that went in as a new song is said; a refused
// or failed save is shown and keeps the editor open with its text.
static bool save_song(HWND dialog)
{
    EditSession* session = session_of(dialog);
    RewriteResult result = rewrite_songbook(session, dialog);
    if (result == REWRITE_OK)
        return true;
    MessageBoxA(dialog, rewrite_message(result, session), "SAVE SONG", MB_OK | MB_ICONEXCLAMATION);
    return result == REWRITE_ADDED;
}

// Only the exact "songnew" opens the editor without loading; such an editor, like
// New Song, replaces nothing when it saves.
static void open_editor(HWND dialog)
{
    EditSession* session = session_of(dialog);
    if (strcmp(session->title, "songnew") != 0)
        load_song_for_editing(dialog, session);
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
        case CMD_START: open_editor(dialog); show_chord_hint(dialog); break;
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
                show_chord_hint(dialog);
            break;
        default: break;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
