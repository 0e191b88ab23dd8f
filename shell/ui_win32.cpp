// The user interface of the portable core, implemented on the program's dialogs.
#include <windows.h>

#include <cstring>

#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "store/record.h"

static HWND editor_item(UiWindow editor, int id) { return GetDlgItem(as_hwnd(editor), id); }

void ui_set_status(const char* text)
{
    SetDlgItemTextA(as_hwnd(state.list_dialog), IDC_LIST_STATUS, text);
}

// Redrawing stays off while the title box fills: with thousands of titles a
// redraw after every insert would take far longer than reading the library.
static HWND list_item(UiWindow dialog, int id) { return GetDlgItem(as_hwnd(dialog), id); }

void ui_title_list_reset(UiWindow dialog)
{
    HWND box = list_item(dialog, IDC_LIST_TITLES);
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
}

void ui_title_list_add(UiWindow dialog, const char* title)
{
    SendMessageA(list_item(dialog, IDC_LIST_TITLES), CB_ADDSTRING, 0, (LPARAM)title);
}

void ui_title_list_done(UiWindow dialog)
{
    HWND box = list_item(dialog, IDC_LIST_TITLES);
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

void fill_title_list(UiWindow dialog, const char* file_name)
{
    static TitleList list;   // 4 MB: kept off the stack
    read_title_list(file_name, &list);
    ui_title_list_reset(dialog);
    for (int i = 0, at = 0; i < list.count; i++, at += (int)strlen(list.text + at) + 1)
        ui_title_list_add(dialog, list.text + at);
    ui_title_list_done(dialog);
}

int ui_song_list_count(UiWindow dialog)
{
    HWND box = list_item(dialog, IDC_LIST_SONGS);
    if (!box)
        return 0;
    LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : (int)count;
}

// A row is read only from a list box that exists and answers with the row's
// length: SendMessage to a destroyed window returns 0 and copies nothing, which
// must not pass for an empty title read from a buffer never written.
int ui_song_list_get(UiWindow dialog, int row, char* buf, int size)
{
    if (size <= 0)
        return -1;
    buf[0] = 0;
    HWND box = list_item(dialog, IDC_LIST_SONGS);
    if (!box || !IsWindow(box))
        return -1;
    LRESULT len = SendMessageA(box, LB_GETTEXTLEN, row, 0);
    // LB_GETTEXT has no size limit: take the row whole, then cut it
    char whole[1024];
    if (len < 0 || len >= (LRESULT)sizeof whole)
        return -1;
    whole[0] = 0;
    LRESULT got = SendMessageA(box, LB_GETTEXT, row, (LPARAM)whole);
    if (got < 0 || got > len)
        return -1;
    whole[got] = 0;
    copy_bounded(buf, size, whole);
    return 0;
}

void ui_song_list_reset(UiWindow dialog)
{
    SendMessageA(list_item(dialog, IDC_LIST_SONGS), LB_RESETCONTENT, 0, 0);
}

void ui_song_list_add(UiWindow dialog, const char* title)
{
    SendMessageA(list_item(dialog, IDC_LIST_SONGS), LB_ADDSTRING, 0, (LPARAM)title);
}

void ui_editor_get_title(UiWindow editor, char* buf, int size)
{
    get_item_text(as_hwnd(editor), IDC_EDITOR_TITLE, buf, size);
}

void ui_editor_set_title(UiWindow editor, const char* text)
{
    SetWindowTextA(editor_item(editor, IDC_EDITOR_TITLE), text);
}

void ui_editor_set_text(UiWindow editor, const char* text)
{
    SetWindowTextA(editor_item(editor, IDC_EDITOR_TEXT), text);
}

int ui_editor_line_count(UiWindow editor)
{
    return (int)SendMessageA(editor_item(editor, IDC_EDITOR_TEXT), EM_GETLINECOUNT, 0, 0);
}

int ui_editor_line_length(UiWindow editor, int line)
{
    HWND box = editor_item(editor, IDC_EDITOR_TEXT);
    LRESULT start = SendMessageA(box, EM_LINEINDEX, line, 0);
    if (start < 0)
        return 0;
    return (int)SendMessageA(box, EM_LINELENGTH, start, 0);
}

int ui_editor_get_line(UiWindow editor, int line, char* buf, int size)
{
    if (size <= 0)
        return 0;
    HWND box = editor_item(editor, IDC_EDITOR_TEXT);
    LRESULT start = SendMessageA(box, EM_LINEINDEX, line, 0);
    if (start < 0) {
        buf[0] = 0;
        return 0;
    }
    int len = (int)SendMessageA(box, EM_LINELENGTH, start, 0);
    if (len > size - 1)
        len = size - 1;
    // EM_GETLINE takes the buffer size in its first WORD and writes no terminator
    if (size - 1 < 2) {
        buf[0] = 0;
        return 0;
    }
    *(WORD*)buf = (WORD)(size - 1 > 0xFFFF ? 0xFFFF : size - 1);
    int got = (int)SendMessageA(box, EM_GETLINE, line, (LPARAM)buf);
    if (got < 0)
        got = 0;
    if (got > len)
        got = len;
    buf[got] = 0;
    return got;
}

void ui_message_box(UiWindow owner, const char* text, const char* caption)
{
    MessageBoxA(as_hwnd(owner), text, caption, MB_OK);
}

void ui_beep()
{
    MessageBeep(0xFFFFFFFF);
}
