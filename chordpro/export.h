// The song list as one ChordPro file, UTF-8, for tablet and desktop chord programs.
#pragma once

#include <cstdio>

#include "shell/shared_state.h"
#include "store/index.h"

// Writes one loaded song, its chords already in its key (song->shown): a
// "{title: ...}" line, then rows 1 on (row 0 is the loader's blank), each
// marked chord row merged into the lyric row beneath it as inline [Chord] marks
// at the columns where the chords stood, a chord row with no lyric row beneath
// as a line of [Chord] marks, every other row as it is. A song not found gets
// "{comment: Song Not Found}" under its title. Returns 0, or -1 on a write error.
int write_chordpro_song(FILE* out, const SongLines* song, bool found);

// Writes the songs of the list, each loaded and transposed by its key change,
// "{new_song}" between them, into a temporary file next to file_name that then
// replaces file_name in one step. Each song is loaded into work, the caller's
// (the viewer's song stays as it is). Returns 0, or -1 with file_name as it was
// and no temporary file left.
int export_song_list(const SongListEntry* songs, int count, const char* file_name, SongLines* work);
