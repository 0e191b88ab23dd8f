// The GUI test harness: starts cantoria.exe in a fresh folder and drives it as a user would.
#include "tests/gui/harness.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

#include "resources/resource.h"

const char* program_path = "cantoria.exe";

// ---- tests and checks ----------------------------------------------------------
struct GuiTestCase {
    std::string suite, name;
    std::function<void()> run;
};
static std::vector<GuiTestCase>& gui_tests()
{
    static std::vector<GuiTestCase> cases;
    return cases;
}

void add_gui_case(const char* suite, const std::string& name, const std::function<void()>& run)
{
    gui_tests().push_back({suite, name, run});
}

int register_gui_test(const char* suite, const char* name, GuiTestFn fn)
{
    add_gui_case(suite, name, fn);
    return 0;
}

static bool failed_now = false;

void check_failed(const char* file, int line, const std::string& what)
{
    failed_now = true;
    printf("    %s:%d: %s\n", file, line, what.c_str());
    fflush(stdout);
}

std::string printable(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        snprintf(hex, sizeof hex, c == '\r' ? "\\r" : c == '\n' ? "\\n" : c < 32 || c >= 127 ? "\\x%02X" : "%c", c);
        out += hex;
    }
    return out;
}

// The journeys of tests/gui/journeys/SUITE.txt, each as a test (journeys.cpp).
void register_journeys(const char* suite);

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: gui_tests SUITE CANTORIA_EXE\n");
        return 2;
    }
    program_path = argv[2];
    register_journeys(argv[1]);
    int passed = 0, failed = 0;
    for (const GuiTestCase& test : gui_tests()) {
        if (test.suite != argv[1])
            continue;
        printf("[ RUN  ] %s.%s\n", test.suite.c_str(), test.name.c_str());
        fflush(stdout);
        DWORD start = GetTickCount();
        test.run();
        printf("[ %s ] %s.%s (%lu ms)\n", failed_now ? "FAIL" : " OK ", test.suite.c_str(), test.name.c_str(),
               (unsigned long)(GetTickCount() - start));
        fflush(stdout);
        failed_now ? failed++ : passed++;
        failed_now = false;
    }
    printf(passed + failed ? "%d passed, %d failed\n" : "no test in this suite\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start >= timeout_ms)
            return false;
        Sleep(20);
    }
}

void sleep_ms(DWORD ms) { Sleep(ms); }

// ---- the program -------------------------------------------------------------
std::string make_temp_dir()
{
    static int counter = 0;
    char base[MAX_PATH], dir[MAX_PATH];
    GetTempPathA(sizeof base, base);
    do
        snprintf(dir, sizeof dir, "%scantoria-gui-%lu-%d", base, GetCurrentProcessId(), ++counter);
    while (!CreateDirectoryA(dir, nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return dir;
}

bool app_start(App& app, const std::string& dir, const char* exe)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    char command[MAX_PATH * 2];
    snprintf(command, sizeof command, "\"%s\"", exe ? exe : program_path);
    app.dir = dir;
    app.running = CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &app.pi);
    app.pid = app.pi.dwProcessId;
    return app.running;
}

int app_wait_exit(App& app, DWORD timeout_ms)
{
    DWORD code = 0;
    if (!app.running || WaitForSingleObject(app.pi.hProcess, timeout_ms) != WAIT_OBJECT_0)
        return -1;
    GetExitCodeProcess(app.pi.hProcess, &code);
    CloseHandle(app.pi.hProcess);
    CloseHandle(app.pi.hThread);
    app.running = false;
    return (int)code;
}

