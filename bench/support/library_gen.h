// Generated song libraries and ChordPro files of any size, for the benchmarks.
#pragma once

#include <string>

// The title of song i (from 1) of a generated library: "SONG 00001" and so on.
std::string library_title(int i);

// A library as the program keeps it: two comment lines, the plain line
// "Example Song:", then the songs as the rewrite writes them: the title line
// "::::: SONG 00001 ::::: KEY=xx" ending CR CR LF, a line of one blank, then
// chord lines (marked '<') and lyric lines in turn, each with a trailing blank
// and CR LF. A song takes lines_per_song lines with its title line (at least 2).
// 10,000 songs of 40 lines make about 16 MB.
std::string generate_library(int songs, int lines_per_song = 40);

// The title of song i (from 1) of the real-length library: "HYMN 01" and so on.
std::string hymn_title(int i);

// 30 songs of the lengths and widths of a real song book: 40 to 155 rows, in
// verses of a label ("Verse 2:", "Chorus:"), chord rows over lyric rows and a
// blank row; lyric rows 38 to 74 characters wide, every third song one of 92.
std::string generate_hymn_library();

// Writes generate_library(songs) to the named file in binary mode.
void write_library_file(const char* name, int songs);

// The title of generated ChordPro file i (from 1): "IMPORTED SONG 001" and so on.
std::string chordpro_title(int i);

// A ChordPro file as a song service hands one out: title, artist and key, three
// verses and a chorus, their chords inline over every second word; 28 lines.
std::string generate_chordpro_song(int i);
