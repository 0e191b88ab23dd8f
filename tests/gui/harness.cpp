// The GUI test harness: starts cantoria.exe in a fresh folder and drives it as a user would.
#include "tests/gui/harness.h"

#include <cstdio>
#include <cstring>

#include "resources/resource.h"

const char* program_path = "cantoria.exe";

// ---- registration and checks ------------------------------------------------
std::vector<GuiTestCase>& gui_tests()
{
    static std::vector<GuiTestCase> cases;
    return cases;
}

int register_gui_test(const char* suite, const char* name, GuiTestFn fn)
{
    gui_tests().push_back({suite, name, fn});
    return 0;
}

static bool failed_now = false;

void check_failed(const char* file, int line, const std::string& what)
{
    failed_now = true;
    printf("    %s:%d: %s\n", file, line, what.c_str());
    fflush(stdout);
}

bool current_test_failed()
{
    bool was = failed_now;
    failed_now = false;
    return was;
}

std::string printable(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c < 32 || c >= 127) { char hex[8]; snprintf(hex, sizeof hex, "\\x%02X", c); out += hex; }
        else out += (char)c;
    }
    return out;
}

void sleep_ms(DWORD ms) { Sleep(ms); }

// ---- the program -------------------------------------------------------------
std::string make_temp_dir()
{
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%scantoria-gui-%lu-%d", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(dir, nullptr))
            return dir;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return "";
    }
}

bool app_start(App& app, const std::string& dir, const char* exe)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char command[MAX_PATH * 2];
    snprintf(command, sizeof command, "\"%s\"", exe ? exe : program_path);
    app.dir = dir;
    app.running = false;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &app.pi))
        return false;
    app.pid = app.pi.dwProcessId;
    app.running = true;
    return true;
}

int app_wait_exit(App& app, DWORD timeout_ms)
{
    if (!app.running)
        return -1;
    if (WaitForSingleObject(app.pi.hProcess, timeout_ms) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(app.pi.hProcess, &code);
    CloseHandle(app.pi.hProcess);
    CloseHandle(app.pi.hThread);
    app.running = false;
    return (int)code;
}

void app_stop(App& app)
{
    if (!app.running)
        return;
    if (WaitForSingleObject(app.pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(app.pi.hProcess, 99);
    app_wait_exit(app, 5000);
}

HWND app_start_home(App& app, const std::string* library)
{
    std::string dir = make_temp_dir();
    if (dir.empty())
        return nullptr;
    if (library)
        write_file(dir + "\\songbook.cnr", *library);
    if (!app_start(app, dir))
        return nullptr;
    HWND home = wait_top_window(app.pid, "#32770", "List of Songs Available");
    if (!home)
        return nullptr;
    // the title box is filled by the command the dialog posts to itself
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 5000 &&
           SendMessageA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0) <= 0 &&
           library == nullptr)
        Sleep(20);
    Sleep(100);
    return home;
}

// ---- finding windows ------------------------------------------------------------
struct FindData {
    DWORD pid;
    const char* class_name;
    const char* caption;
    int child_id;
    HWND except;
    HWND found;
    std::vector<HWND>* all;
};

static BOOL CALLBACK find_proc(HWND window, LPARAM param)
{
    FindData* data = (FindData*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != data->pid || !IsWindowVisible(window) || window == data->except)
        return TRUE;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (data->all) {
        if (strcmp(cls, "#32770") == 0)
            data->all->push_back(window);
        return TRUE;
    }
    if (data->class_name && strcmp(cls, data->class_name) != 0)
        return TRUE;
    if (data->caption && window_text(window) != data->caption)
        return TRUE;
    if (data->child_id && !GetDlgItem(window, data->child_id))
        return TRUE;
    data->found = window;
    return FALSE;
}

HWND find_top_window(DWORD pid, const char* class_name, const char* caption)
{
    FindData data = {pid, class_name, caption, 0, nullptr, nullptr, nullptr};
    EnumWindows(find_proc, (LPARAM)&data);
    return data.found;
}

HWND wait_top_window(DWORD pid, const char* class_name, const char* caption, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        HWND found = find_top_window(pid, class_name, caption);
        if (found)
            return found;
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return nullptr;
}

HWND find_dialog_with_child(DWORD pid, int child_id, HWND except)
{
    FindData data = {pid, "#32770", nullptr, child_id, except, nullptr, nullptr};
    EnumWindows(find_proc, (LPARAM)&data);
    return data.found;
}

HWND wait_dialog_with_child(DWORD pid, int child_id, DWORD timeout_ms, HWND except)
{
    DWORD start = GetTickCount();
    do {
        HWND found = find_dialog_with_child(pid, child_id, except);
        if (found)
            return found;
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return nullptr;
}

bool wait_window_gone(HWND window, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        if (!IsWindow(window) || !IsWindowVisible(window))
            return true;
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return false;
}

std::vector<HWND> dialogs_of(DWORD pid)
{
    std::vector<HWND> all;
    FindData data = {pid, nullptr, nullptr, 0, nullptr, nullptr, &all};
    EnumWindows(find_proc, (LPARAM)&data);
    return all;
}

// ---- controls ---------------------------------------------------------------------
void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Texts are read in their wide form and converted: the ANSI forms come back
// wrong across processes under Wine.
static std::string from_wide(const wchar_t* text)
{
    char out[65536];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out, n - 1) : std::string();
}

std::string window_text(HWND window)
{
    static wchar_t text[65536];
    text[0] = 0;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 65536, (LPARAM)text, SMTO_ABORTIFHUNG, 3000, &result))
        return "";
    text[65535] = 0;
    return from_wide(text);
}

