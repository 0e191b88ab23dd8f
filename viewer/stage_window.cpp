// The stage view: the viewer's song full screen on the viewer's monitor, turned by a pedal.
#include <windows.h>

#include "layout/stage_layout.h"
#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/win_util.h"
#include "store/book_format.h"
#include "transpose/transpose.h"
#include "viewer/viewer.h"

// A press that would leave the song waits this long for its second.
enum { SECOND_PRESS_MS = 2000, SECOND_PRESS_TIMER = 1 };

static const char stage_class[] = "CantoriaStage";

// The stage window's own state. One stage shows at a time, over the viewer that
// opened it; the song, its key and the place in the list stay the viewer's.
struct Stage {
    HWND viewer;
    HWND window;
    int width, height;          // of the monitor
    int measure;                // the song font's letter width in thousandths of its height
    int screen;                 // the screen shown, from 0
    int armed;                  // +1 / -1: a press to the next / previous song waits for its second
    DWORD armed_at;
    bool dark;                  // light letters on black; kept for the rest of the run
    StageLayout layout;
    char header[STAGE_HEADER_SIZE];
};
static Stage stage;

// The font's own proportions, measured once a stage: Lucida Console where it is
// installed, whatever the system gives in its place elsewhere.
static void measure_letters()
{
    HDC dc = GetDC(stage.window);
    HFONT font = create_song_font(1000, 0);
    HGDIOBJ kept = SelectObject(dc, font);
    TEXTMETRICA metrics;
    stage.measure = 600;
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0)
        stage.measure = metrics.tmAveCharWidth * 1000 / metrics.tmHeight;
    SelectObject(dc, kept);
    DeleteObject(font);
    ReleaseDC(stage.window, dc);
}

// The song in the key the viewer paints it in, laid out on the monitor.
static void lay_out()
{
    if (state.review_mode == 0)
        state.half_steps = current_entry()->key_change;
    transpose_song(state.half_steps);
    lay_out_stage(state.raw_lines, state.display_lines, state.line_count, stage.width, stage.height, stage.measure,
                  STAGE_MAX_COLUMNS, &stage.layout);
    if (stage.screen >= stage.layout.screens)
        stage.screen = stage.layout.screens - 1;
}

// The header, also the window's caption (read by screen readers and the tests), and a repaint.
static void show()
{
    StageHeader header = {state.current_title, state.half_steps, stage.screen, stage.layout.screens,
                          nullptr, 0, nullptr};
    int next = state.list_pos + 1;
    if (state.review_mode == 0 && next < state.song_count && next < SONG_LIST_SIZE) {
        header.next_title = state.song_list[next].title;
        header.next_key_change = state.song_list[next].key_change;
    }
    if (stage.armed)
        header.armed_title = state.song_list[state.list_pos + stage.armed].title;
    stage_header_text(&header, stage.header, sizeof stage.header);
    SetWindowTextA(stage.window, stage.header);
    InvalidateRect(stage.window, nullptr, FALSE);
}

static void disarm()
{
    stage.armed = 0;
    KillTimer(stage.window, SECOND_PRESS_TIMER);
}

// The viewer's own command does the work, so that the song, its key and the list
// move exactly as its buttons move them.
static void viewer_command(int id)
{
    disarm();
    SendMessageA(stage.viewer, WM_COMMAND, id, 0);
    lay_out();
}

// On to the next screen, or back; past the song's end the first press waits for a
// second within two seconds, which moves to the next (or previous) song of the list.
// A key held down repeats: its repeats never count as the second press.
static void turn(int step, bool repeated)
{
    int to = stage.screen + step;
    if (to >= 0 && to < stage.layout.screens) {
        stage.screen = to;
        disarm();
        show();
        return;
    }
    int song = state.list_pos + step;
    if (state.review_mode != 0 || song < 0 || song >= state.song_count || song >= SONG_LIST_SIZE)
        return;
    if (stage.armed == step && !repeated && GetTickCount() - stage.armed_at <= SECOND_PRESS_MS) {
        viewer_command(step > 0 ? IDC_VIEWER_NEXT_SONG : IDC_VIEWER_PREV_SONG);
        stage.screen = step > 0 ? 0 : stage.layout.screens - 1;
        show();
        return;
    }
    stage.armed = step;
    stage.armed_at = GetTickCount();
    SetTimer(stage.window, SECOND_PRESS_TIMER, SECOND_PRESS_MS, nullptr);
    show();
}

static void go_to_screen(int screen)
{
    stage.screen = screen;
    disarm();
    show();
}

// Back to the viewer: enabled again before the stage goes, so that it takes the focus.
static void close_stage()
{
    EnableWindow(stage.viewer, TRUE);
    DestroyWindow(stage.window);
}

