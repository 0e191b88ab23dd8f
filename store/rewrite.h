// Songbook rewrite: the editor's song written into the library through a temporary copy.
#pragma once

#include <cstdint>

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "store/record.h"
#include "store/editor_text.h"
#include "store/safe_write.h"

enum {
    SESSION_MESSAGE_SIZE = 400,
    SESSION_NOTE_SIZE = 200,
    MAX_CANDIDATES = 16,
    NUMBERED_TITLES = 100      // "TITLE (2)" to "TITLE (99)"
};

// What one opening of the editor holds: which song its saves replace. It lives
// with the editor's window, so that nothing another window does (a viewer
// stepping through the list, a second editor, a second home screen) changes
// what this editor saves. A song is named by where it stands and what it holds,
// never by its title alone.
struct EditSession {
    char title[TITLE_SIZE];     // the title the editor was opened on; after a save, the title written
    int32_t new_song;           // opened for a new song: nothing is replaced
    int32_t truncated;          // the song did not fit the editor: never saved over
    int32_t holds_song;         // song_pos, song_len and song_hash name a song
    long song_pos;              // byte offset of that song's title record
    long song_len;              // its bytes: the title record through its last line
    uint64_t song_hash;         // a hash of those bytes
    uint64_t shown_hash;        // the boxes as loaded or last saved (editor_text_hash)
    WriteResult write_error;    // why the library could not be written
    char message[SESSION_MESSAGE_SIZE];   // why the last save was refused or went elsewhere
    char note[SESSION_NOTE_SIZE];         // what the loading left out of the editor
};

// The working memory of one save: the library being read and its records.
struct RewriteWork {
    SongFile library;
    char record[RECORD_MAX + 1];
    char title[TITLE_SIZE];                 // the title being written, in capitals
    char key[TITLE_KEY_SIZE];               // that title as the lookup will read it back
    unsigned char chunk[16384];
    long title_at[MAX_CANDIDATES];          // other songs under the title being written
    int titles_taken;
    unsigned char numbers_taken[NUMBERED_TITLES];   // "TITLE (n)" already in the library
};

// A session for an editor opened on title (Edit Song) or for a new song.
void edit_session_start(EditSession* session, const char* title, int new_song);

// Whether the boxes differ from what the editor showed when it loaded or last saved.
bool editor_changed(const EditSession* session, const EditorText* boxes);

// Outcomes of a save; REWRITE_OK and REWRITE_ADDED changed the library.
enum RewriteResult {
    REWRITE_OK = 0,
    REWRITE_ADDED,            // saved as a new song: the song it held was changed elsewhere
    REWRITE_UNCHANGED,        // nothing changed since the loading or the last save: nothing written
    REWRITE_REFUSED,          // the title or a line holds a mark of the library's structure
    REWRITE_TITLE_TAKEN,      // another song of the library has that title
    REWRITE_NO_LIBRARY,       // songbook.cnr cannot be opened for reading
    REWRITE_NOT_WRITTEN,      // the new library could not be written whole (session->write_error)
    REWRITE_TRUNCATED         // the editor holds a song cut short at loading: not saved
};

// Writes the song of the editor's boxes into the library in place of the song
// the session holds, when it still stands in the library as the editor saw it
// (where it was, or moved by a change elsewhere); otherwise as a new song, in
// front of the end-of-book marker or at the end, under the first free title of
// "TITLE (2)", "TITLE (3)", ... when its own is taken. A new song or a rename
// onto a title another song holds is refused. Keeps the old library as
// oldbook.cnr and records the written song in the session, so that the next
// save replaces it. On any failure the library is left exactly as it was and no
// temp.cnr remains.
RewriteResult rewrite_songbook(EditSession* session, const EditorText* boxes, RewriteWork* work);

// Measures the song whose title record starts at byte pos of the open library:
// its length up to the next title line or end-of-book marker, or at the end of
// the file up to the last line feed the readers reach (comment lines behind its
// last line included either way), and a hash of those bytes. Returns
// 0, or -1 when no title record starts there (or on a read error).
int measure_song(RewriteWork* work, long pos, long* len, uint64_t* hash);

// The message shown to the user for a save that was refused, failed or went in
// as a new song.
const char* rewrite_message(RewriteResult result, const EditSession* session);