void app_stop(App& app)
{
    if (app.running && WaitForSingleObject(app.pi.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(app.pi.hProcess, 99);
    app_wait_exit(app, 5000);
}

HWND app_start_home(App& app, const std::string* library)
{
    std::string dir = make_temp_dir();
    if (library)
        write_file(dir + "\\songbook.cnr", *library);
    if (!app_start(app, dir))
        return nullptr;
    HWND home = wait_top_window(app.pid, "#32770", "List of Songs Available");
    // the title box is filled by the command the dialog posts to itself
    if (home && !library)
        wait_until([&] { return SendMessageA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0) > 0; }, 5000);
    Sleep(100);
    return home;
}

// ---- finding windows ------------------------------------------------------------
// Every visible top-level window of the process whose class and caption match (null: any).
struct WindowSearch {
    DWORD pid;
    const char* class_name;
    const char* caption;
    std::vector<HWND> found;
};

static BOOL CALLBACK search_window(HWND window, LPARAM param)
{
    WindowSearch* s = (WindowSearch*)param;
    DWORD pid = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(window, &pid);
    GetClassNameA(window, cls, sizeof cls);
    if (pid == s->pid && IsWindowVisible(window) && (!s->class_name || strcmp(cls, s->class_name) == 0) &&
        (!s->caption || window_text(window) == s->caption))
        s->found.push_back(window);
    return TRUE;
}

static std::vector<HWND> windows_of(DWORD pid, const char* class_name, const char* caption)
{
    WindowSearch search = {pid, class_name, caption, {}};
    EnumWindows(search_window, (LPARAM)&search);
    return search.found;
}

HWND find_top_window(DWORD pid, const char* class_name, const char* caption)
{
    std::vector<HWND> found = windows_of(pid, class_name, caption);
    return found.empty() ? nullptr : found[0];
}

HWND wait_top_window(DWORD pid, const char* class_name, const char* caption, DWORD timeout_ms)
{
    HWND found = nullptr;
    wait_until([&] { return (found = find_top_window(pid, class_name, caption)) != nullptr; }, timeout_ms);
    return found;
}

HWND wait_dialog_with_child(DWORD pid, int child_id, DWORD timeout_ms, HWND except)
{
    HWND found = nullptr;
    wait_until([&] {
        for (HWND dialog : dialogs_of(pid))
            if (dialog != except && GetDlgItem(dialog, child_id))
                return (found = dialog) != nullptr;
        return false;
    }, timeout_ms);
    return found;
}

bool wait_window_gone(HWND window, DWORD timeout_ms)
{
    return wait_until([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout_ms);
}

std::vector<HWND> dialogs_of(DWORD pid) { return windows_of(pid, "#32770", nullptr); }

// ---- controls ---------------------------------------------------------------------
void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Texts are read in their wide form and converted: the ANSI forms come back
// wrong across processes under Wine.
static std::string from_wide(const wchar_t* text)
{
    static char out[65536];
    int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out, n - 1) : std::string();
}

std::string window_text(HWND window)
{
    static wchar_t text[65536];
    DWORD_PTR result = 0;
    text[0] = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, 65536, (LPARAM)text, SMTO_ABORTIFHUNG, 3000, &result))
        return "";
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
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 3000, &result);
}

static std::vector<std::string> box_items(HWND box, UINT count_msg, UINT len_msg, UINT text_msg)
{
    std::vector<std::string> items;
    DWORD_PTR count = 0, len = 0, got = 0;
    static wchar_t text[4096];
    SendMessageTimeoutW(box, count_msg, 0, 0, SMTO_ABORTIFHUNG, 3000, &count);
    for (int i = 0; i < (int)(LONG_PTR)count; i++) {
        SendMessageTimeoutW(box, len_msg, i, 0, SMTO_ABORTIFHUNG, 3000, &len);
        text[0] = 0;
        if ((LONG_PTR)len >= 0 && len < 4096)
            SendMessageTimeoutW(box, text_msg, i, (LPARAM)text, SMTO_ABORTIFHUNG, 3000, &got);
        text[len < 4096 ? len : 0] = 0;
        items.push_back(len < 4096 ? from_wide(text) : "<too long>");
    }
    return items;
}

