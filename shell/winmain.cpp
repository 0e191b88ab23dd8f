// Program entry, the main window and its menu, and the dialog-launch protocol.
#include <windows.h>
#include <direct.h>

#include <cstdio>
#include <cstring>

#include "resources/resource.h"
#include "shell/launch.h"
#include "shell/shared_state.h"
#include "shell/win_util.h"
#include "songlist/home.h"
#include "store/index.h"
#include "store/new_library.h"
#include "store/record.h"
#include "store/rewrite.h"

INT_PTR CALLBACK song_list_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK viewer_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK editor_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

static HWND main_hwnd() { return as_hwnd(state.main_window); }

// A second home screen (message 997) opens on top of the first; once it closes,
// the status text and the refills after a save go to the first one again.
void open_song_list_dialog()
{
    UiWindow previous = state.list_dialog;
    DialogBoxParamA((HINSTANCE)state.app_instance, "LOG", main_hwnd(), song_list_dialog_proc, 0);
    if (previous && IsWindow(as_hwnd(previous)))
        state.list_dialog = previous;
}

void open_viewer_dialog()
{
    DialogBoxParamA((HINSTANCE)state.app_instance, "SONGVIEWER", main_hwnd(), viewer_dialog_proc, 0);
}

// Each editor gets a session of its own, made from the request that opened it
// and kept with its window: what it saves depends on nothing else.
void open_editor_dialog()
{
    EditSession session;
    edit_session_start(&session, state.current_title, state.new_song_mode);
    DialogBoxParamA((HINSTANCE)state.app_instance, "BOOK", main_hwnd(), editor_dialog_proc, (LPARAM)&session);
}

void request_viewer(const char* title)
{
    copy_bounded(state.current_title, sizeof state.current_title, title);
    PostMessageA(main_hwnd(), WM_COMMAND, CMD_OPEN_VIEWER, 0);
}

void request_editor(const char* title)
{
    copy_bounded(state.current_title, sizeof state.current_title, title);
    PostMessageA(main_hwnd(), WM_COMMAND, CMD_OPEN_EDITOR, 0);
}

static void show_timer_error(HWND window)
{
    MessageBoxA(window,
                "Unable to Start Gauge Timer\r"
                "Too many Windows applications are using systems timers\r"
                "This Software requires a Minimum of one timer (#3) in\r"
                "order to handle Remote Control Access.\r"
                "\r"
                "Please Exit this application, then close some other\r"
                "Applications and try again.",
                "CRITICAL ERROR", MB_OK | MB_TASKMODAL);
}

static void on_create(HWND window)
{
    state.main_window = window;
    PostMessageA(window, WM_COMMAND, IDM_SONGLIST, 0);
    // intended: the timer does nothing yet, but a program without it is told so at start
    state.timer_id = SetTimer(window, MAIN_TIMER, 50, nullptr);
    if (state.timer_id == 0)
        show_timer_error(window);
    NewLibraryResult result = ensure_library(LIBRARY_FILE);
    if (result == LIBRARY_UNREADABLE || result == LIBRARY_NOT_CREATED)
        MessageBoxA(window, new_library_message(result), "SONG LIBRARY", MB_OK | MB_ICONEXCLAMATION);
}

// Shows the current folder and moves from a drive J: to c:\vordamusic (intended:
// installations that ran from that drive keep finding their library).
static void show_folder(HWND window)
{
    char folder[256];
    DWORD len = GetCurrentDirectoryA(sizeof folder, folder);
    if (len == 0 || len >= sizeof folder) {
        // a longer path does not fit: show its beginning and end
        char longer[32768];
        DWORD full = GetCurrentDirectoryA(sizeof longer, longer);
        if (full == 0 || full >= sizeof longer)
            copy_bounded(folder, sizeof folder, "(the folder name is too long to show)");
        else
            snprintf(folder, sizeof folder, "%.120s...%s", longer, longer + full - 120);
    }
    MessageBoxA(window, folder, "FOLDER LOCATION", MB_OK);
    if (strncmp(folder, "j:", 2) == 0) {
        _chdrive(3);
        SetCurrentDirectoryA("c:\\vordamusic");
    }
    if (strncmp(folder, "J:", 2) == 0) {
        _chdrive(3);
        SetCurrentDirectoryA("c:\\vordamusic");
    }
}

static void show_about(HWND window)
{
    MessageBoxA(window,
                "Cantoria song book\r"
                "Version 1.01\r"   // intended: the About box keeps the version users know
                "Free to use and to copy for your congregation, without warranty.\r"
                "Back up your song library SONGBOOK.CNR now and then:\r"
                "every save keeps the previous library as OLDBOOK.CNR.\r",
                "ABOUT Cantoria", MB_OK);
}

static void on_command(HWND window, WPARAM command)
{
    switch (command) {
    case CMD_OPEN_VIEWER: open_viewer_dialog(); break;
    case CMD_OPEN_SONG_LIST: open_song_list_dialog(); break;
    case CMD_OPEN_EDITOR: open_editor_dialog(); break;
    case IDM_SONGLIST: PostMessageA(main_hwnd(), WM_COMMAND, CMD_OPEN_SONG_LIST, 0); break;
    case IDM_QUIT:
        if (editors_agree_to_exit())
            DestroyWindow(window);
        break;
    case IDM_FOLDER: show_folder(window); break;
    case IDM_ABOUT: show_about(window); break;
    default: break;   // "Version 1.1", "&Setup" and the rest do nothing
    }
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_CREATE:
        on_create(window);
        return 0;
    case WM_COMMAND:
        on_command(window, wparam);
        return 0;
    case WM_TIMER:
        return 0;
    case WM_CLOSE:
        // the close box ends the program only once every changed editor agreed
        if (editors_agree_to_exit())
            DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, state.timer_id);
        PostQuitMessage(0);
        return 0;
    case MSG_OPEN_EDITOR:
        open_editor_dialog();
        return 0;
    case MSG_OPEN_SONG_LIST:
        open_song_list_dialog();
        return 0;
    case MSG_OPEN_VIEWER:
        open_viewer_dialog();
        return 0;
    default:
        return DefWindowProcA(window, message, wparam, lparam);
    }
}

static void register_main_class(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "lookup_song");
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BACKGROUND + 1);
    wc.lpszMenuName = "MAINMENU";
    wc.lpszClassName = "MainClass";
    RegisterClassA(&wc);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    state.app_instance = instance;
    if (!previous)
        register_main_class(instance);
    HWND window = CreateWindowExA(0, "MainClass", "VORDA MUSIC Book", WS_OVERLAPPEDWINDOW,
                                  1, 1, 1023, 767, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg = {};
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
