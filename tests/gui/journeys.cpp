// The user journeys of tests/gui/journeys/SUITE.txt: each journey ("journey | name")
// is a list of steps that drive the real program as a user would, in the case-file
// format of tests/support/case_file.h. Controls are named as in resources/resource.h;
// IDC_LIST_* controls are those of the home screen, other controls those of the
// window a step last waited for.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

#include "resources/resource.h"
#include "tests/gui/harness.h"
#include "tests/support/case_file.h"


namespace {

// A file of the source tree, through drive Z: (the Unix root under Wine).
std::string source(const std::string& path)
{
    const char* root = getenv("CANTORIA_SOURCE");
    std::string name = std::string("Z:") + (root ? root : "/nonexistent") + "/" + path;
    for (char& c : name)
        c = c == '/' ? '\\' : c;
    return read_file(name);
}

int control_id(const std::string& name)
{
    static std::map<std::string, int> ids = {{"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}, {"SB_LINEUP", SB_LINEUP},
        {"SB_LINEDOWN", SB_LINEDOWN}, {"SB_PAGEUP", SB_PAGEUP}, {"SB_PAGEDOWN", SB_PAGEDOWN},
        {"SB_THUMBTRACK", SB_THUMBTRACK}};
    if (!ids.count("IDC_LIST_TITLES")) {
        std::string text = source("resources/resource.h");
        char id[64];
        int value;
        for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
            if (sscanf(text.c_str() + at, "#define %63s %d", id, &value) == 2)
                ids[id] = value;
            if (text.find('\n', at) == std::string::npos)
                break;
        }
    }
    return ids.count(name) ? ids[name] : atoi(name.c_str());
}

std::string joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += item + "\n";
    return out;
}

// The printout as the journeys write it: "left" and the left margin, then each
// row's page, its distance below the page's title and its text; in device pixels
// of the 300 dpi page, to the nearest 10.
std::string printed(const Printout& out)
{
    auto px = [](double pt) { return std::to_string((long)std::lround(pt * 300 / 72 / 10) * 10); };
    double left = 1e9, top = 0;
    for (const PrintedWord& w : out.words)
        left = std::min(left, w.x);
    std::string text = "left " + px(left) + "\n";
    for (size_t i = 0; i < out.rows.size(); i++) {
        top = i == 0 || out.rows[i - 1].page != out.rows[i].page ? out.rows[i].y : top;
        text += std::to_string(out.rows[i].page) + " " + px(out.rows[i].y - top) + " " + out.rows[i].text + "\n";
    }
    return text;
}

struct Journey {
    App app = {};
    std::map<std::string, HWND> windows;   // "home", "viewer", "editor" or a name the steps gave
    HWND current = nullptr;
    HANDLE held = INVALID_HANDLE_VALUE;

    HWND target(const std::string& id)
    {
        return id.rfind("IDC_LIST_", 0) == 0 && !GetDlgItem(current, IDC_LIST_TITLES) ? windows["home"] : current;
    }
    // Waits for a dialog of the kind (told by a control only it has) that no name holds yet.
    void take(const std::string& kind, int child, const std::string& name)
    {
        HWND found = nullptr;
        wait_until([&] {
            for (HWND d : dialogs_of(app.pid)) {
                bool named = false;
                for (auto& w : windows)
                    named |= w.second == d && IsWindow(d);
                if (!named && GetDlgItem(d, child))
                    return (found = d) != nullptr;
            }
            return false;
        }, 10000);
        CHECK(found != nullptr);
        current = windows[name.empty() ? kind : name] = found;
        if (found && kind == "viewer")
            wait_until([&] { return item_text(found, IDC_VIEWER_TITLE) != "title"; });
        sleep_ms(150);   // a dialog fills its controls from a command it posts to itself
    }
    void hostile(const std::string& library, const std::string& songlist);
    void step(const Case& s);
};

