// Generated song libraries of any size, for the benchmarks.
#include "bench/support/library_gen.h"

#include <cstdio>

static const char* const chord_rows[] = {
    "G          D/F#       Em      C    <",
    "Am7     D7        G    Bb     F  C <",
    "C#m       A       E      B/D#  F#m7<",
    "Eb     Ab/C    Bb      Gm7  Cm  F  <",
};

static const char* const lyric_rows[] = {
    "Through every season of the year we sing",
    "Sing of mercy, sing of grace along the way",
    "When the evening shadows fall and all is still",
    "Come and gather, young and old, at the table",
    "Morning breaks upon the hills and light",
};

std::string library_title(int i)
{
    char title[32];
    snprintf(title, sizeof title, "SONG %05d", i);
    return title;
}

static void append_song(std::string& out, int number, int lines_per_song)
{
    out += "::::: ";
    out += library_title(number);
    out += " ::::: KEY=xx\r\r\n";
    out += " \r\n";
    for (int line = 2; line < lines_per_song; line++) {
        int k = number + line;
        out += (line % 2 == 0) ? chord_rows[k % 4] : lyric_rows[k % 5];
        out += " \r\n";
    }
}

std::string generate_library(int songs, int lines_per_song)
{
    if (lines_per_song < 2)
        lines_per_song = 2;
    std::string out;
    out.reserve((size_t)songs * (size_t)lines_per_song * 44 + 256);
    out += ";Cantoria song library\r\n";
    out += ";Each song starts with a title line between colon runs\r\n";
    out += "Example Song:\r\n";
    for (int i = 1; i <= songs; i++)
        append_song(out, i, lines_per_song);
    return out;
}

void write_library_file(const char* name, int songs)
{
    std::string bytes = generate_library(songs);
    FILE* f = fopen(name, "wb");
    if (!f)
        return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}
