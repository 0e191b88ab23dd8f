// The editor's help with chord rows: "Mark Chords" and the hint line under the text box.
#include "editor/chord_marks.h"

#include <cstring>

#include "resources/resource.h"
#include "transpose/chord_hint.h"
#include "transpose/chord_row.h"

enum {
    MARK_LINE_MAX = 4096,     // a longer row is left as it is
    HINT_TEXT_MAX = 65536,    // the text box holds at most about 32,000 characters
    HINT_SIZE = 240
};

static char line[MARK_LINE_MAX + 1];
static char text[HINT_TEXT_MAX];

// Row i of the text box into line; returns its length, or -1 when it is too long.
static int get_row(HWND box, int row)
{
    int start = (int)SendMessageA(box, EM_LINEINDEX, (WPARAM)row, 0);
    int len = (int)SendMessageA(box, EM_LINELENGTH, (WPARAM)start, 0);
    if (start < 0 || len > MARK_LINE_MAX)
        return -1;
    if (len == 0)
        return 0;
    *(WORD*)line = (WORD)MARK_LINE_MAX;   // EM_GETLINE takes the buffer's size in its first word
    return (int)SendMessageA(box, EM_GETLINE, (WPARAM)row, (LPARAM)line);
}

void mark_chord_rows(HWND editor)
{
    HWND box = GetDlgItem(editor, IDC_EDITOR_TEXT);
    DWORD sel_start = 0, sel_end = 0;
    SendMessageA(box, EM_GETSEL, (WPARAM)&sel_start, (LPARAM)&sel_end);
    int top = (int)SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0);
    int rows = (int)SendMessageA(box, EM_GETLINECOUNT, 0, 0);
    for (int row = 0; row < rows; row++) {
        int len = get_row(box, row);
        int replaces = 0;
        int column = len > 0 ? chord_mark_column(line, len, &replaces) : -1;
        if (column < 0)
            continue;
        DWORD at = (DWORD)SendMessageA(box, EM_LINEINDEX, (WPARAM)row, 0) + (DWORD)column;
        SendMessageA(box, EM_SETSEL, at, at + (DWORD)replaces);
        SendMessageA(box, EM_REPLACESEL, TRUE, (LPARAM)"<");
        // an inserted mark moves the text behind it, the selection with it
        if (!replaces && at < sel_start)
            sel_start++;
        if (!replaces && at < sel_end)
            sel_end++;
    }
    SendMessageA(box, EM_SETSEL, sel_start, sel_end);
    int now = (int)SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(box, EM_LINESCROLL, 0, top - now);
    SetFocus(box);
}

void show_chord_hint(HWND editor, const char* note)
{
    int len = GetDlgItemTextA(editor, IDC_EDITOR_TEXT, text, sizeof text);
    char hint[HINT_SIZE];
    char shown[HINT_SIZE];
    chord_row_hint(text, len, hint, sizeof hint);
    // the hint about chord rows is about the text as it is now: it goes first
    if (hint[0] == 0)
        lstrcpynA(hint, note, sizeof hint);
    // set only when it changes: a static redrawn at every key would flicker
    GetDlgItemTextA(editor, IDC_EDITOR_CHORD_HINT, shown, sizeof shown);
    if (strcmp(shown, hint) != 0)
        SetDlgItemTextA(editor, IDC_EDITOR_CHORD_HINT, hint);
}
