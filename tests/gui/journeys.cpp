// The GUI tests: the runner, the harness of tests/gui/harness.h and the steps of the user journeys
// (tests/gui/journeys/SUITE.txt, in the format of tests/support/case_file.h). Controls are named as
// in resources/resource.h: IDC_LIST_* those of the home screen, others those of the window a step
// last waited for. "<folder>" stands for the program's folder.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <tuple>

#include "resources/resource.h"
#include "tests/gui/harness.h"
#include "tests/support/case_file.h"

const char* program_path = "cantoria.exe";
static int gui_failures = 0;

struct GuiCase { std::string suite, name; std::function<void()> run; };
static std::vector<GuiCase>& gui_cases()   // filled while the program starts
{
    static std::vector<GuiCase> cases;
    return cases;
}

void add_gui_case(const char* suite, const std::string& name, const std::function<void()>& run)
{
    gui_cases().push_back({suite, name, run});
}

void check_failed(const char* file, int line, const std::string& what)
{
    gui_failures++;
    printf("    %s:%d: %s\n", file, line, what.c_str());
}

static std::string printable(const std::string& bytes)
{
    std::string out;
    char hex[8];
    for (unsigned char c : bytes)
        out += (snprintf(hex, sizeof hex, c == '\r' ? "\\r" : c == '\n' ? "\\n" : c < 32 || c >= 127 ? "\\x%02X" : "%c", c), hex);
    return out;
}

void check_soon(const char* file, int line, const char* what, const std::function<std::string()>& read,
                const std::string& want, DWORD timeout_ms)
{
    std::string got;
    if (!wait_until([&] { return (got = read()) == want; }, timeout_ms))
        check_failed(file, line, std::string(what) + "\n    got:      [" + printable(got) + "]\n    expected: [" +
                                     printable(want) + "]");
}

static std::string window_text(HWND window);

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start >= timeout_ms)
            return false;
    return true;
}

std::string make_temp_dir()
{
    char base[MAX_PATH], dir[MAX_PATH];
    GetTempPathA(sizeof base, base);
    GetTempFileNameA(base, "cantoria", 0, dir);   // a new empty file, whose name becomes the folder's
    return DeleteFileA(dir) && CreateDirectoryA(dir, nullptr) ? dir : "<no folder>";
}

bool app_start(App& app, const std::string& dir, std::string command)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    command = command.empty() ? std::string("\"") + program_path + "\"" : command;
    app.dir = dir;
    app.running = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &app.pi);
    app.pid = app.pi.dwProcessId;
    return app.running;
}

int app_stop(App& app, DWORD wait_ms)
{
    DWORD code = (DWORD)-1;
    if (app.running && WaitForSingleObject(app.pi.hProcess, wait_ms) != WAIT_OBJECT_0)
        TerminateProcess(app.pi.hProcess, (UINT)-1);
    if (app.running && WaitForSingleObject(app.pi.hProcess, 5000) == WAIT_OBJECT_0)
        GetExitCodeProcess(app.pi.hProcess, &code);
    if (app.running)
        CloseHandle(app.pi.hProcess), CloseHandle(app.pi.hThread);
    app.running = false;
    return (int)code;
}

// Starts the program in a fresh folder (with a library) and waits for the home screen's titles.
static HWND app_start_home(App& app, const std::string* library)
{
    std::string dir = make_temp_dir();
    if ((library && !write_file(dir + "\\songbook.cnr", *library)) || !app_start(app, dir))
        return nullptr;
    HWND home = wait_dialog(app.pid, "List of Songs Available");
    // the title box is filled by the command the dialog posts to itself
    wait_until([&] { return library || SendMessageA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0) > 0; });
    Sleep(100);
    return home;
}

static std::vector<HWND> windows_of(DWORD pid, const char* class_name = "#32770")   // the visible top-level ones
{
    std::vector<HWND> found;
    DWORD owner = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, class_name, nullptr)) != nullptr;)
        if (GetWindowThreadProcessId(w, &owner) && owner == pid && IsWindowVisible(w))
            found.push_back(w);
    return found;
}

