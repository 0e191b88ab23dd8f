// Adding songs to the library as new songs, through the same safe replacement as a save.
#pragma once

#include "shell/shared_state.h"
#include "store/rewrite.h"

enum {
    ADD_SONGS_MAX = 2000,    // songs added in one go
    ADD_TITLE_SLOTS = 4096   // open addressing, at most half full
};

// Whether a song's title is free; add_songs writes only the free ones.
enum TitleTaken {
    TITLE_FREE = 0,
    TITLE_IN_LIBRARY,        // the library has a song of this title (as the lookup reads titles)
    TITLE_EARLIER_IN_LIST    // an earlier song of the same list has it
};

struct NewSong {
    char title[TITLE_SIZE];  // written as it stands: upper case, without ':' or the library's marks
    const char* body;        // the body lines, each ending with '\n'; no CR, LF or 0x1A inside a line
    int body_len;
    int taken;               // a TitleTaken, set by add_songs
};

// The working memory of one addition: the new titles as the lookup compares
// them, found by a hash (a library of 10,000 songs is checked against a few
// hundred titles in one reading), and the library being read.
struct AddSongsWork {
    char keys[ADD_SONGS_MAX][TITLE_SIZE];
    int slots[ADD_TITLE_SLOTS];     // index + 1 of a song, 0: empty
    SongFile library;
};

// Adds the songs whose title is free to the library, in their order, each as
// the editor's save writes a new song: the title line "::::: TITLE ::::: KEY=xx"
// (CR CR LF), a line of one blank, then every body line followed by one blank,
// each ending CR LF. They go in front of the first end-of-book marker, or behind
// the last line feed the readers reach; every other byte of the library stays as
// it was. A title the library has before its end-of-book marker, or an earlier
// song of the list has, is never written, so no song is replaced or shadowed.
// One temp.cnr, one backup oldbook.cnr, one replace for all of them; nothing is
// written when no title is free. *added receives the number of songs written
// (0 on any failure, which leaves the library exactly as it was); *why the cause
// when the new library could not be written (REWRITE_NOT_WRITTEN).
RewriteResult add_songs(NewSong* songs, int count, int* added, WriteResult* why, AddSongsWork* work);
