// Tests of the chord-row rule, the placing of the '<' mark and the editor's hint.
#include "transpose/chord_row.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "store/new_library.h"
#include "tests/support/test_files.h"

namespace {

struct RowCase {
    const char* row;
    const char* marked;     // the row after marking; the row itself when it is no chord row
};

const RowCase row_cases[] = {
    // chord rows: the mark takes the blank behind the last chord, or is appended
    {"G   C   D", "G   C   D<"},
    {"   g        e        am7 ", "   g        e        am7<"},
    {"C#m7b5  F/A  G6/9 | N.C. (x2)", "C#m7b5  F/A  G6/9<| N.C. (x2)"},
    {"Cmaj7 Dm(maj7) C7(b9,#11) Csus Asus4 Eadd9 Bb13 Co7 C-7 CM7 F+ Bbm",
     "Cmaj7 Dm(maj7) C7(b9,#11) Csus Asus4 Eadd9 Bb13 Co7 C-7 CM7 F+ Bbm<"},
    {"|: G | C :|", "|: G | C<:|"},
    {"(G)  (Em)\tD2", "(G)  (Em)\tD2<"},
    {"A", "A<"},
    {"Am", "Am<"},
    {"a  d  e", "a  d  e<"},
    {"C69  C6/E  D5", "C69  C6/E  D5<"},
    // rows that hold a mark already are left as they are
    {"G  C<", "G  C<"},
    // lyric rows that come close
    {"A man", nullptr},
    {"Be still", nullptr},
    {"Add it", nullptr},
    {"Em-ma", nullptr},
    {"Am I", nullptr},
    {"a", nullptr},
    {"am", nullptr},
    {"Go tell it", nullptr},
    {"Dad", nullptr},
    {"Ebb", nullptr},
    {"A - men", nullptr},
    {"BE STILL", nullptr},
    {"Intro: G C", nullptr},
    {"G.", nullptr},
    {"Cadd", nullptr},
    {"| : / %", nullptr},
    {"", nullptr},
    {"Gsus4add9x12345678901234", nullptr},
};

TEST(ChordRow, TellsChordRowsFromLyricRowsAndPlacesTheMark)
{
    for (const RowCase& c : row_cases) {
        int len = (int)strlen(c.row);
        const char* want = c.marked ? c.marked : c.row;
        EXPECT_EQ(c.marked != nullptr, looks_like_chord_row(c.row, len)) << c.row;
        char out[200];
        EXPECT_EQ((int)strlen(want), mark_chord_row(c.row, len, out, sizeof out)) << c.row;
        EXPECT_STREQ(want, out);
        // the marked row never goes into a buffer too small for it
        EXPECT_EQ(-1, mark_chord_row(c.row, len, out, (int)strlen(want))) << c.row;
    }
}

// Each row of the songs, its mark taken away: a chord row by the musician's mark.
struct Measure {
    int chord_rows;
    int lyric_rows;
    std::string missed;       // chord rows the rule does not see
    std::string mistaken;     // lyric rows it takes for chord rows
};

void measure_row(const std::string& line, Measure* m)
{
    if (line.empty() || line[0] == ';' || line.find(":::::") != std::string::npos)
        return;
    std::string row = line;
    bool marked = row.find('<') != std::string::npos;
    for (char& c : row)
        if (c == '<')
            c = ' ';
    bool seen = looks_like_chord_row(row.data(), (int)row.size());
    (marked ? m->chord_rows : m->lyric_rows)++;
    if (marked && !seen)
        m->missed += "[" + line + "] ";
    if (!marked && seen)
        m->mistaken += "[" + line + "] ";
}

void measure_text(const std::string& text, Measure* m)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        measure_row(line, m);
        start = end + 1;
    }
}

TEST(ChordRow, MeasuredOnSongsMissesOnlyLabelledRows)
{
    Measure m = {0, 0, "", ""};
    std::string here = __FILE__;
    std::string songs = read_file((here.substr(0, here.rfind('/')) + "/../import/chord_rows.txt").c_str());
    ASSERT_FALSE(songs.empty());
    measure_text(songs, &m);
    TempDir dir;
    FILE* f = fopen("example.cnr", "wb");
    ASSERT_TRUE(f);
    ASSERT_EQ(0, write_example_song(f));
    fclose(f);
    measure_text(read_file("example.cnr"), &m);

    printf("chord-row rule: %d chord rows, %d lyric rows\n  missed: %s\n  mistaken: %s\n", m.chord_rows,
           m.lyric_rows, m.missed.c_str(), m.mistaken.c_str());
    EXPECT_EQ(71, m.chord_rows);
    EXPECT_EQ(82, m.lyric_rows);
    // a word in front of the chords makes a row of words: the musician marks it by hand
    EXPECT_EQ("[Intro: G  C  G  D<] [Chorus: A  E  F#m  D<] ", m.missed);
    // a lone "A" is taken for the chord, as in the row above it
    EXPECT_EQ("[A] ", m.mistaken);
}

struct HintCase {
    const char* text;
    const char* hint;
};

const HintCase hint_cases[] = {
    {"G  C<\r\nla la\r\n", ""},
    {"Verse\r\nG  C  D\r\nla la la", "line 2 looks like chords but has no <"},
    {"G\r\nla\r\nC  D\r\nla\r\nEm\r\nA\r\nB\r\nD\r\nla", "lines 1, 3, 5, 6, 7 and 1 more look like chords but have no <"},
    {"G C\nVerse 1<\nC D<\nla\nIntro: x<",
     "line 1 looks like chords but has no <; line 2 has < but holds words"},
    {"Amazing grace<\r\nBe still<\r\n", "lines 1 and 2 have < but hold words"},
};

TEST(ChordRowHint, NamesUnmarkedChordRowsAndMarkedWords)
{
    for (const HintCase& c : hint_cases) {
        char hint[200];
        chord_row_hint(c.text, (int)strlen(c.text), hint, sizeof hint);
        EXPECT_STREQ(c.hint, hint) << c.text;
        // a short buffer is cut, never overrun
        chord_row_hint(c.text, (int)strlen(c.text), hint, 10);
        EXPECT_LT(strlen(hint), 10u);
    }
}

} // namespace