HWND wait_dialog(DWORD pid, const char* caption, int child, DWORD timeout_ms, const std::function<bool(HWND)>& skip)
{
    HWND found = nullptr;
    wait_until([&] {
        for (HWND d : windows_of(pid))
            if ((!caption || window_text(d).rfind(caption, 0) == 0) && (!child || GetDlgItem(d, child)) &&
                !(skip && skip(d)))
                return (found = d) != nullptr;
        return false;
    }, timeout_ms);
    return found;
}

bool wait_window_gone(HWND window, DWORD timeout_ms)
{
    return wait_until([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeout_ms);
}

void click(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

// Texts are read in their wide form: the ANSI forms come back wrong across processes under Wine.
static wchar_t wide[65536];

static std::string from_wide()
{
    static char out[65536];
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out, n - 1) : std::string();
}

static std::string window_text(HWND window)
{
    wide[0] = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 65536, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000, nullptr);
    return from_wide();
}

std::string item_text(HWND dialog, int id) { return GetDlgItem(dialog, id) ? window_text(GetDlgItem(dialog, id)) : "<no control>"; }

void set_item_text_to(HWND dialog, int id, const std::string& text)
{
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 3000, nullptr);
}

std::vector<std::string> items_of(HWND box)
{
    char cls[16] = "";
    bool list = GetClassNameA(box, cls, sizeof cls) && lstrcmpiA(cls, "ListBox") == 0;
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    SendMessageTimeoutW(box, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &count);
    for (int i = 0; i < (int)(LONG_PTR)count; i++) {
        wide[0] = 0;   // an item is a title or a row, far shorter than the buffer
        SendMessageTimeoutW(box, list ? LB_GETTEXT : CB_GETLBTEXT, i, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000, nullptr);
        items.push_back(from_wide());
    }
    return items;
}

bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms, int button)
{
    HWND box = wait_dialog(pid, caption, 0xFFFF, timeout_ms);
    *text = item_text(box, 0xFFFF);
    click(box, button);
    return box && wait_window_gone(box);
}

std::string press_print_dialog(DWORD pid, bool ok)
{
    HWND dialog = wait_dialog(pid, "Print");
    HWND combo = GetDlgItem(dialog, 0x0473);   // cmb4 of <dlgs.h>, the printer
    if (dialog && !combo)
        printf("    Wine sees no printer: is cupsd running (scripts/cups-start.sh)?\n");
    Sleep(200);   // the dialog fills its controls in WM_INITDIALOG; let it finish
    std::string printer = combo ? window_text(combo) : "";
    click(dialog, ok && combo ? IDOK : IDCANCEL);
    wait_window_gone(dialog);
    return printer;
}

std::string read_file(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return f ? std::string(std::istreambuf_iterator<char>(f), {}) : "<missing>";
}

bool write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream f(path, std::ios::binary);
    return f.write(bytes.data(), bytes.size()) && (f.close(), !f.fail());
}

