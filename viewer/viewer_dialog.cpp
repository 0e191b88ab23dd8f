// The song viewer "SONGVIEWER": paints, transposes, scrolls, magnifies and runs the song list.
#include <windows.h>

#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "store/index.h"
#include "store/record.h"
#include "transpose/transpose.h"
#include "viewer/scroll.h"
#include "viewer/viewer.h"

enum { MAGNIFY_LEVELS = 7, TEXT_X = 3, TEXT_Y = 20, PAGE_DOWN_LINES = 34 };

static const int cell_height[MAGNIFY_LEVELS] = {12, 13, 14, 16, 18, 19, 20};
static const int cell_width[MAGNIFY_LEVELS] = {9, 10, 11, 12, 13, 14, 15};

// ANSI_CHARSET: the library is Windows-1252 text, and an OEM font would draw its
// bytes 0x80-0xFF through the OEM code page ("trouvé" as "trouvΘ").
HFONT create_song_font(int height, int width)
{
    return CreateFontA(height, width, 0, 0, 700, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH | FF_DONTCARE, "Lucida Console");
}

SongListEntry* current_entry()
{
    int pos = state.list_pos;
    if (pos < 0 || pos >= SONG_LIST_SIZE)
        pos = 0;
    return &state.song_list[pos];
}

// F11 opens the stage view. The dialog manager hands keys to the focused button,
// so F11 is taken on its way there, from every viewer's message loop.
static HHOOK key_filter;

static LRESULT CALLBACK filter_viewer_keys(int code, WPARAM wparam, LPARAM lparam)
{
    MSG* msg = (MSG*)lparam;
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN && msg->wParam == VK_F11) {
        HWND viewer = GetAncestor(msg->hwnd, GA_ROOT);
        if (GetDlgItem(viewer, IDC_VIEWER_STAGE)) {
            PostMessageA(viewer, WM_COMMAND, IDC_VIEWER_STAGE, 0);
            return 1;
        }
    }
    return CallNextHookEx(key_filter, code, wparam, lparam);
}

static void open_viewer(HWND dialog)
{
    state.list_pos = 0;
    state.half_steps = 0;
    state.scroll_line = 0;
    state.font_height = 14;
    state.font_width = 11;
    ui_set_status(load_song() == 0 ? " " : "Song Not Found");
    SetScrollRange(dialog, SB_VERT, 0, scroll_max(state.line_count), FALSE);
    set_item_text(dialog, IDC_VIEWER_TITLE, state.current_title);
    repaint(dialog);
}

void magnified_cell(int* height, int* width)
{
    int level = state.magnify_level;
    if (level < 0 || level >= MAGNIFY_LEVELS)
        level = 2;
    *height = cell_height[level];
    *width = cell_width[level];
}

static void paint_song(HWND dialog)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    magnified_cell(&state.font_height, &state.font_width);
    HFONT font = create_song_font(state.font_height, state.font_width);
    HGDIOBJ kept = SelectObject(dc, font);
    SetTextColor(dc, RGB(palette.red[0] & 0xFF, palette.green[0] & 0xFF, palette.blue[0] & 0xFF));
    SetBkColor(dc, RGB(207, 207, 207));
    if (state.review_mode == 0)
        state.half_steps = current_entry()->key_change;
    transpose_song(state.half_steps);
    for (int i = 0; i < state.line_count; i++) {
        const char* line = state.display_lines[i];
        TextOutA(dc, TEXT_X, (i - state.scroll_line) * state.font_height + TEXT_Y, line, lstrlenA(line));
    }
    SelectObject(dc, kept);
    DeleteObject(font);
    EndPaint(dialog, &ps);
}

// Each button wraps at its own end: Prev Key below -11, Next Key above 12. A count
// far outside (from a hand-edited song list) steps towards the range; the sum is
// formed in 64 bits so that no count overflows.
static void change_key(HWND dialog, int step)
{
    long long next = (long long)state.half_steps + step;
    if ((step < 0 && next < -11) || (step > 0 && next > 12))
        next = 0;
    state.half_steps = (int)next;
    set_item_number(dialog, IDC_VIEWER_STEPS, state.half_steps);
    if (state.review_mode == 0)
        current_entry()->key_change = state.half_steps;
    repaint(dialog);
}

