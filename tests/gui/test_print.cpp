// Printing from the viewer to the PDF printer: what lands on paper, pages, Cancel.
#include "tests/gui/harness.h"

#include <cstdio>

#include "resources/resource.h"

// cups-pdf's folder (scripts/cups-start.sh) as Wine sees it
static const char pdf_folder[] = "Z:\\var\\spool\\cups-pdf\\out\\";

// A title of this run only, so that a PDF of another run is never taken for ours.
static std::string run_title(const char* name)
{
    char text[64];
    snprintf(text, sizeof text, "PRINT %s %lu", name, GetCurrentProcessId());
    return text;
}

// cups-pdf names the file after the document, blanks turned into underscores.
static std::string pdf_path(const std::string& title)
{
    std::string name = title;
    for (char& c : name)
        if (c == ' ')
            c = '_';
    return pdf_folder + name + ".pdf";
}

// The PDF's text as pdftotext -layout reads it, or "<missing>". The job is done
// when cups no longer lists it; the text file appears in one step (mv).
static std::string pdf_text(const std::string& title)
{
    std::string pdf = pdf_path(title);
    if (wait_file(pdf, 15000) == "<missing>")
        return "<missing>";
    std::string unix_pdf = "/var/spool/cups-pdf/out/" + pdf.substr(sizeof pdf_folder - 1);
    char out[128];
    snprintf(out, sizeof out, "/tmp/cantoria-print-%lu.txt", GetCurrentProcessId());
    std::string command = std::string("rm -f ") + out + "; for i in $(seq 100); do [ -z \\\"$(lpstat -o)\\\" ] && break; "
                          "sleep 0.1; done; pdftotext -layout " + unix_pdf + " " + out + ".part && mv " + out +
                          ".part " + out;
    if (!run_unix_shell(command))
        return "<no shell>";
    std::string wine_out = std::string("Z:") + out;
    for (char& c : wine_out)
        if (c == '/')
            c = '\\';
    std::string text = wait_file(wine_out, 15000);
    DeleteFileA(wine_out.c_str());
    return text;
}

GUI_TEST(print, probe)
{
    std::string title = run_title("PROBE");
    std::string library = "::::: " + title + " :::::\r\n"
                          "        G       C       D< \r\n"
                          "        SING TO THE MORNING \r\n";
    App app;
    HWND home = app_start_home(app, &library);
    REQUIRE(home);
    HWND viewer = review_song(app, home, title);
    REQUIRE(viewer);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    click(viewer, IDC_VIEWER_NEXT_KEY);
    CHECK_EQ_STR(wait_item_text(viewer, IDC_VIEWER_STEPS, "2"), "2");
    DeleteFileA(pdf_path(title).c_str());
    click(viewer, IDC_VIEWER_PRINT);
    std::string printer;
    CHECK_EQ_INT(press_print_dialog(app.pid, true, &printer), PRINT_DIALOG_PRESSED);
    CHECK_EQ_STR(printer, "PDF");
    std::string text = pdf_text(title);
    printf("%s\n", printable(text).c_str());
    app_stop(app);
}
