// The song list as ChordPro, UTF-8, for tablet and desktop chord programs: one file, or one file a song.
#pragma once

#include <cstdio>

#include "shell/shared_state.h"
#include "store/index.h"

// Writes one loaded song, its chords already in its key (song->shown): a
// "{title: ...}" line, then rows 1 on (row 0 is the loader's blank), each
// marked chord row merged into the lyric row beneath it as inline [Chord] marks
// at the columns where the chords stood, a chord row with no lyric row beneath
// as a line of [Chord] marks, every other row as it is. '[', '{', '#' and '\'
// in the words are escaped with a backslash. A song not found gets the comment
// "# Song Not Found" under its title, which importing skips. Returns 0, or -1
// on a write error.
int write_chordpro_song(FILE* out, const SongLines* song, bool found);

// Writes the songs of the list, each loaded and transposed by its key change,
// the line "{x_cantoria_columns: exact}" first and "{new_song}" between them, into a temporary file next to file_name that then
// replaces file_name in one step. Each song is loaded into work, the caller's
// (the viewer's song stays as it is). Returns 0, or -1 with file_name as it was
// and no temporary file left.
int export_song_list(const SongListEntry* songs, int count, const char* file_name, SongLines* work);

// The file name of the song at position (from 1) of the list: "01 Amazing Grace.cho",
// characters a file name cannot hold as '-'.
void song_file_name(int position, const char* title, char* name, int size);

// Writes each song of the list into a file of its own in folder, named by
// song_file_name from its title as the library spells it, each replaced as
// export_song_list replaces its file. Returns 0, or -1 at the first file that
// could not be written (its path left in failed; the files before it written).
int export_song_files(const SongListEntry* songs, int count, const char* folder, SongLines* work, char* failed,
                      int failed_size);
