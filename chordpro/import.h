// ChordPro files and plain chord sheets turned into songs of the library.
#pragma once

#include "store/add_songs.h"

enum {
    IMPORT_FILE_MAX = 1 << 20,     // bytes of one file; a larger one is left out
    IMPORT_POOL_SIZE = 4 << 20,    // body lines of all songs of one import
    IMPORT_TITLE_MAX = 49,         // the home screen hands on at most 49 characters of a title
    IMPORT_ROW_MAX = 99,           // a row of the viewer
    IMPORT_LINE_MAX = 2048         // a longer line of a file is taken in pieces of this size
};

// A file this program exported says so in its first line, "{x_cantoria_columns: exact}":
// its chords stand at the columns of the library's chord rows, and the import
// puts them back there rather than two blanks apart.
#define EXACT_COLUMNS_DIRECTIVE "x_cantoria_columns"

enum ImportFormat {
    FORMAT_GUESS,                  // ChordPro when a directive or an inline chord shows it, else a chord sheet
    FORMAT_CHORDPRO,
    FORMAT_CHORD_SHEET
};

// What became of one file.
enum FileVerdict {
    FILE_READ = 0,                 // its songs are in the batch
    FILE_CANNOT_OPEN,
    FILE_EMPTY,
    FILE_NOT_TEXT,
    FILE_NO_SONG,
    FILE_TOO_LARGE,
    FILE_NO_ROOM                   // the batch is full: no more songs or lines fit
};

// The songs of one import, their body lines in one pool, in the form add_songs
// writes: every line at most 99 characters, only chord rows holding '<', none
// holding ":::::", "#*#*#" or "*****".
struct ImportBatch {
    int song_count;
    NewSong songs[ADD_SONGS_MAX];
    int source[ADD_SONGS_MAX];     // the number of the file each song came from
    int altered[ADD_SONGS_MAX];    // lines whose library marks had to be changed
    int chord_marks[ADD_SONGS_MAX];   // lines not chord rows whose '<' became '\x8B' ('‹')
    int used;
    char pool[IMPORT_POOL_SIZE];
};

struct ImportWork;   // chordpro/import_work.h: the conversion's working memory

void import_batch_reset(ImportBatch* batch);

// The format a file's extension says: .cho, .chordpro, .chopro, .crd and .pro are
// ChordPro; anything else is guessed from the text.
ImportFormat format_of_name(const char* file_name);

// Converts one file's bytes (changed in place while they are decoded) and adds
// all its songs to the batch, or none of them. Text is UTF-8 (with or without a
// byte-order mark), UTF-16 with a byte-order mark, or else Windows-1252; a
// character Windows-1252 cannot hold becomes '?'. file_name (without its folder)
// gives the title of a song that names none; source is stored with each song.
// work is the conversion's working memory, owned by the caller.
FileVerdict convert_song_file(unsigned char* bytes, int len, const char* file_name, ImportFormat format,
                              int source, ImportBatch* batch, ImportWork* work);