void Journey::step(const Case& s)
{
    const std::string& op = s[0];
    std::string a = s.size() > 1 ? s[1] : "", b = s.size() > 2 ? s[2] : "";
    for (std::string* field : {&a, &b})   // "<folder>" stands for the program's folder
        for (size_t at; (at = field->find("<folder>")) != std::string::npos;)
            field->replace(at, 8, app.dir);
    HWND main = find_top_window(app.pid, "MainClass", nullptr);
    if (op == "start") {
        current = windows["home"] = app_start_home(app, s.size() > 1 ? &a : nullptr);
        CHECK(current != nullptr);
    } else if (op == "home" || op == "viewer" || op == "editor" || op == "dialog")   // dialog: open or save a file
        take(op, op == "home" ? IDC_LIST_SONGS : op == "viewer" ? IDC_VIEWER_MAGNIFY_UP : op == "editor" ? IDC_EDITOR_TEXT : 0x47C, a);
    else if (op == "use")
        current = windows[a];
    else if (op == "gone") {
        CHECK(wait_window_gone(current));
        current = windows["home"];
    } else if (op == "click")
        click(target(a), control_id(a));
    else if (op == "check")
        PostMessageA(GetDlgItem(target(a), control_id(a)), BM_CLICK, 0, 0);
    else if (op == "select")
        SendMessageTimeoutA(GetDlgItem(target(a), control_id(a)), CB_SETCURSEL, atoi(b.c_str()), 0, 0, 2000, nullptr);
    else if (op == "type")
        set_item_text_to(target(a), control_id(a), b);
    else if (op == "chars") {   // keys typed at the end of a text box (UTF-8 in the journey)
        HWND box = GetDlgItem(current, control_id(a));
        std::wstring wide(b.size(), 0);
        wide.resize(MultiByteToWideChar(CP_UTF8, 0, b.data(), (int)b.size(), &wide[0], (int)b.size()));
        SendMessageTimeoutW(box, EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF, SMTO_ABORTIFHUNG, 2000, nullptr);
        for (wchar_t c : wide)
            PostMessageW(box, WM_CHAR, c, 0);
    }
    else if (op == "expect")
        CHECK_EQ_STR(wait_item_text(target(a), control_id(a), b), b);
    else if (op == "keys") {   // a key button pressed once for each count the box must show
        for (size_t at = 0, end; at < b.size(); at = end + 1) {
            end = std::min(b.find(' ', at), b.size());
            click(current, control_id(a));
            CHECK_EQ_STR(wait_item_text(current, IDC_VIEWER_STEPS, b.substr(at, end - at)), b.substr(at, end - at));
        }
    } else if (op == "titles" || op == "rows") {
        HWND box = GetDlgItem(target("IDC_LIST_"), op == "titles" ? IDC_LIST_TITLES : IDC_LIST_SONGS);
        auto items = [&] { return joined(op == "titles" ? combo_items(box) : list_items(box)); };
        wait_until([&] { return items() == a; });
        CHECK_EQ_STR(items(), a);
    } else if (op == "choose")
        choose_song(target("IDC_LIST_"), a);
    else if (op == "review") {
        current = windows["viewer"] = review_song(app, windows["home"], a);
        CHECK(current != nullptr);
    } else if (op == "message") {   // a box whose caption starts so, holding the text; closed with OK
        HWND box = nullptr;
        wait_until([&] {
            for (HWND d : dialogs_of(app.pid))
                if (window_text(d).rfind(a, 0) == 0 && GetDlgItem(d, 0xFFFF))
                    return (box = d) != nullptr;
            return false;
        }, 10000);
        CHECK(box && item_text(box, 0xFFFF).find(b) != std::string::npos);
        if (box) {
            click(box, IDOK);
            wait_window_gone(box);
        }
    } else if (op == "file")
        write_file(path_in(app, a.c_str()), b);
    else if (op == "saved") {
        if (!wait_file_bytes(path_in(app, a.c_str()), b))
            CHECK_EQ_STR(read_file(path_in(app, a.c_str())), b);
    } else if (op == "missing")
        CHECK(!file_exists(path_in(app, a.c_str())));
    else if (op == "mkdir")
        CHECK(CreateDirectoryA(path_in(app, a.c_str()).c_str(), nullptr));
    else if (op == "rmdir")
        RemoveDirectoryA(path_in(app, a.c_str()).c_str());
    else if (op == "hold")   // another program holds the file open without sharing
        held = CreateFileA(path_in(app, a.c_str()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    else if (op == "release")
        CloseHandle(held);
    else if (op == "exit")
        CHECK_EQ_INT(app_wait_exit(app), atoi(a.c_str()));
    else if (op == "caption")
        CHECK_EQ_STR(window_text(main), a);
    else if (op == "menu")
        PostMessageA(main, WM_COMMAND, control_id(a), 0);
    else if (op == "send") {   // sent, not posted: Wine drops the numbers 996-998 when posted
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main, control_id(a), 0, 0, SMTO_NORMAL, 300, &result);
    } else if (op == "dialogs") {
        wait_until([&] { return (int)dialogs_of(app.pid).size() == atoi(a.c_str()); });
        CHECK_EQ_INT(dialogs_of(app.pid).size(), atoi(a.c_str()));
    } else if (op == "scroll")
        PostMessageA(current, WM_VSCROLL, MAKEWPARAM(control_id(a), atoi(b.c_str())), 0);
    else if (op == "top") {
        wait_until([&] { return top_row_length(current) == atoi(a.c_str()); });
        CHECK_EQ_INT(top_row_length(current), atoi(a.c_str()));
    } else if (op == "wait")
        sleep_ms(atoi(a.c_str()));
    else if (op == "print") {   // print | ok or cancel | the document, whose old PDF goes first [| the button]
        forget_printout(b);
        std::string button = s.size() > 3 ? s[3] : "IDC_VIEWER_PRINT";
        click(target(button), control_id(button));
        std::string printer;
        PrintDialogResult result = press_print_dialog(app.pid, a == "ok", &printer);
        if (result == PRINT_DIALOG_NO_PRINTER)
            printf("    Wine sees no printer: is cupsd running (scripts/cups-start.sh)?\n");
        CHECK(result == PRINT_DIALOG_PRESSED && printer == "PDF");
    } else if (op == "printed") {
        if (b == "<nothing>") {
            sleep_ms(1500);
            CHECK(!forget_printout(a));
        } else
            CHECK_EQ_STR(printed(read_printout(a)), b);
    } else if (op == "hostile") {
        if (a == "<a 5 MB line and 20,000 titles>") {
            a = "::::: BIG :::::\r\n" + std::string(5 * 1024 * 1024, 'x') + "\r\n";
            for (int i = 0; i < 20000; i++)
                a += "::::: T" + std::to_string(100000 + i) + " :::::\r\n";
        }
        hostile(a, b);
    } else if (op == "version") {
        DWORD handle = 0, size = GetFileVersionInfoSizeA(program_path, &handle);
        std::string data(size, '\0');
        VS_FIXEDFILEINFO* fixed = nullptr;
        char* product = nullptr;
        UINT len = 0;
        REQUIRE(size && GetFileVersionInfoA(program_path, 0, size, &data[0]) &&
                VerQueryValueA(data.data(), "\\", (void**)&fixed, &len) &&
                VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductName", (void**)&product, &len));
        CHECK_EQ_STR(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." + std::to_string(LOWORD(fixed->dwFileVersionMS)), a);
        CHECK_EQ_STR(product, b);
    } else if (op == "shot") {   // shot | name: the window as the screen shows it; shot | name.pdf | document
        std::string folder = getenv("CANTORIA_SHOTS") ? getenv("CANTORIA_SHOTS") : "/tmp", command, pdf = b;
        RECT r;
        GetWindowRect(current, &r);
        for (char& c : pdf)
            c = c == ' ' ? '_' : c;
        pdf = "/var/spool/cups-pdf/out/" + pdf + ".pdf";
        if (b.empty())
            command = "import -window root -crop " + std::to_string(r.right - r.left) + "x" +
                      std::to_string(r.bottom - r.top) + "+" + std::to_string(r.left) + "+" + std::to_string(r.top) +
                      " +repage -strip " + folder + "/" + a + ".png";
        else   // the whole PDF, once cups-pdf has closed it
            command = "for i in $(seq 300); do tail -c 8 " + pdf + " | grep -q EOF && break; sleep 0.1; done; cp " +
                      pdf + " " + folder + "/" + a;
        sleep_ms(300);
        CHECK(run_unix_shell(command + "; touch " + folder + "/" + a + ".done") &&
              wait_file("Z:" + folder + "/" + a + ".done", 40000) != "<missing>");
    } else if (op == "repeat") {
        for (int i = 0; i < atoi(a.c_str()); i++)
            step(Case(s.begin() + 2, s.end()));
    } else
        CHECK_EQ_STR("unknown step", op);
}

// A hand-edited library and song list through the real program: the first titles
// and a missing one reviewed, the list loaded and run, the program ended; every
// file stays as it was.
void Journey::hostile(const std::string& library, const std::string& songlist)
{
    current = windows["home"] = app_start_home(app, &library);
    REQUIRE(current);
    write_file(path_in(app, "songlist.txt"), songlist);
    std::vector<std::string> titles = combo_items(GetDlgItem(current, IDC_LIST_TITLES));
    titles.resize(std::min(titles.size(), (size_t)3));
    titles.push_back("NOT IN THIS LIBRARY");
    for (const std::string& title : titles) {
        HWND viewer = review_song(app, windows["home"], title);
        REQUIRE(viewer);
        for (int id : {IDC_VIEWER_NEXT_KEY, IDC_VIEWER_PAGE_DOWN, IDC_VIEWER_RETURN})
            click(viewer, id);
        CHECK(wait_window_gone(viewer));
    }
    for (const char* s : {"click | IDC_LIST_LOAD", "wait | 300", "click | IDC_LIST_RUN", "viewer",
                          "repeat | 3 | click | IDC_VIEWER_NEXT_SONG", "click | IDC_VIEWER_RETURN", "gone",
                          "click | IDC_LIST_EXIT", "exit | 0", "missing | temp.cnr"})
        step(parse_cases(s, source)[0]);
    CHECK(list_items(GetDlgItem(windows["home"], IDC_LIST_SONGS)).size() <= 30);
    CHECK(read_file(path_in(app, "songbook.cnr")) == library);
    CHECK(read_file(path_in(app, "songlist.txt")) == songlist);
}

}  // namespace

void register_journeys(const char* suite)
{
    // "<today>" stands for the date as a printed song list is named, "<long date>"
    // for the date as it prints it
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[16], long_date[100] = "";
    snprintf(today, sizeof today, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_LONGDATE, nullptr, nullptr, long_date, sizeof long_date);
    std::vector<Case> steps = parse_cases(source(std::string("tests/gui/journeys/") + suite + ".txt"), source);
    const std::pair<std::string, std::string> dates[] = {{"<today>", today}, {"<long date>", long_date}};
    for (Case& step : steps)
        for (std::string& field : step)
            for (const auto& date : dates)
                for (size_t at; (at = field.find(date.first)) != std::string::npos;)
                    field.replace(at, date.first.size(), date.second);
    for (size_t i = 0; i < steps.size(); i++) {
        if (steps[i][0] != "journey")
            continue;
        size_t end = i + 1;
        while (end < steps.size() && steps[end][0] != "journey")
            end++;
        std::vector<Case> list(steps.begin() + i + 1, steps.begin() + end);
        add_gui_case(suite, steps[i][1], [list] {
            Journey journey;
            for (const Case& s : list)
                journey.step(s);
            if (journey.held != INVALID_HANDLE_VALUE)
                CloseHandle(journey.held);
            app_stop(journey.app);
        });
    }
}
