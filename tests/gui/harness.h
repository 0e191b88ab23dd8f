// The GUI test harness: starts cantoria.exe in a fresh folder and drives it as a user would.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// ---- tests and checks: gui_tests.exe SUITE cantoria.exe runs the suite's tests
// and the journeys of tests/gui/journeys/SUITE.txt --------------------------------
typedef void (*GuiTestFn)();
int register_gui_test(const char* suite, const char* name, GuiTestFn fn);
void add_gui_case(const char* suite, const std::string& name, const std::function<void()>& run);
#define GUI_TEST(suite, name)                                                      \
    static void gui_test_##suite##_##name();                                        \
    static int gui_test_reg_##suite##_##name =                                      \
        register_gui_test(#suite, #name, gui_test_##suite##_##name);                \
    static void gui_test_##suite##_##name()

void check_failed(const char* file, int line, const std::string& what);
std::string printable(const std::string& bytes);
// CHECK records a failure and goes on; REQUIRE also leaves the test.
#define CHECK(cond)                                                                 \
    do { if (!(cond)) check_failed(__FILE__, __LINE__, "CHECK(" #cond ")"); } while (0)
#define CHECK_EQ_STR(a, b)                                                          \
    do { std::string a_ = (a), b_ = (b);                                             \
         if (a_ != b_) check_failed(__FILE__, __LINE__, std::string(#a " == " #b "\n    got:      [") + \
                                    printable(a_) + "]\n    expected: [" + printable(b_) + "]"); } while (0)
#define CHECK_EQ_INT(a, b)                                                          \
    do { long long a_ = (a), b_ = (b);                                               \
         if (a_ != b_) check_failed(__FILE__, __LINE__, std::string(#a " == " #b ": got ") + \
                                    std::to_string(a_) + ", expected " + std::to_string(b_)); } while (0)
#define REQUIRE(cond)                                                               \
    do { if (!(cond)) { check_failed(__FILE__, __LINE__, "REQUIRE(" #cond ")"); return; } } while (0)

// ---- the program under test ---------------------------------------------------
extern const char* program_path;   // cantoria.exe, from the command line

struct App {
    PROCESS_INFORMATION pi;
    DWORD pid;
    std::string dir;               // the program's current directory
    bool running;
};

// A fresh empty folder under the temp folder.
std::string make_temp_dir();
// Starts the program (default: program_path) in dir; false if it cannot start.
bool app_start(App& app, const std::string& dir, const char* exe = nullptr);
// Waits for the program to end; returns its exit code, or -1 on timeout.
int app_wait_exit(App& app, DWORD timeout_ms = 15000);
// Ends the program if it still runs.
void app_stop(App& app);
// Starts the program in a fresh folder (with an optional library) and waits for
// the home screen to hold its titles; returns its song list dialog, or nullptr.
HWND app_start_home(App& app, const std::string* library = nullptr);

// ---- windows and controls -----------------------------------------------------
HWND find_top_window(DWORD pid, const char* class_name, const char* caption);
HWND wait_top_window(DWORD pid, const char* class_name, const char* caption, DWORD timeout_ms = 10000);
// A visible dialog ("#32770") of the process that has a child with this id (not except).
HWND wait_dialog_with_child(DWORD pid, int child_id, DWORD timeout_ms = 10000, HWND except = nullptr);
bool wait_window_gone(HWND window, DWORD timeout_ms = 10000);
std::vector<HWND> dialogs_of(DWORD pid);
// Polls until done() holds or the time is up.
bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = 5000);
void click(HWND dialog, int id);                       // a posted click, as a user's
std::string window_text(HWND window);
std::string item_text(HWND dialog, int id);
void set_item_text_to(HWND dialog, int id, const std::string& text);
std::vector<std::string> combo_items(HWND combo);
std::vector<std::string> list_items(HWND list);
// Waits until the control's text equals want; returns the last text read.
std::string wait_item_text(HWND dialog, int id, const std::string& want, DWORD timeout_ms = 5000);
// Waits for a message box with this caption, reads its text, closes it with OK.
bool close_message_box(DWORD pid, const char* caption, std::string* text, DWORD timeout_ms = 10000);
// Types the title into the home screen's title box, presses "Review" and waits for
// the viewer to show the title; returns the viewer, or nullptr.
HWND review_song(App& app, HWND home, const std::string& title);
// Adds a title to the home screen's song list ("Choose") and waits for its row.
void choose_song(HWND home, const std::string& title);
// The length in characters of the song row the viewer paints at its top, read
// back from the screen.
int top_row_length(HWND viewer);

// ---- files ---------------------------------------------------------------------
std::string read_file(const std::string& path);          // "<missing>" when missing
bool write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
std::string path_in(const App& app, const char* name);
bool wait_file_bytes(const std::string& path, const std::string& want, DWORD timeout_ms = 5000);
// Waits until the file exists; returns its bytes, or "<missing>".
std::string wait_file(const std::string& path, DWORD timeout_ms = 10000);
void sleep_ms(DWORD ms);

// ---- printing to the PDF printer of scripts/cups-start.sh -----------------------
enum PrintDialogResult { PRINT_DIALOG_PRESSED, PRINT_DIALOG_TIMEOUT, PRINT_DIALOG_NO_PRINTER };
// Waits for the common print dialog ("#32770", "Print") and presses OK or Cancel;
// a "Print" box without the printer combo is Wine's "install a printer" message.
// printer receives the combo's text.
PrintDialogResult press_print_dialog(DWORD pid, bool ok, std::string* printer = nullptr,
                                     DWORD timeout_ms = 10000);
// What cups-pdf printed for a document: each word where pdftotext places it (in
// points from the page's top left), and the rows rebuilt from the words on the
// fixed-pitch grid that starts at the leftmost word.
struct PrintedWord { int page; double x, x_end, y; std::string text; };
struct PrintedRow { int page; double y; std::string text; };
struct Printout {
    bool found = false;
    int pages = 0;
    std::vector<PrintedWord> words;
    std::vector<PrintedRow> rows;
};
// Waits for the document's PDF, reads it and removes it.
Printout read_printout(const std::string& document);
// Removes a PDF of that document (one left by an earlier run); false when there was none.
bool forget_printout(const std::string& document);

// ---- the Unix side of Wine ------------------------------------------------------------
// Starts "/bin/sh -c command" as a Unix process; Wine gives no handle to wait on,
// so callers wait for a file the command leaves behind.
bool run_unix_shell(const std::string& command);
