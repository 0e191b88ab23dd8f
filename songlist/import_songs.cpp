// "Import...": ChordPro files and chord sheets chosen in the open dialog, brought into the library.
#include "songlist/import_songs.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>

#include "chordpro/import_files.h"
#include "resources/resource.h"
#include "shell/shared_state.h"
#include "shell/ui.h"
#include "shell/win_util.h"
#include "store/index.h"

enum {
    CHOSEN_SIZE = 65536,   // the folder and a few thousand file names
    STATUS_SIZE = 64
};

static const char filters[] =
    "ChordPro (*.cho;*.chordpro;*.chopro;*.crd;*.pro)\0*.cho;*.chordpro;*.chopro;*.crd;*.pro\0"
    "Chord sheets (*.txt)\0*.txt\0"
    "All files\0*.*\0";

static char chosen[CHOSEN_SIZE];
static const char* names[IMPORT_FILES_MAX];
static ImportRun run;      // a few megabytes: no stack holds it

// The open dialog, several files at once. OFN_NOCHANGEDIR matters: without it the
// dialog makes the chosen folder the current one, and every later save would
// write "songbook.cnr" there. Returns false when nothing was chosen.
static bool choose_files(HWND dialog, OPENFILENAMEA* ofn)
{
    memset(chosen, 0, sizeof chosen);
    memset(ofn, 0, sizeof *ofn);
    ofn->lStructSize = sizeof *ofn;
    ofn->hwndOwner = dialog;
    ofn->lpstrFilter = filters;
    ofn->nFilterIndex = 1;
    ofn->lpstrFile = chosen;
    ofn->nMaxFile = sizeof chosen;
    ofn->lpstrTitle = "Import Songs";
    ofn->Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                 OFN_HIDEREADONLY;
    if (GetOpenFileNameA(ofn))
        return true;
    if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
        MessageBoxA(dialog, "Too many files were chosen at once.\rImport them in smaller groups.", "IMPORT", MB_OK);
    return false;
}

// One file: its whole path. Several: the folder, a zero, each name and a zero,
// and a second zero at the end. Returns the number of files (names keeps the first
// IMPORT_FILES_MAX of them).
static int split_chosen(const OPENFILENAMEA* ofn, const char** folder)
{
    if (ofn->nFileOffset == 0 || chosen[ofn->nFileOffset - 1] != 0) {
        *folder = "";
        names[0] = chosen;
        return 1;
    }
    *folder = chosen;
    int count = 0;
    for (const char* name = chosen + ofn->nFileOffset; name < chosen + CHOSEN_SIZE && *name;
         name += strlen(name) + 1) {
        if (count < IMPORT_FILES_MAX)
            names[count] = name;
        count++;
    }
    return count;
}

// "Importing 120 of 500" in the home screen's status text, painted at once:
// the import runs on the only thread, so no message would paint it.
static void show_progress(void* context, int done, int total)
{
    HWND status = GetDlgItem((HWND)context, IDC_LIST_STATUS);
    char text[STATUS_SIZE];
    snprintf(text, sizeof text, "Importing %d of %d", done + 1, total);
    SetWindowTextA(status, text);
    UpdateWindow(status);
}

void import_songs(HWND dialog)
{
    OPENFILENAMEA ofn;
    if (!choose_files(dialog, &ofn))
        return;
    const char* folder = "";
    int count = split_chosen(&ofn, &folder);
    char status[STATUS_SIZE];
    get_item_text(dialog, IDC_LIST_STATUS, status, sizeof status);
    HCURSOR before = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    int added = import_song_files(&run, folder, names, count, show_progress, dialog);
    SetCursor(before);
    SetDlgItemTextA(dialog, IDC_LIST_STATUS, status);
    if (added > 0)
        fill_title_list(dialog, LIBRARY_FILE);
    MessageBoxA(dialog, run.summary, "IMPORT", MB_OK);
}