std::string wait_file(const std::string& path, DWORD timeout_ms)
{
    wait_until([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout_ms);
    return read_file(path);
}

namespace {

std::string wine_path(std::string path)   // a Unix path as Wine sees it: the root is drive Z:
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

std::string source(const std::string& path)   // a file of the source tree
{
    const char* root = getenv("CANTORIA_SOURCE");
    return read_file(wine_path(std::string(root ? root : "/nonexistent") + "/" + path));
}

int control_id(const std::string& name)
{
    static std::map<std::string, int> ids = {{"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"IDYES", IDYES}, {"IDNO", IDNO}, {"WM_CLOSE", WM_CLOSE}, {"SB_LINEUP", SB_LINEUP},
        {"SB_LINEDOWN", SB_LINEDOWN}, {"SB_PAGEUP", SB_PAGEUP}, {"SB_PAGEDOWN", SB_PAGEDOWN}, {"SB_THUMBTRACK", SB_THUMBTRACK},
        {"VK_NEXT", VK_NEXT}, {"VK_PRIOR", VK_PRIOR}, {"VK_ESCAPE", VK_ESCAPE}, {"VK_F11", VK_F11}};
    std::string text = ids.count("IDC_LIST_TITLES") ? "" : source("resources/resource.h");
    char id[64];
    int value;
    for (const char* p = text.c_str(); (p = strstr(p, "#define ")) != nullptr; p++)
        if (sscanf(p, "#define %63s %d", id, &value) == 2)
            ids[id] = value;
    return ids.count(name) ? ids[name] : atoi(name.c_str());
}

std::string pdf_of(std::string document)   // as cups-pdf names it (scripts/cups-start.sh)
{
    std::replace(document.begin(), document.end(), ' ', '_');
    return "/var/spool/cups-pdf/out/" + document + ".pdf";
}

// Runs "/bin/sh -c command" on the Unix side, which ends by touching done, and waits for that file.
bool run_unix_shell(const std::string& command, const std::string& done)
{
    App shell = {};
    bool ok = app_start(shell, ".", "/bin/sh -c \"" + command + "; touch " + done + "\"") &&
              wait_file(wine_path(done), 40000) != "<missing>";
    CloseHandle(shell.pi.hProcess), CloseHandle(shell.pi.hThread);   // Wine's handle of a Unix program never ends
    return ok;
}

// A printout as the journeys write it: "left" and the left margin, then each row's page, its distance
// below the page's title and its text, in 300 dpi pixels to the nearest 10; each word of `pdftotext
// -bbox` in the column of its left edge on the grid of the narrowest cell of a word of 4 or more letters.
// The printed document through pdftotext with these options ("-bbox", "-layout"), once the job is out.
std::string pdf_text(const std::string& document, const std::string& options)
{
    std::string pdf = pdf_of(document), out = "/tmp/cantoria-print-" + std::to_string(GetTickCount()) + ".txt";
    if (wait_file(wine_path(pdf), 15000) == "<missing>" ||
        !run_unix_shell("for i in $(seq 100); do [ -z \\\"$(lpstat -o)\\\" ] && break; sleep 0.1; done; "
                        "pdftotext " + options + " " + pdf + " " + out, out + ".done"))
        return "<no printout>";
    std::string text = read_file(wine_path(out));
    for (const std::string& file : {out, out + ".done", pdf})
        DeleteFileA(wine_path(file).c_str());
    return text;
}

std::string printout(const std::string& document)
{
    std::string text = pdf_text(document, "-bbox");
    if (text == "<no printout>")
        return text;
    auto number = [&](size_t at, const char* name) { return atof(text.c_str() + text.find(name, at) + strlen(name)); };
    std::map<std::tuple<int, long, double>, std::string> words;   // by page, top (in 1/100 pt) and left edge
    double left = 1e9, cell = 1e9;
    int pages = 0;
    for (size_t at = 0, end; (at = text.find('<', at + 1)) != std::string::npos;) {
        pages += text.compare(at, 6, "<page ") == 0;
        if (text.compare(at, 6, "<word ") != 0 || (end = text.find('>', at)) == std::string::npos)
            continue;
        std::string word = text.substr(end + 1, text.find('<', end) - end - 1);
        double x = number(at, "xMin=\""), width = number(at, "xMax=\"") - x;
        words[{pages, std::lround(number(at, "yMin=\"") * 100), x}] = word;
        left = std::min(left, x);
        cell = word.size() >= 4 ? std::min(cell, width / word.size()) : cell;
    }
    auto px = [](double hundredths) { return std::to_string(std::lround(hundredths * 3 / 72 / 10) * 10); };
    std::string out = "left " + px(left * 100) + "\n", row;
    long page = 0, y = 0, top = 0;
    words[{pages + 1, 0, left}] = "";   // ends the last row
    for (const auto& [at, word] : words) {
        auto [at_page, at_y, x] = at;
        if (at_page != page || at_y != y) {
            out += row.empty() ? "" : std::to_string(page) + " " + px(y - top) + " " + row + "\n";
            top = at_page != page ? at_y : top;
            page = at_page, y = at_y, row.clear();
        }
        size_t column = (size_t)std::lround((x - left) / cell);
        row += row.size() < column ? std::string(column - row.size(), ' ') : row.empty() ? "" : " ";
        row += word;
    }
    return out;
}

void replace_all(std::string& text, const char* from, const std::string& to)
{
    for (size_t at; (at = text.find(from)) != std::string::npos;)
        text.replace(at, strlen(from), to);
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += item + "\n";
    return out;
}

// The viewer paints row i at y 20 + 14 i in cells 11 pixels wide from x 3, left of its
// buttons at x 855: the top row ends where its middle last differs from the background.
int top_row_length(HWND viewer)
{
    RECT c;
    GetClientRect(viewer, &c);
    MapWindowPoints(viewer, nullptr, (POINT*)&c, 2);   // the client area on the screen
    HDC screen = GetDC(nullptr);
    COLORREF background = GetPixel(screen, c.right - 4, c.bottom - 4);
    int right = 840;
    while (right > 3 && GetPixel(screen, c.left + right, c.top + 27) == background)
        right--;
    ReleaseDC(nullptr, screen);
    return right > 3 ? (right + 3) / 11 : 0;
}

struct Journey {
    App app = {};
    std::map<std::string, HWND> windows;   // "home", "viewer", "editor", "dialog" or a name the steps gave
    HWND current = nullptr;
    HANDLE held = INVALID_HANDLE_VALUE;
    Case s;                                // the step, "<folder>" replaced
    std::string a, b;                      // its first two fields

    ~Journey() { CloseHandle(held), app_stop(app); }   // INVALID_HANDLE_VALUE: the test's own process, kept
    HWND target(const std::string& id)   // IDC_LIST_* on the home screen, others on the current window
    {
        return id.rfind("IDC_LIST_", 0) == 0 && !GetDlgItem(current, IDC_LIST_TITLES) ? windows["home"] : current;
    }
    HWND item(const std::string& id) { return GetDlgItem(target(id), control_id(id)); }
    std::string path(const std::string& name) { return app.dir + "\\" + name; }
    HWND main_window() { return FindWindowA("MainClass", nullptr); }   // one program runs at a time
    // Waits for a dialog of the kind (told by a control only it has) that no name holds yet.
    void take(const std::string& kind, int child)
    {
        HWND found = wait_dialog(app.pid, nullptr, child, 10000, [&](HWND d) {
            return std::any_of(windows.begin(), windows.end(), [&](auto& w) { return w.second == d; });
        });
        CHECK((current = windows[a.empty() ? kind : a] = found) != nullptr);
        if (found && kind == "viewer")   // its title box is written by a command it posts to itself
            wait_until([&] { return item_text(found, IDC_VIEWER_TITLE) != "title"; });
        Sleep(150);   // a dialog fills its controls from a command it posts to itself
    }
    void step(const Case& step);
    void run(const std::vector<Case>& steps) { std::for_each(steps.begin(), steps.end(), [&](const Case& c) { step(c); }); }
};

typedef void (*Step)(Journey& j);
const std::map<std::string, Step> steps = {
    {"start", [](Journey& j) { CHECK(j.current = j.windows["home"] = app_start_home(j.app, j.s.size() > 1 ? &j.a : nullptr)); }},
    {"home", [](Journey& j) { j.take("home", IDC_LIST_SONGS); }},   // home [| a name for it]
    {"viewer", [](Journey& j) { j.take("viewer", IDC_VIEWER_MAGNIFY_UP); }},
    {"editor", [](Journey& j) { j.take("editor", IDC_EDITOR_TEXT); }},
    {"dialog", [](Journey& j) { j.take("dialog", 0x47C); }},   // an open or save dialog
    {"use", [](Journey& j) { j.current = j.windows[j.a]; }},
    {"gone", [](Journey& j) { CHECK(wait_window_gone(j.current)); j.current = j.windows["home"]; }},
    {"click", [](Journey& j) { click(j.target(j.a), control_id(j.a)); }},
    {"check", [](Journey& j) { PostMessageA(j.item(j.a), BM_CLICK, 0, 0); }},
    {"type", [](Journey& j) { set_item_text_to(j.target(j.a), control_id(j.a), j.b); }},
    {"chars", [](Journey& j) {   // keys typed at the end of a text box (UTF-8 in the journey)
        std::wstring wide(j.b.size() + 1, 0);
        MultiByteToWideChar(CP_UTF8, 0, j.b.c_str(), -1, &wide[0], (int)wide.size());
        SendMessageTimeoutW(j.item(j.a), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF, SMTO_ABORTIFHUNG, 2000, nullptr);
        for (size_t i = 0; wide[i]; i++)
            PostMessageW(j.item(j.a), WM_CHAR, wide[i], 0);
    }},
    {"expect", [](Journey& j) { CHECK_SOON(item_text(j.target(j.a), control_id(j.a)), j.b); }},
    {"items", [](Journey& j) { CHECK_SOON(joined(items_of(j.item(j.a))), j.b); }},   // each ended by "\n"
    {"keys", [](Journey& j) {   // a key button pressed once for each count the box must show
        for (size_t at = 0, end; at < j.b.size(); at = end + 1) {
            end = std::min(j.b.find(' ', at), j.b.size());
            click(j.current, control_id(j.a));
            CHECK_SOON(item_text(j.current, IDC_VIEWER_STEPS), j.b.substr(at, end - at));
        }
    }},
    {"choose", [](Journey& j) {   // a title added to the song list, its row awaited
        size_t rows = items_of(GetDlgItem(j.target("IDC_LIST_"), IDC_LIST_SONGS)).size();
        j.run({{"type", "IDC_LIST_TITLES", j.a}, {"click", "IDC_LIST_CHOOSE"}});
        wait_until([&] { return items_of(GetDlgItem(j.target("IDC_LIST_"), IDC_LIST_SONGS)).size() != rows; });
    }},
    {"review", [](Journey& j) { j.run({{"type", "IDC_LIST_TITLES", j.a}, {"click", "IDC_LIST_REVIEW"}, {"viewer"}}); }},
    {"message", [](Journey& j) {   // a box whose caption starts so, holding the text; closed with OK [| a button]
        std::string text;
        int button = j.s.size() > 3 ? control_id(j.s[3]) : IDOK;
        CHECK(close_message_box(j.app.pid, j.a.c_str(), &text, 10000, button) && text.find(j.b) != std::string::npos);
    }},
    {"file", [](Journey& j) { write_file(j.path(j.a), j.b); }},
    {"saved", [](Journey& j) { CHECK_SOON(read_file(j.path(j.a)), j.b); }},
    {"missing", [](Journey& j) { CHECK_EQ(read_file(j.path(j.a)).substr(0, 200), "<missing>"); }},
    {"mkdir", [](Journey& j) { CHECK(CreateDirectoryA(j.path(j.a).c_str(), nullptr)); }},
    {"rmdir", [](Journey& j) { RemoveDirectoryA(j.path(j.a).c_str()); }},
    // another program holds the file open without sharing
    {"hold", [](Journey& j) { j.held = CreateFileA(j.path(j.a).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr); }},
    {"release", [](Journey& j) { CloseHandle(j.held), j.held = INVALID_HANDLE_VALUE; }},
    // the file becomes a link to a device that is always full: every write to it fails "disk full"
    // [| off: the link goes again]
    {"full", [](Journey& j) {
        typedef char* (CDECL * UnixName)(const WCHAR*);   // Wine's own: where a Windows path is on the Unix side
        UnixName unix_name = (UnixName)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
        std::string path = j.path(j.a);
        std::wstring wide(path.begin(), path.end());
        char* file = unix_name ? unix_name(wide.c_str()) : nullptr;
        std::string command = (j.b == "off" ? "rm -f '" : "ln -sf /dev/full '") + std::string(file ? file : "") + "'";
        CHECK(file && run_unix_shell(command, "/tmp/cantoria-linked-" + std::to_string(GetTickCount())));
        HeapFree(GetProcessHeap(), 0, file);
    }},
    {"exit", [](Journey& j) { CHECK_EQ(std::to_string(app_stop(j.app, 15000)), j.a); }},
    {"caption", [](Journey& j) { CHECK_EQ(window_text(j.main_window()), j.a); }},
    {"menu", [](Journey& j) { PostMessageA(j.main_window(), WM_COMMAND, control_id(j.a), 0); }},
    // sent, not posted: Wine drops the numbers 996-998 when posted
    {"send", [](Journey& j) { SendMessageTimeoutA(j.main_window(), control_id(j.a), 0, 0, SMTO_NORMAL, 300, nullptr); }},
    {"dialogs", [](Journey& j) { CHECK_SOON(std::to_string(windows_of(j.app.pid).size()), j.a); }},
    {"scroll", [](Journey& j) { PostMessageA(j.current, WM_VSCROLL, MAKEWPARAM(control_id(j.a), atoi(j.b.c_str())), 0); }},
    {"top", [](Journey& j) { CHECK_SOON(std::to_string(top_row_length(j.current)), j.a); }},
    {"wait", [](Journey& j) { Sleep(atoi(j.a.c_str())); }},
    {"stage", [](Journey& j) {   // the stage view: a full-screen window of its own class
        std::vector<HWND> found;
        wait_until([&] { return !(found = windows_of(j.app.pid, "CantoriaStage")).empty(); });
        CHECK(!found.empty() && (j.current = j.windows["stage"] = found[0]));
    }},
    // press | a key (VK_NEXT) or a character typed, posted to the current window
    {"press", [](Journey& j) { PostMessageA(j.current, j.a.size() == 1 ? WM_CHAR : WM_KEYDOWN, j.a.size() == 1 ?
                                            (unsigned char)j.a[0] : control_id(j.a), 0); }},
    {"header", [](Journey& j) { CHECK_SOON(window_text(j.current), j.a); }},   // the caption, as a screen reader reads it
    {"print", [](Journey& j) {   // print | ok or cancel | the document, whose old PDF goes first [| the button]
        DeleteFileA(wine_path(pdf_of(j.b)).c_str());
        std::string button = j.s.size() > 3 ? j.s[3] : "IDC_VIEWER_PRINT";
        click(j.target(button), control_id(button));
        CHECK_EQ(press_print_dialog(j.app.pid, j.a == "ok"), "PDF");
    }},
    {"printed", [](Journey& j) {   // printed | the document | the printout, or "<nothing>"
        Sleep(j.b == "<nothing>" ? 1500 : 0);
        bool none = GetFileAttributesA(wine_path(pdf_of(j.a)).c_str()) == INVALID_FILE_ATTRIBUTES;
        CHECK_EQ(j.b == "<nothing>" && none ? j.b : printout(j.a), j.b);
    }},
    {"paper", [](Journey& j) {   // paper | the document | its text as `pdftotext -layout` sets it, pages ended by \f
        CHECK_EQ(pdf_text(j.a, "-layout"), j.b);
    }},
    {"hostile", [](Journey& j) {   // hostile | library or "<a 5 MB line and 20,000 titles>" | song list
        bool big = j.a == "<a 5 MB line and 20,000 titles>";
        std::string library = big ? "::::: BIG :::::\r\n" + std::string(5 << 20, 'x') + "\r\n" : j.a, list = j.b;
        for (int i = 0; big && i < 20000; i++)
            library += "::::: T" + std::to_string(100000 + i) + " :::::\r\n";
        j.run({{"start", library}, {"file", "songlist.txt", list}});
        std::vector<std::string> titles = items_of(GetDlgItem(j.current, IDC_LIST_TITLES));
        titles.resize(std::min(titles.size(), (size_t)3));
        titles.push_back("NOT IN THIS LIBRARY");
        for (const std::string& title : titles)
            j.run({{"review", title}, {"click", "IDC_VIEWER_NEXT_KEY"}, {"click", "IDC_VIEWER_PAGE_DOWN"},
                   {"click", "IDC_VIEWER_RETURN"}, {"gone"}});
        j.run({{"click", "IDC_LIST_LOAD"}, {"wait", "300"}, {"click", "IDC_LIST_RUN"}, {"viewer"},
               {"repeat", "3", "click", "IDC_VIEWER_NEXT_SONG"}, {"click", "IDC_VIEWER_RETURN"}, {"gone"},
               {"click", "IDC_LIST_EXIT"}, {"exit", "0"}, {"missing", "temp.cnr"}});
        CHECK(read_file(j.path("songbook.cnr")) == library && read_file(j.path("songlist.txt")) == list);
    }},
    {"shot", [](Journey& j) {   // shot | name: the window as the screen shows it, into CANTORIA_SHOTS
        std::string to = std::string(getenv("CANTORIA_SHOTS") ? getenv("CANTORIA_SHOTS") : "/tmp") + "/" + j.a;
        RECT r;
        GetWindowRect(j.current, &r);
        Sleep(300);
        CHECK(run_unix_shell("import -window root -crop " + std::to_string(r.right - r.left) + "x" +
                             std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) + "+" +
                             std::to_string(r.top) + " +repage -strip " + to + ".png", to + ".done"));
    }},
    {"repeat", [](Journey& j) {   // repeat | count | a step
        Case again(j.s.begin() + 2, j.s.end());
        for (int i = atoi(j.a.c_str()); i > 0; i--)
            j.step(again);
    }},
};

void Journey::step(const Case& step)
{
    s = step;
    for (std::string& field : s)
        replace_all(field, "<folder>", app.dir);
    a = s.size() > 1 ? s[1] : "", b = s.size() > 2 ? s[2] : "";
    int failures = gui_failures;
    auto found = steps.find(s[0]);
    found == steps.end() ? check_failed(__FILE__, __LINE__, "no such step") : found->second(*this);
    if (gui_failures != failures)
        printf("    in the step \"%s\"\n", printable(joined(step)).substr(0, 160).c_str());
}

}  // namespace

// Each journey as a test; "<today>" is the date as a printed list is named, "<long date>" as printed.
void register_journeys(const char* suite)
{
    char today[16] = "", long_date[100] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, 0, nullptr, "yyyy-MM-dd", today, sizeof today);
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, long_date, sizeof long_date);
    std::string text = source(std::string("tests/gui/journeys/") + suite + ".txt");
    replace_all(text, "<today>", today);
    replace_all(text, "<long date>", long_date);
    std::shared_ptr<std::vector<Case>> steps;   // of the journey last begun
    for (const Case& step : parse_cases(text, source))
        if (step[0] == "journey")
            add_gui_case(suite, step[1], [steps = steps = std::make_shared<std::vector<Case>>()] { Journey().run(*steps); });
        else if (steps)
            steps->push_back(step);
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return printf("usage: gui_tests SUITE CANTORIA_EXE [NAME: only the cases whose name holds it]\n"), 2;
    program_path = argv[2];
    setvbuf(stdout, nullptr, _IONBF, 0);
    register_journeys(argv[1]);
    int passed = 0, failed = 0;
    for (const GuiCase& test : gui_cases()) {
        if (test.suite != argv[1] || (argc > 3 && test.name.find(argv[3]) == std::string::npos))
            continue;
        printf("[ RUN  ] %s.%s\n", argv[1], test.name.c_str());
        int failures = gui_failures;
        DWORD start = GetTickCount();
        test.run();
        bool ok = gui_failures == failures;
        (ok ? passed : failed)++;
        printf("[ %s ] %s.%s (%lu ms)\n", ok ? " OK " : "FAIL", argv[1], test.name.c_str(), GetTickCount() - start);
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