static void step_song(HWND dialog, int step)
{
    if (state.review_mode == 1) {
        MessageBeep(0xFFFFFFFF);
        return;
    }
    if (step < 0 && state.list_pos > 0)
        state.list_pos--;
    if (step > 0 && state.list_pos < state.song_count - 1)
        state.list_pos++;
    SongListEntry* entry = current_entry();
    copy_bounded(state.current_title, sizeof state.current_title, entry->title);
    ui_set_status(load_song() == 0 ? " " : "Song Not Found");
    SetScrollRange(dialog, SB_VERT, 0, scroll_max(state.line_count), FALSE);
    state.scroll_line = clamp_scroll(state.scroll_line, state.line_count);
    state.half_steps = entry->key_change;
    set_item_number(dialog, IDC_VIEWER_STEPS, state.half_steps);
    set_item_text(dialog, IDC_VIEWER_TITLE, state.current_title);
    repaint(dialog);
}

// Pg Down lands on 21 for a short song, on the next page (or the last line) of a long one.
static void page_down(HWND dialog)
{
    state.scroll_line = clamp_scroll(state.scroll_line + PAGE_DOWN_LINES, state.line_count);
    repaint(dialog);
}

static void magnify(HWND dialog, int step)
{
    int level = state.magnify_level + step;
    if (level < 0)
        level = 0;
    if (level > MAGNIFY_LEVELS - 1)
        level = MAGNIFY_LEVELS - 1;
    state.magnify_level = level;
    repaint(dialog);
}

static void on_scroll(HWND dialog, WPARAM wparam)
{
    RECT client;
    GetClientRect(dialog, &client);
    int page = (client.bottom - client.top) / (state.font_height > 0 ? state.font_height : 14);
    int line = state.scroll_line;
    switch (LOWORD(wparam)) {
    case SB_LINEUP: line--; break;
    case SB_LINEDOWN: line++; break;
    case SB_PAGEUP: line = line - page + 1; break;
    case SB_PAGEDOWN: line = line + page - 1; break;
    case SB_THUMBTRACK: line = (short)HIWORD(wparam); break;
    default: break;
    }
    state.scroll_line = clamp_scroll(line, state.line_count);
    if (GetScrollPos(dialog, SB_VERT) != state.scroll_line) {
        SetScrollPos(dialog, SB_VERT, state.scroll_line, TRUE);
        repaint(dialog);
    }
}

static void on_command(HWND dialog, int command)
{
    switch (command) {
    case IDC_VIEWER_RETURN: EndDialog(dialog, 1); break;
    case CMD_START: open_viewer(dialog); break;
    case IDC_VIEWER_PREV_KEY: change_key(dialog, -1); break;
    case IDC_VIEWER_NEXT_KEY: change_key(dialog, +1); break;
    case IDC_VIEWER_PREV_SONG: step_song(dialog, -1); break;
    case IDC_VIEWER_NEXT_SONG: step_song(dialog, +1); break;
    case IDC_VIEWER_PAGE_DOWN: page_down(dialog); break;
    case IDC_VIEWER_PAGE_UP:
        state.scroll_line = 0;
        repaint(dialog);
        break;
    case IDC_VIEWER_PRINT: print_song(); break;
    case IDC_VIEWER_MAGNIFY_UP: magnify(dialog, +1); break;
    case IDC_VIEWER_MAGNIFY_DOWN: magnify(dialog, -1); break;
    case IDC_VIEWER_STAGE: open_stage(dialog); break;
    default: break;
    }
}

INT_PTR CALLBACK viewer_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        if (!key_filter)
            key_filter = SetWindowsHookExA(WH_MSGFILTER, filter_viewer_keys, nullptr, GetCurrentThreadId());
        PostMessageA(dialog, WM_COMMAND, CMD_START, 0);
        return TRUE;
    case WM_COMMAND:
        on_command(dialog, LOWORD(wparam));
        return TRUE;
    case WM_PAINT:
        paint_song(dialog);
        return TRUE;
    case WM_VSCROLL:
        on_scroll(dialog, wparam);
        return 0;
    default:
        return FALSE;
    }
}
