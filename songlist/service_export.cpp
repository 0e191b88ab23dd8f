// "Export List": the song list as one ChordPro file, through the common save dialog.
#include <windows.h>
#include <commdlg.h>

#include "chordpro/export.h"
#include "layout/service_pages.h"
#include "shell/shared_state.h"
#include "songlist/service.h"
#include "store/record.h"
#include "store/safe_write.h"

enum { EXPORT_NAME_SIZE = MAX_PATH, EXPORT_MESSAGE_SIZE = MAX_PATH + 200 };

static const char export_caption[] = "EXPORT LIST";
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

// The library, its backup and the song list live in the current folder.
static bool names_own_file(const char* name)
{
    char full[EXPORT_NAME_SIZE], folder[EXPORT_NAME_SIZE];
    DWORD full_len = GetFullPathNameA(name, sizeof full, full, nullptr);
    DWORD folder_len = GetCurrentDirectoryA(sizeof folder, folder);
    if (full_len == 0 || full_len >= sizeof full || folder_len == 0 || folder_len >= sizeof folder)
        return false;
    if (folder_len > 3 && (folder[folder_len - 1] == '\\' || folder[folder_len - 1] == '/'))
        folder[folder_len - 1] = 0;
    return is_own_file(full, folder, true);
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
    if (names_own_file(name)) {
        MessageBoxA(dialog, "The song list was not exported: that name is one of the program's own\r"
                            "files (SONGBOOK.CNR, OLDBOOK.CNR, TEMP.CNR, SONGLIST.TXT), which an\r"
                            "export must never replace. Choose another name.", export_caption, MB_OK);
        return;
    }
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    int result = export_song_list(songs, count, name);
    SetCursor(kept_cursor);
    if (result != 0)
        report_failure(dialog, name);
}