std::vector<std::string> combo_items(HWND combo) { return box_items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT); }
std::vector<std::string> list_items(HWND list) { return box_items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT); }

std::string wait_item_text(HWND dialog, int id, const std::string& want, DWORD timeout_ms)
{
    std::string text;
    wait_until([&] { return (text = item_text(dialog, id)) == want; }, timeout_ms);
    return text;
}

bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms)
{
    HWND box = nullptr;
    if (!wait_until([&] { return (box = find_top_window(pid, "#32770", caption)) && GetDlgItem(box, 0xFFFF); },
                    timeout_ms))
        return false;
    if (text)
        *text = item_text(box, 0xFFFF);
    click(box, IDOK);
    wait_window_gone(box, 5000);
    return true;
}

HWND review_song(App& app, HWND home, const std::string& title)
{
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_REVIEW);
    HWND viewer = wait_dialog_with_child(app.pid, IDC_VIEWER_MAGNIFY_UP);
    // the title box is written by the command the viewer posts to itself
    if (viewer)
        wait_until([&] { return item_text(viewer, IDC_VIEWER_TITLE) != "title"; }, 5000);
    return viewer;
}

void choose_song(HWND home, const std::string& title)
{
    HWND songs = GetDlgItem(home, IDC_LIST_SONGS);
    size_t before = list_items(songs).size();
    set_item_text_to(home, IDC_LIST_TITLES, title);
    click(home, IDC_LIST_CHOOSE);
    wait_until([&] { return list_items(songs).size() != before; }, 5000);
}

// The viewer paints row i at y 20 + 14 i in cells 11 pixels wide from x 3 (at the
// first magnification); the buttons on its right start at x 855. The row at the
// top is told by how far right the pixels at its middle differ from the dialog's
// own colour, taken at the bottom right where no song line reaches.
int top_row_length(HWND viewer)
{
    RECT client;
    POINT origin = {0, 0};
    GetClientRect(viewer, &client);
    ClientToScreen(viewer, &origin);
    HDC screen = GetDC(nullptr);
    COLORREF background = GetPixel(screen, origin.x + client.right - 4, origin.y + client.bottom - 4);
    int right = 0;
    for (int x = 840; x > 3 && !right; x--)
        right = GetPixel(screen, origin.x + x, origin.y + 27) != background ? x + 1 : 0;
    ReleaseDC(nullptr, screen);
    return right ? (right - 3 + 5) / 11 : 0;
}

// ---- files -------------------------------------------------------------------------
std::string read_file(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string bytes;
    char buf[65536];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
        bytes.append(buf, n);
    fclose(f);
    return bytes;
}

