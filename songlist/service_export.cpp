// "Export List": the song list as one ChordPro file, through the common save dialog.
#include <windows.h>
#include <commdlg.h>

#include "chordpro/export.h"
#include "layout/service_pages.h"
#include "shell/shared_state.h"
#include "songlist/service.h"
#include "store/record.h"

enum { EXPORT_NAME_SIZE = MAX_PATH, EXPORT_MESSAGE_SIZE = MAX_PATH + 200 };

static const char export_caption[] = "EXPORT LIST";
static SongLines export_song;   // one song at a time; 40 KB, too much for the stack
static const char chordpro_filter[] = "ChordPro files (*.cho)\0*.cho;*.chordpro;*.chopro;*.crd\0"
                                      "All files (*.*)\0*.*\0";

// OFN_NOCHANGEDIR: without it the dialog makes the chosen folder the current
// one, and the library, named relative to it, would later be written there.
static bool ask_for_file_name(HWND dialog, char* name, int size)
{
    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof request);
    copy_bounded(name, size, "songlist.cho");
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = chordpro_filter;
    request.nFilterIndex = 1;
    request.lpstrFile = name;
    request.nMaxFile = (DWORD)size;
    request.lpstrDefExt = "cho";
    request.lpstrTitle = "Export List";
    request.Flags = OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return GetSaveFileNameA(&request) != 0;
}

static void report_failure(HWND dialog, const char* name)
{
    char text[EXPORT_MESSAGE_SIZE];
    wsprintfA(text, "The song list could not be written to\r%.260s\r"
                    "The folder may be read-only or the disk full; nothing was changed there.", name);
    MessageBoxA(dialog, text, export_caption, MB_OK);
}

void export_song_list_as(HWND dialog)
{
    SongListEntry songs[SONG_LIST_SIZE];
    int count = read_service(dialog, songs);
    if (count == 0) {
        MessageBoxA(dialog, "The song list is empty: there is nothing to export.\r"
                            "Choose songs or load a list first.", export_caption, MB_OK);
        return;
    }
    char name[EXPORT_NAME_SIZE];
    if (!ask_for_file_name(dialog, name, sizeof name))
        return;
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int result = export_song_list(songs, count, name, &export_song);
    SetCursor(kept_cursor);
    if (result != 0)
        report_failure(dialog, name);
}