static void on_key(WPARAM key, LPARAM flags)
{
    bool repeated = (flags & 0x40000000) != 0;   // the key was already down
    switch (key) {
    case VK_NEXT: case VK_DOWN: case VK_RIGHT: case VK_SPACE: turn(+1, repeated); break;
    case VK_PRIOR: case VK_UP: case VK_LEFT: turn(-1, repeated); break;
    case VK_HOME: go_to_screen(0); break;
    case VK_END: go_to_screen(stage.layout.screens - 1); break;
    case VK_ESCAPE: case VK_F11: close_stage(); break;
    default: break;
    }
}

static void on_char(WPARAM c)
{
    if (c == '[' || c == ']') {
        viewer_command(c == '[' ? IDC_VIEWER_PREV_KEY : IDC_VIEWER_NEXT_KEY);
        show();
    } else if (c == 'd' || c == 'D') {
        stage.dark = !stage.dark;
        InvalidateRect(stage.window, nullptr, FALSE);
    }
}

static void draw_text(HDC dc, int height, int width, COLORREF colour, int x, int y, const char* text, int length)
{
    HFONT font = create_song_font(height, width);
    HGDIOBJ kept = SelectObject(dc, font);
    SetTextColor(dc, colour);
    TextOutA(dc, x, y, text, length);
    SelectObject(dc, kept);
    DeleteObject(font);
}

// Everything is drawn on the one background, chord rows in a colour of their own.
static void paint_stage(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT all;
    GetClientRect(window, &all);
    HBRUSH paper = CreateSolidBrush(stage.dark ? RGB(0, 0, 0) : RGB(255, 255, 255));
    FillRect(dc, &all, paper);
    DeleteObject(paper);
    SetBkMode(dc, TRANSPARENT);
    const StageLayout& l = stage.layout;
    draw_text(dc, l.header_height, l.header_width, stage.dark ? RGB(160, 160, 160) : RGB(96, 96, 96), l.header_x,
              l.header_y, stage.header, lstrlenA(stage.header));
    HFONT font = create_song_font(l.letter_height, l.letter_width);
    HGDIOBJ kept = SelectObject(dc, font);
    for (int i = l.first; i <= l.last; i++) {
        if (l.screen[i] != stage.screen || l.length[i] <= l.indent)
            continue;
        bool chords = is_chord_row(state.raw_lines[i], ROW_COLUMNS);
        SetTextColor(dc, chords ? (stage.dark ? RGB(255, 200, 64) : RGB(0, 0, 170))
                                : (stage.dark ? RGB(255, 255, 255) : RGB(0, 0, 0)));
        TextOutA(dc, l.x[i], l.y[i], state.display_lines[i] + l.indent, l.length[i] - l.indent);
    }
    SelectObject(dc, kept);
    DeleteObject(font);
    EndPaint(window, &ps);
}

static LRESULT CALLBACK stage_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_KEYDOWN: on_key(wparam, lparam); return 0;
    case WM_CHAR: on_char(wparam); return 0;
    case WM_PAINT: paint_stage(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        disarm();
        show();
        return 0;
    case WM_DESTROY:
        KillTimer(window, SECOND_PRESS_TIMER);
        stage.window = nullptr;
        return 0;
    default: return DefWindowProcA(window, message, wparam, lparam);
    }
}

static bool register_stage_class()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = stage_window_proc;
        wc.hInstance = (HINSTANCE)state.app_instance;
        wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = stage_class;
        registered = RegisterClassA(&wc) != 0;
    }
    return registered;
}

// The stage's own message loop, as a modal dialog's: it returns once the stage is
// gone, and hands a quit message on to the loop beneath.
static void run_stage()
{
    MSG msg;
    while (stage.window) {
        int got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            close_stage();
            if (got == 0)
                PostQuitMessage((int)msg.wParam);
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void open_stage(HWND viewer)
{
    if (stage.window || !register_stage_class())
        return;
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(viewer, MONITOR_DEFAULTTONEAREST), &monitor);
    stage.viewer = viewer;
    stage.width = monitor.rcMonitor.right - monitor.rcMonitor.left;
    stage.height = monitor.rcMonitor.bottom - monitor.rcMonitor.top;
    stage.screen = 0;
    stage.armed = 0;
    stage.window = CreateWindowExA(0, stage_class, "", WS_POPUP, monitor.rcMonitor.left, monitor.rcMonitor.top,
                                   stage.width, stage.height, viewer, nullptr, (HINSTANCE)state.app_instance, nullptr);
    if (!stage.window) {
        MessageBeep(0xFFFFFFFF);
        return;
    }
    measure_letters();
    lay_out();
    show();
    EnableWindow(viewer, FALSE);
    ShowWindow(stage.window, SW_SHOW);
    SetForegroundWindow(stage.window);
    SetFocus(stage.window);
    run_stage();
    SetForegroundWindow(viewer);
    repaint(viewer);
}
