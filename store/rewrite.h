// Songbook rewrite: the editor's song written into the library through a temporary copy.
#pragma once

#include <cstdint>
#include <cstdio>

#include "shell/shared_state.h"
#include "store/record.h"

#define TEMP_FILE "temp.cnr"
#define BACKUP_FILE "oldbook.cnr"

enum { SESSION_MESSAGE_SIZE = 400 };

// What one opening of the editor holds: which song its saves replace. It lives
// with the editor's window, so that nothing another window does (a viewer
// stepping through the list, a second editor, a second home screen) changes
// what this editor saves. A song is named by where it stands and what it holds,
// never by its title alone.
struct EditSession {
    char title[TITLE_SIZE];     // the title the editor was opened on, as chosen
    int32_t new_song;           // opened for a new song: nothing is replaced
    int32_t truncated;          // the song did not fit the editor: never saved over
    int32_t holds_song;         // song_pos, song_len and song_hash name a song
    long song_pos;              // byte offset of that song's title record
    long song_len;              // its bytes: the title record through its last line
    uint64_t song_hash;         // a hash of those bytes
    char message[SESSION_MESSAGE_SIZE];   // why the last save was refused or went elsewhere
};

// A session for an editor opened on title (Edit Song) or for a new song.
void edit_session_start(EditSession* session, const char* title, int new_song);

// Outcomes of a save; REWRITE_OK and REWRITE_ADDED changed the library.
enum RewriteResult {
    REWRITE_OK = 0,
    REWRITE_ADDED,            // saved as a new song: the song it held was changed elsewhere
    REWRITE_REFUSED,          // the title or a line holds a mark of the library's structure
    REWRITE_NO_LIBRARY,       // songbook.cnr cannot be opened for reading
    REWRITE_NO_TEMP,          // temp.cnr cannot be created
    REWRITE_WRITE_FAILED,     // a write, the flush or the close of temp.cnr failed (disk full)
    REWRITE_SWAP_FAILED,      // the backup or the swap of the files failed
    REWRITE_TRUNCATED         // the editor holds a song cut short at loading: not saved
};

// Writes the song in the boxes of the editor window into the library in place of
// the song the session holds, when it still stands in the library as the editor
// saw it (where it was, or moved by a change elsewhere); otherwise as a new song,
// in front of the end-of-book marker or at the end. Keeps the old library as
// oldbook.cnr, refills the title list and records the written song in the
// session, so that the next save replaces it. On any failure the library is left
// exactly as it was and no temp.cnr remains.
RewriteResult rewrite_songbook(EditSession* session, UiWindow editor);

// Measures the song whose title record starts at byte pos of the open library:
// its length up to the end of its last line and a hash of those bytes. Returns
// 0, or -1 when no title record starts there (or on a read error).
int measure_song(SongFile* file, long pos, long* len, uint64_t* hash);

// The message shown to the user for a save that was refused, failed or went in
// as a new song.
const char* rewrite_message(RewriteResult result, const EditSession* session);
