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

std::string chordpro_title(int i)
{
    char title[32];
    snprintf(title, sizeof title, "IMPORTED SONG %03d", i);
    return title;
}

static const char* const inline_chords[] = {"G", "D/F#", "Em7", "Csus2", "Am", "Bb", "F#m", "Ebmaj7"};

// A lyric row with a chord in front of every second word.
static void append_chord_line(std::string& out, int k)
{
    const char* lyric = lyric_rows[k % 5];
    int word = 0;
    bool at_word_start = true;
    for (const char* p = lyric; *p; p++) {
        if (at_word_start && *p != ' ') {
            if (word % 2 == 0)
                out += std::string("[") + inline_chords[(k + word) % 8] + "]";
            word++;
        }
        at_word_start = *p == ' ';
        out += *p;
    }
    out += "\n";
}

std::string generate_chordpro_song(int i)
{
    std::string out = "{title: Imported Song " + chordpro_title(i).substr(14) + "}\n";
    out += "{artist: The Morning Choir}\n{key: G}\n\n";
    for (int part = 0; part < 4; part++) {
        out += part == 2 ? "{start_of_chorus}\n" : "{comment: Verse}\n";
        for (int line = 0; line < 4; line++)
            append_chord_line(out, i + part * 4 + line);
        out += part == 2 ? "{end_of_chorus}\n\n" : "\n";
    }
    return out;
}

std::string hymn_title(int i)
{
    char title[32];
    snprintf(title, sizeof title, "HYMN %02d", i);
    return title;
}

static const char* const hymn_words[] = {
    "Morning has broken like the first morning, blackbird has spoken",
    "Praise for the singing, praise for the morning, praise for them springing",
    "All through the night the stars keep their watch over the valley",
    "Come to the water, all who are thirsty, come and be filled",
};

std::string generate_hymn_library()
{
    std::string out = ";Cantoria song library\r\n";
    for (int i = 1; i <= 30; i++) {
        out += "::::: " + hymn_title(i) + " :::::\r\n \r\n";
        int rows = 40 + (i - 1) * 115 / 29;
        for (int row = 2, verse = 1; row < rows; row++) {
            int at = (row - 2) % 10, k = i + row;
            if (at == 0)
                out += verse % 3 == 0 ? "Chorus:" : "Verse " + std::to_string(verse) + ":";
            else if (at == 9)
                out += " ", verse++;
            else if (at % 2 == 1)
                out += chord_rows[k % 4];
            else if (i % 3 == 0 && at == 4)
                out += std::string(hymn_words[k % 4]).substr(0, 60) + ", and all the hills ring out with it";
            else
                out += std::string(hymn_words[k % 4]).substr(0, 38 + (size_t)(k * 7) % 37);
            out += "\r\n";
        }
    }
    return out;
}