bool write_file(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && fclose(f) == 0 && ok;
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
std::string path_in(const App& app, const char* name) { return app.dir + "\\" + name; }

bool wait_file_bytes(const std::string& path, const std::string& want, DWORD timeout_ms)
{
    return wait_until([&] { return read_file(path) == want; }, timeout_ms);
}

std::string wait_file(const std::string& path, DWORD timeout_ms)
{
    return wait_until([&] { return file_exists(path); }, timeout_ms) ? read_file(path) : "<missing>";
}

// ---- printing --------------------------------------------------------------------------
PrintDialogResult press_print_dialog(DWORD pid, bool ok, std::string* printer, DWORD timeout_ms)
{
    HWND dialog = wait_top_window(pid, "#32770", "Print", timeout_ms);
    HWND combo = dialog ? GetDlgItem(dialog, 0x0473) : nullptr;   // cmb4 of <dlgs.h>
    if (dialog && !combo)
        click(dialog, IDOK);
    if (!combo)
        return dialog ? PRINT_DIALOG_NO_PRINTER : PRINT_DIALOG_TIMEOUT;
    Sleep(200);   // the dialog fills its controls in WM_INITDIALOG; let it finish
    if (printer)
        *printer = window_text(combo);
    click(dialog, ok ? IDOK : IDCANCEL);
    wait_window_gone(dialog, 5000);
    return PRINT_DIALOG_PRESSED;
}

// cups-pdf's folder, named after the document with blanks as underscores; Wine
// sees the Unix root as drive Z:.
static std::string pdf_unix(const std::string& document)
{
    std::string name = document;
    for (char& c : name)
        c = c == ' ' ? '_' : c;
    return "/var/spool/cups-pdf/out/" + name + ".pdf";
}

static std::string wine_path(std::string unix_path)
{
    for (char& c : unix_path)
        c = c == '/' ? '\\' : c;
    return "Z:" + unix_path;
}

bool forget_printout(const std::string& document) { return DeleteFileA(wine_path(pdf_unix(document)).c_str()); }

static double attribute(const std::string& tag, const char* name)
{
    size_t at = tag.find(std::string(name) + "=\"");
    return at == std::string::npos ? -1 : atof(tag.c_str() + at + strlen(name) + 2);
}

// The words of `pdftotext -bbox` output, then the rows: a word starts at the column
// its left edge gives on the grid of the narrowest cell of a word of 4 or more letters.
static void parse_printout(const std::string& html, Printout& out)
{
    for (size_t pos = 0, end; (pos = html.find('<', pos)) != std::string::npos; pos = end + 1) {
        if ((end = html.find('>', pos)) == std::string::npos)
            break;
        std::string tag = html.substr(pos, end - pos + 1);
        out.pages += tag.rfind("<page ", 0) == 0;
        if (tag.rfind("<word ", 0) == 0)
            out.words.push_back({out.pages, attribute(tag, "xMin"), attribute(tag, "xMax"), attribute(tag, "yMin"),
                                 html.substr(end + 1, html.find("</word>", end) - end - 1)});
    }
    double left = 1e9, cell = 1e9;
    for (const PrintedWord& w : out.words) {
        left = std::min(left, w.x);
        if (w.text.size() >= 4)
            cell = std::min(cell, (w.x_end - w.x) / w.text.size());
    }
    // pdftotext may give a page's words column by column: put them in rows
    std::vector<PrintedWord> words = out.words;
    std::stable_sort(words.begin(), words.end(), [](const PrintedWord& p, const PrintedWord& q) {
        return p.page != q.page ? p.page < q.page : std::fabs(p.y - q.y) > 0.5 ? p.y < q.y : p.x < q.x;
    });
    for (const PrintedWord& w : words) {
        if (out.rows.empty() || out.rows.back().page != w.page || std::fabs(out.rows.back().y - w.y) > 0.5)
            out.rows.push_back({w.page, w.y, ""});
        std::string& text = out.rows.back().text;
        size_t column = (size_t)std::lround((w.x - left) / cell);
        text += text.size() < column ? std::string(column - text.size(), ' ') : text.empty() ? "" : " ";
        text += w.text;
    }
}

// Waits for the PDF, lets cups finish the job, then reads it with pdftotext on the
// Unix side (the command leaves a ".done" file when its output is complete).
Printout read_printout(const std::string& document)
{
    Printout out;
    std::string pdf = pdf_unix(document), base = "/tmp/cantoria-print-" + std::to_string(GetTickCount());
    if (wait_file(wine_path(pdf), 15000) == "<missing>" ||
        !run_unix_shell("for i in $(seq 100); do [ -z \\\"$(lpstat -o)\\\" ] && break; sleep 0.1; done; "
                        "pdftotext -bbox " + pdf + " " + base + ".html; touch " + base + ".done") ||
        wait_file(wine_path(base + ".done"), 15000) == "<missing>")
        return out;
    out.found = true;
    parse_printout(read_file(wine_path(base + ".html")), out);
    for (const std::string& file : {base + ".html", base + ".done", pdf})
        DeleteFileA(wine_path(file).c_str());
    return out;
}

bool run_unix_shell(const std::string& command)
{
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return true;
}
