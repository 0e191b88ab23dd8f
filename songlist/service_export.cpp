// "Export List": the song list as one ChordPro file, or one file a song, through the common save dialog.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "chordpro/export.h"
#include "layout/service_pages.h"
#include "shell/shared_state.h"
#include "songlist/service.h"
#include "store/record.h"
#include "store/safe_write.h"

enum { EXPORT_NAME_SIZE = MAX_PATH, EXPORT_MESSAGE_SIZE = MAX_PATH + 200 };

static const char export_caption[] = "EXPORT LIST";
static SongLines export_song;   // one song at a time; 40 KB, too much for the stack
static const char chordpro_filter[] = "ChordPro files (*.cho)\0*.cho;*.chordpro;*.chopro;*.crd\0"
                                      "All files (*.*)\0*.*\0";

// OFN_NOCHANGEDIR: without it the dialog makes the chosen folder the current
// one, and the library, named relative to it, would later be written there.
// For one file a song the name offered is the first song's, and only the folder
// chosen counts: no question about replacing it.
static bool ask_for_file_name(HWND dialog, char* name, int size, const char* offered, bool per_song)
{
    OPENFILENAMEA request;
    ZeroMemory(&request, sizeof request);
    copy_bounded(name, size, offered);
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = chordpro_filter;
    request.nFilterIndex = 1;
    request.lpstrFile = name;
    request.nMaxFile = (DWORD)size;
    request.lpstrDefExt = "cho";
    request.lpstrTitle = per_song ? "Export List: the folder for one file a song" : "Export List";
    request.Flags = (per_song ? 0 : OFN_OVERWRITEPROMPT) | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
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

// Yes: one file for the whole service; No: one file a song; Cancel: nothing.
static int ask_for_form(HWND dialog)
{
    return MessageBoxA(dialog,
                       "Export the song list as one file for the whole service?\r\r"
                       "Yes: one ChordPro file holding every song.\r"
                       "No: one .cho file a song, in a folder you choose, named by running order\r"
                       "(\"01 Amazing Grace.cho\"), for tablet programs that take one song a file.",
                       export_caption, MB_YESNOCANCEL | MB_ICONQUESTION);
}

// The chosen path without its file name: the folder the song files go into.
static void keep_folder(char* path)
{
    char* cut = strrchr(path, '\\');
    if (cut)
        cut[1] = 0;
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
    int form = ask_for_form(dialog);
    if (form == IDCANCEL)
        return;
    bool per_song = form == IDNO;
    char offered[TITLE_SIZE + 16] = "songlist.cho";
    if (per_song) {
        load_song_lines_at(songs[0].title, -1, &export_song);
        song_file_name(1, export_song.spelled, offered, sizeof offered);
    }
    char name[EXPORT_NAME_SIZE];
    if (!ask_for_file_name(dialog, name, sizeof name, offered, per_song))
        return;
    if (names_own_file(name)) {
        MessageBoxA(dialog, "The song list was not exported: that name is one of the program's own\r"
                            "files (SONGBOOK.CNR, OLDBOOK.CNR, TEMP.CNR, SONGLIST.TXT), which an\r"
                            "export must never replace. Choose another name.", export_caption, MB_OK);
        return;
    }
    HCURSOR kept_cursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    char failed[EXPORT_NAME_SIZE] = "";
    int result;
    if (per_song) {
        keep_folder(name);
        result = export_song_files(songs, count, name, &export_song, failed, sizeof failed);
    } else {
        result = export_song_list(songs, count, name, &export_song);
        copy_bounded(failed, sizeof failed, name);
    }
    SetCursor(kept_cursor);
    if (result != 0)
        report_failure(dialog, failed);
}