std::string item_text(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? window_text(item) : "<no control>";
}

void set_item_text_to(HWND dialog, int id, const std::string& text)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 3000,
                        &result);
}

static std::vector<std::string> box_items(HWND box, UINT count_msg, UINT len_msg, UINT text_msg)
{
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(box, count_msg, 0, 0, SMTO_ABORTIFHUNG, 3000, &count))
        return items;
    static wchar_t text[4096];
    for (int i = 0; i < (int)(LONG_PTR)count; i++) {
        DWORD_PTR len = 0;
        SendMessageTimeoutW(box, len_msg, i, 0, SMTO_ABORTIFHUNG, 3000, &len);
        if ((LONG_PTR)len < 0 || len >= 4096) {
            items.push_back("<too long>");
            continue;
        }
        DWORD_PTR got = 0;
        text[0] = 0;
        SendMessageTimeoutW(box, text_msg, i, (LPARAM)text, SMTO_ABORTIFHUNG, 3000, &got);
        text[len] = 0;
        items.push_back(from_wide(text));
    }
    return items;
}

std::vector<std::string> combo_items(HWND combo)
{
    return box_items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::vector<std::string> list_items(HWND list)
{
    return box_items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string wait_item_text(HWND dialog, int id, const std::string& want, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    std::string text;
    do {
        text = item_text(dialog, id);
        if (text == want)
            return text;
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return text;
}

// ---- message boxes --------------------------------------------------------------
bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        HWND box = find_top_window(pid, "#32770", caption);
        if (box && GetDlgItem(box, 0xFFFF)) {
            if (text)
                *text = item_text(box, 0xFFFF);
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
            wait_window_gone(box, 5000);
            return true;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return false;
}

// ---- files -------------------------------------------------------------------------
std::string read_file(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    fclose(f);
    return bytes;
}

bool write_file(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool file_exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string path_in(const App& app, const char* name)
{
    return app.dir + "\\" + name;
}

bool wait_file_bytes(const std::string& path, const std::string& want, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        if (read_file(path) == want)
            return true;
        Sleep(30);
    } while (GetTickCount() - start < timeout_ms);
    return false;
}

// ---- what is painted ----------------------------------------------------------------
COLORREF Capture::at(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return CLR_INVALID;
    return pixels[(size_t)y * width + x];
}

bool capture_screen(int left, int top, int w, int h, Capture& shot)
{
    shot = Capture();
    if (w <= 0 || h <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;   // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ kept = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, w, h, screen, left, top, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, kept);
        if (ok) {
            const unsigned char* p = (const unsigned char*)bits;   // B, G, R, unused
            shot.width = w;
            shot.height = h;
            shot.pixels.resize((size_t)w * h);
            for (size_t i = 0; i < shot.pixels.size(); i++)
                shot.pixels[i] = RGB(p[i * 4 + 2], p[i * 4 + 1], p[i * 4]);
        }
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool capture_client(HWND window, Capture& shot)
{
    RECT client;
    if (!GetClientRect(window, &client))
        return false;
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return capture_screen(origin.x, origin.y, client.right, client.bottom, shot);
}

bool capture_window(HWND window, Capture& shot)
{
    RECT frame;
    if (!GetWindowRect(window, &frame))
        return false;
    return capture_screen(frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, shot);
}

Capture capture_settled(HWND window, DWORD timeout_ms)
{
    Capture last, now;
    DWORD start = GetTickCount();
    Sleep(60);
    capture_client(window, last);
    while (GetTickCount() - start < timeout_ms) {
        Sleep(60);
        bool pending = GetUpdateRect(window, nullptr, FALSE) != 0;
        capture_client(window, now);
        if (!pending && !now.empty() && now.pixels == last.pixels && now.width == last.width)
            return now;
        last = now;
    }
    return now;
}

bool save_capture_bmp(const Capture& shot, const std::string& path)
{
    if (shot.empty())
        return false;
    int stride = (shot.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + (DWORD)stride * shot.height;
    info.biSize = sizeof info;
    info.biWidth = shot.width;
    info.biHeight = -shot.height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes((const char*)&file, sizeof file);
    bytes.append((const char*)&info, sizeof info);
    std::string row((size_t)stride, '\0');
    for (int y = 0; y < shot.height; y++) {
        for (int x = 0; x < shot.width; x++) {
            COLORREF c = shot.at(x, y);
            row[x * 3] = (char)GetBValue(c);
            row[x * 3 + 1] = (char)GetGValue(c);
            row[x * 3 + 2] = (char)GetRValue(c);
        }
        bytes += row;
    }
    return write_file(path, bytes);
}

// ---- the print dialog -----------------------------------------------------------------
PrintDialogResult press_print_dialog(DWORD pid, bool ok, std::string* printer, DWORD timeout_ms)
{
    enum { PRINTER_COMBO = 0x0473 };   // cmb4 of <dlgs.h>
    DWORD start = GetTickCount();
    do {
        HWND dialog = find_top_window(pid, "#32770", "Print");
        if (dialog) {
            HWND combo = GetDlgItem(dialog, PRINTER_COMBO);
            if (!combo) {
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
                return PRINT_DIALOG_NO_PRINTER;
            }
            // the dialog fills its controls in WM_INITDIALOG; let it finish
            Sleep(200);
            if (printer)
                *printer = window_text(combo);
            int id = ok ? IDOK : IDCANCEL;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
            wait_window_gone(dialog, 5000);
            return PRINT_DIALOG_PRESSED;
        }
        Sleep(20);
    } while (GetTickCount() - start < timeout_ms);
    return PRINT_DIALOG_TIMEOUT;
}

// ---- the Unix side of Wine ------------------------------------------------------------
bool run_unix_shell(const std::string& command)
{
    std::string line = "/bin/sh -c \"" + command + "\"";
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back(0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, buf.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    if (pi.hProcess)
        CloseHandle(pi.hProcess);
    if (pi.hThread)
        CloseHandle(pi.hThread);
    return true;
}

std::string wait_file(const std::string& path, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    do {
        if (file_exists(path))
            return read_file(path);
        Sleep(30);
    } while (GetTickCount() - start < timeout_ms);
    return "<missing>";
}

// ---- the viewer -------------------------------------------------------------------------
HWND review_song(App& app, HWND home, const std::string& title)
{
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_REVIEW);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_MAGNIFY_UP);
    if (!viewer)
        return nullptr;
    // the title box is written by the command the viewer posts to itself
    DWORD start = GetTickCount();
    while (item_text(viewer, IDC_VIEWER_TITLE) == "title" && GetTickCount() - start < 5000)
        Sleep(20);
    return viewer;
}

void choose_song(HWND home, const std::string& title)
{
    HWND songs = GetDlgItem(home, IDC_LIST_SONGS);
    size_t before = list_items(songs).size();
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_CHOOSE);
    DWORD start = GetTickCount();
    while (list_items(songs).size() == before && GetTickCount() - start < 5000)
        Sleep(10);
}

bool load_song_list(const App& app, HWND home, const std::vector<std::pair<std::string, int>>& list)
{
    std::string file = ";SONG LIST FILE\r\n";
    for (size_t i = 0; i < list.size(); i++) {
        char lines[200];
        snprintf(lines, sizeof lines, "SONG%02d=%s\r\nKEYCHANGE%02d=%d\r\n", (int)i + 1, list[i].first.c_str(),
                 (int)i + 1, list[i].second);
        file += lines;
    }
    write_file(path_in(app, "songlist.txt"), file + ";END");
    click(home, IDC_LIST_LOAD);
    HWND songs = GetDlgItem(home, IDC_LIST_SONGS);
    DWORD start = GetTickCount();
    while (list_items(songs).size() != list.size() && GetTickCount() - start < 5000)
        Sleep(20);
    return list_items(songs).size() == list.size();
}
