// The user interface of the portable core, implemented on the program's dialogs.
#include <windows.h>

#include <cstring>

#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "store/record.h"


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

const TitleList* fill_title_list(UiWindow dialog, const char* file_name)
{
    static TitleList list;   // 4 MB: kept off the stack
    read_title_list(file_name, &list);
    ui_title_list_reset(dialog);
    for (int i = 0, at = 0; i < list.count; i++, at += (int)strlen(list.text + at) + 1)
        ui_title_list_add(dialog, list.text + at);
    ui_title_list_done(dialog);
    return &list;
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
