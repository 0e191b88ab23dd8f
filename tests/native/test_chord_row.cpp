// The chord-row rule, the placing of the '<' mark and the editor's hint (cases in
// tests/cases/chord_row.txt), and the rule measured on real songs.
#include "transpose/chord_hint.h"
#include "transpose/chord_row.h"

#include <cstring>

#include "store/new_library.h"
#include "tests/support/test_files.h"

namespace {

using ChordRow = InTempDir;

TABLE_TEST(ChordRow, TellsChordRowsFromWordsAndPlacesTheMark, "chord_row", "chord_mark_column")
{
    std::string row = c[0];
    int replaces = 0, column = chord_mark_column(row.c_str(), (int)row.size(), &replaces);
    if (column >= 0)
        row.replace(column, replaces, "<");
    return (looks_like_chord_row(c[0].c_str(), (int)c[0].size()) ? "chords " : "words ") + row;
}

TABLE_TEST(ChordRow, HintsAtUnmarkedChordRowsAndMarkedWords, "chord_row", "chord_row_hint")
{
    char hint[200], cut[10];
    chord_row_hint(c[0].c_str(), (int)c[0].size(), hint, sizeof hint);
    chord_row_hint(c[0].c_str(), (int)c[0].size(), cut, sizeof cut);
    EXPECT_LT(strlen(cut), sizeof cut) << "a short buffer is cut, never overrun";
    return hint;
}

// Each row of real songs, its mark taken away, against the musician's mark: the
// rows the rule misses and the rows of words it takes for chords.
TEST_F(ChordRow, MeasuredOnSongsMissesOnlyLabelledRows)
{
    FILE* f = fopen("example.cnr", "wb");
    ASSERT_EQ(write_example_song(f), 0);
    fclose(f);
    std::string text = source_file("tests/import/chord_rows.txt") + read_file("example.cnr"), missed, mistaken;
    int rows[2] = {0, 0};
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at), row;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line.find(":::::") != std::string::npos)
            continue;
        bool marked = line.find('<') != std::string::npos;
        for (char ch : line)
            row += ch == '<' ? ' ' : ch;
        bool seen = looks_like_chord_row(row.c_str(), (int)row.size());
        rows[marked]++;
        (marked ? missed : mistaken) += marked != seen ? "[" + line + "] " : "";
    }
    EXPECT_EQ(rows[1], 71);
    EXPECT_EQ(rows[0], 82);
    // a word in front of the chords makes a row of words: the musician marks it by hand
    EXPECT_EQ(missed, "[Intro: G  C  G  D<] [Chorus: A  E  F#m  D<] ");
    // a lone "A" is taken for the chord, as in the row above it
    EXPECT_EQ(mistaken, "[A] ");
}

}  // namespace
