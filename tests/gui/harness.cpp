// The GUI test harness: the runner, the program, and the ways to find, read and press its windows.
#include "tests/gui/harness.h"

#include <cstdio>

#include "resources/resource.h"

const char* program_path = "cantoria.exe";
int gui_failures = 0;

struct GuiCase {
    std::string suite, name;
    std::function<void()> run;
};
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
    fflush(stdout);
}

static std::string printable(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        char hex[8];
        snprintf(hex, sizeof hex, c == '\r' ? "\\r" : c == '\n' ? "\\n" : c < 32 || c >= 127 ? "\\x%02X" : "%c", c);
        out += hex;
    }
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

void register_journeys(const char* suite);   // journeys.cpp

int main(int argc, char** argv)
{
    if (argc < 3)
        return printf("usage: gui_tests SUITE CANTORIA_EXE\n"), 2;
    program_path = argv[2];
    register_journeys(argv[1]);
    int passed = 0, failed = 0;
    for (const GuiCase& test : gui_cases()) {
        if (test.suite != argv[1])
            continue;
        printf("[ RUN  ] %s.%s\n", argv[1], test.name.c_str());
        fflush(stdout);
        int failures = gui_failures;
        DWORD start = GetTickCount();
        test.run();
        bool ok = gui_failures == failures;
        (ok ? passed : failed)++;
        printf("[ %s ] %s.%s (%lu ms)\n", ok ? " OK " : "FAIL", argv[1], test.name.c_str(), GetTickCount() - start);
        fflush(stdout);
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms)
{
    for (DWORD start = GetTickCount(); !done(); Sleep(20))
        if (GetTickCount() - start >= timeout_ms)
            return false;
    return true;
}

std::string make_temp_dir()
{
    static int counter = 0;
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string base = dir + std::string("cantoria-gui-") + std::to_string(GetCurrentProcessId()) + "-";
    while (!CreateDirectoryA((base + std::to_string(++counter)).c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS) {}
    return base + std::to_string(counter);
}

bool app_start(App& app, const std::string& dir)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string command = std::string("\"") + program_path + "\"";
    app.dir = dir;
    app.running = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &app.pi);
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
    if ((library && !write_file(dir + "\\songbook.cnr", *library)) || !app_start(app, dir))
        return nullptr;
    HWND home = wait_dialog(app.pid, "List of Songs Available");
    // the title box is filled by the command the dialog posts to itself
    wait_until([&] { return library || SendMessageA(GetDlgItem(home, IDC_LIST_TITLES), CB_GETCOUNT, 0, 0) > 0; });
    Sleep(100);
    return home;
}

std::vector<HWND> windows_of(DWORD pid, const char* class_name)
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

// Texts are read in their wide form and converted: the ANSI forms come back
// wrong across processes under Wine.
static wchar_t wide[65536];

static std::string from_wide()
{
    static char out[65536];
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out, n - 1) : std::string();
}

std::string window_text(HWND window)
{
    wide[0] = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 65536, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000, nullptr);
    return from_wide();
}

std::string item_text(HWND dialog, int id)
{
    return GetDlgItem(dialog, id) ? window_text(GetDlgItem(dialog, id)) : "<no control>";
}

void set_item_text_to(HWND dialog, int id, const std::string& text)
{
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, (LPARAM)text.c_str(), SMTO_ABORTIFHUNG, 3000, nullptr);
}

std::vector<std::string> items_of(HWND box)
{
    char cls[16] = "";
    GetClassNameA(box, cls, sizeof cls);
    bool list = lstrcmpiA(cls, "ListBox") == 0;
    std::vector<std::string> items;
    DWORD_PTR count = 0, len = 0;
    SendMessageTimeoutW(box, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 3000, &count);
    for (int i = 0; i < (int)(LONG_PTR)count; i++) {
        SendMessageTimeoutW(box, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 3000, &len);
        wide[0] = 0;
        if (len < 65536)
            SendMessageTimeoutW(box, list ? LB_GETTEXT : CB_GETLBTEXT, i, (LPARAM)wide, SMTO_ABORTIFHUNG, 3000, nullptr);
        items.push_back(len < 65536 ? from_wide() : "<too long>");
    }
    return items;
}

bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms)
{
    HWND box = wait_dialog(pid, caption, 0xFFFF, timeout_ms);
    if (box && text)
        *text = item_text(box, 0xFFFF);
    if (box)
        click(box, IDOK);
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

std::string wait_file(const std::string& path, DWORD timeout_ms)
{
    wait_until([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeout_ms);
    return read_file(path);
}
