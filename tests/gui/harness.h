// The GUI test harness: starts cantoria.exe in a fresh folder and drives it as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// gui_tests.exe SUITE cantoria.exe runs the suite's journeys and GUI_TESTs (the Wine benchmarks).
void add_gui_case(const char* suite, const std::string& name, const std::function<void()>& run);
#define GUI_TEST(suite, name) static void suite##_##name();                                    \
    static int suite##_##name##_added = (add_gui_case(#suite, #name, suite##_##name), 0); static void suite##_##name()

// CHECK records a failure, REQUIRE also leaves the test, CHECK_SOON polls until read gives the text want.
void check_failed(const char* file, int line, const std::string& what);
void check_soon(const char* file, int line, const char* what, const std::function<std::string()>& read,
                const std::string& want, DWORD timeout_ms);
#define CHECK(cond) do { if (!(cond)) check_failed(__FILE__, __LINE__, "CHECK(" #cond ")"); } while (0)
#define REQUIRE(cond) do { if (!(cond)) { check_failed(__FILE__, __LINE__, "REQUIRE(" #cond ")"); return; } } while (0)
#define CHECK_SOON(read, want) check_soon(__FILE__, __LINE__, #read, [&] { return std::string(read); }, want, 5000)
#define CHECK_EQ(got, want) check_soon(__FILE__, __LINE__, #got, [&] { return std::string(got); }, want, 0)

extern const char* program_path;   // cantoria.exe, from the command line
struct App { PROCESS_INFORMATION pi; DWORD pid; std::string dir; bool running; };   // dir: its current folder
std::string make_temp_dir();       // a fresh empty folder under the temp folder
bool app_start(App& app, const std::string& dir, std::string command = "");   // "": cantoria.exe
// Waits for the program to end, ends it when it does not; its exit code, or -1.
int app_stop(App& app, DWORD wait_ms = 0);

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = 5000);
// Waits for a dialog whose caption starts so (null: any), with a child of this id (0: any), not skipped.
HWND wait_dialog(DWORD pid, const char* caption, int child = 0, DWORD timeout_ms = 10000,
                 const std::function<bool(HWND)>& skip = nullptr);
bool wait_window_gone(HWND window, DWORD timeout_ms = 10000);
void click(HWND dialog, int id);   // a posted click, as a user's
std::string item_text(HWND dialog, int id);
void set_item_text_to(HWND dialog, int id, const std::string& text);
std::vector<std::string> items_of(HWND box);   // of a combo box or a list box
// Waits for a message box whose caption starts so, reads its text, closes it with OK.
bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms = 10000, int button = IDOK);
// Presses OK or Cancel in the print dialog; returns its printer, "" when none came.
std::string press_print_dialog(DWORD pid, bool ok);

std::string read_file(const std::string& path);          // "<missing>" when missing
bool write_file(const std::string& path, const std::string& bytes);
std::string wait_file(const std::string& path, DWORD timeout_ms = 10000);   // once it exists
