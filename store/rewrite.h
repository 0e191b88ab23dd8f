// Songbook rewrite: the editor's song written into the library through a temporary copy.
#pragma once

#include <cstdio>

#include "shell/shared_state.h"

#define TEMP_FILE "temp.cnr"
#define BACKUP_FILE "oldbook.cnr"

// Outcomes of a save; REWRITE_OK is the only one that changed the library.
enum RewriteResult {
    REWRITE_OK = 0,
    REWRITE_NO_LIBRARY,       // songbook.cnr cannot be opened for reading
    REWRITE_NO_TEMP,          // temp.cnr cannot be created
    REWRITE_WRITE_FAILED,     // a write, the flush or the close of temp.cnr failed (disk full)
    REWRITE_SWAP_FAILED,      // the backup or the swap of the files failed
    REWRITE_TRUNCATED         // the editor holds a song cut short at loading: not saved
};

// Writes the editor's song (title box and text box of the editor window) into
// the library in place of the song the editor holds (state.edit_song_pos, else
// the first song titled state.current_title), or as a new song; keeps the old
// library as oldbook.cnr and refills the title list. On any failure the library
// is left exactly as it was and no temp.cnr remains.
RewriteResult rewrite_songbook(UiWindow editor);

// Writes the body of the editor's song: a single blank line, then every line of
// the text box followed by one blank, each ending CR LF. Returns 0, or -1 when a
// write failed.
int write_song_body(UiWindow editor, char* line_buf, FILE* out);

// The message shown to the user for a failed save.
const char* rewrite_message(RewriteResult result);
