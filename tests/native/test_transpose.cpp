// Tests of the chord transposer: marked rows rebuilt in place, other rows copied.
#include "transpose/transpose.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "shell/shared_state.h"

namespace {

// Rows in the tables below write a blank as '_', so that columns can be counted.
std::string blanks_from(const char* text)
{
    std::string s(text);
    for (char& c : s)
        if (c == '_')
            c = ' ';
    return s;
}

void set_raw(int row, const char* text)
{
    std::string s = blanks_from(text);
    ASSERT_LT(s.size(), (size_t)LINE_WIDTH);
    memcpy(state.raw_lines[row], s.c_str(), s.size() + 1);
}

// The row's whole text, its trailing blanks included.
std::string shown(int row)
{
    return std::string(state.display_lines[row]);
}

std::string transpose_one(const char* raw, int count)
{
    reset_shared_state();
    set_raw(0, raw);
    state.line_count = 1;
    transpose_song(count);
    return shown(0);
}

struct Example {
    const char* raw;
    int count;
    const char* displayed;   // up to its last non-blank character
    size_t length;           // of the whole text, trailing blanks included
};

const Example examples[] = {
    {"G_______C_______D<", +2, "A_______D_______E", 18},
    {"G_______C_______D<", -5, "D_______G_______A", 18},
    {"Am______F_______C_______G<", +3, "Cm______G#______Eb______Bb", 80},
    {"C#m7____F#m_____B7sus4__E<", +1, "Dm7_____Gm______C7sus4__F", 26},
    {"A_D<", +1, "Bb", 4},
    {"A_D7_G<", +1, "Bb_7_G#", 80},
    {"A__D<", +1, "Bb_Eb", 80},
    {"Ab______Db______Gb______A#<", 0, "G#______C#______F#______Bb", 27},
    {"D#______E#______Cb______Fb<", 0, "XX______XX______XX______XX", 27},
    {"Db______Ab<", +2, "Eb______Bb", 11},
    {"GBm<", 0, "F#m", 4},
    {"Gbass___Ebass<", +2, "Abass___F#bass", 80},
    {"Bbas<", +2, "C#bas", 80},
    {"Cbm<", +1, "XXm", 4},
    {"G/B_____C/G<", +2, "A/B_____D/G", 12},
    {"am______dm______e<", 0, "Am______Dm______E", 18},
    {"(Em)<", +5, "(Am)", 5},
    {"N.C.____G<", +2, "N.D.____A", 10},
    {"__Verse_1<", +2, "__VF#rse", 10},
    {"Gsus4add9x__C<", +2, "A_us4Bdd9x__D", 14},
    {"E<", +12, "E", 2},
    {"A<", -11, "Bb", 80},
    {"G_______C_______D", +2, "G_______C_______D", 17},
    {"Intro:<", +3, "Intro:", 7},
    {"Hm7<", +2, "Hm7", 4},
};

TEST(TransposeSong, BuildsEveryExampleRow)
{
    for (const Example& e : examples) {
        std::string expected = blanks_from(e.displayed);
        expected.resize(e.length, ' ');
        std::string got = transpose_one(e.raw, e.count);
        EXPECT_EQ(got, expected) << e.raw << " at " << e.count;
        EXPECT_EQ(strlen(state.display_lines[0]), e.length) << e.raw << " at " << e.count;
    }
}

// A song of every root the table knows, in both spellings where there are two.
const char* const song[] = {
    "A_______Bb______B_______C_______C#______D<",
    "Eb______E_______F_______F#______G_______G#<",
    "Ab______Db______Gb______A#______D#______H<",
    "lyrics under the chords",
};
const int song_rows = 4;

void load_song_rows()
{
    for (int r = 0; r < song_rows; r++)
        set_raw(r, song[r]);
    state.line_count = song_rows;
}

TEST(TransposeSong, LineCountZeroTouchesNothing)
{
    for (int line_count : {0, -1}) {
        reset_shared_state();
        load_song_rows();
        memset(state.display_lines, 'x', sizeof state.display_lines);
        state.line_count = line_count;
        transpose_song(3);
        for (int r = 0; r < LINE_ROWS; r++)
            for (int i = 0; i < LINE_WIDTH; i++)
                ASSERT_EQ(state.display_lines[r][i], 'x') << line_count << " row " << r;
    }
}

TEST(TransposeSong, SameCountTwiceGivesSameRows)
{
    reset_shared_state();
    load_song_rows();
    transpose_song(4);
    char once[LINE_ROWS][LINE_WIDTH];
    memcpy(once, state.display_lines, sizeof once);
    transpose_song(4);
    EXPECT_EQ(memcmp(once, state.display_lines, sizeof once), 0);
    // the last chord grows over the terminator: the row runs on to 80 columns
    std::string expected = blanks_from("C#______D_______Eb______E_______F_______F#");
    expected.resize(80, ' ');
    EXPECT_EQ(shown(0), expected);
}

TEST(TransposeSong, CountZeroAfterFiveStartsFromTheStoredRows)
{
    reset_shared_state();
    load_song_rows();
    transpose_song(0);
    char at_zero[LINE_ROWS][LINE_WIDTH];
    memcpy(at_zero, state.display_lines, sizeof at_zero);
    transpose_song(5);
    transpose_song(0);
    EXPECT_EQ(memcmp(at_zero, state.display_lines, sizeof at_zero), 0);
    EXPECT_EQ(shown(2), blanks_from("G#______C#______F#______Bb______XX______H_"));
}

TEST(TransposeSong, LeavesRowsBeyondLineCountUntouched)
{
    reset_shared_state();
    load_song_rows();
    memset(state.display_lines, 'x', sizeof state.display_lines);
    state.line_count = 2;
    transpose_song(1);
    EXPECT_EQ(shown(0).substr(0, 2), "Bb");
    for (int r = 2; r < LINE_ROWS; r++)
        for (int i = 0; i < LINE_WIDTH; i++)
            ASSERT_EQ(state.display_lines[r][i], 'x') << "row " << r;
}

TEST(TransposeSong, BuildsNoRowBeyondTheTableForATooLargeLineCount)
{
    reset_shared_state();
    load_song_rows();
    memset(state.line_buf, 'x', sizeof state.line_buf);
    state.line_count = 1000;
    transpose_song(1);
    EXPECT_EQ(shown(LINE_ROWS - 1), "");
    for (int i = 0; i < LINE_BUF_SIZE; i++)
        ASSERT_EQ(state.line_buf[i], 'x') << i;
}

TEST(TransposeSong, CountsOutsideTheTableActLikeTheirOctaveEquivalent)
{
    struct Case {
        int count;
        int same_as;
    };
    const Case cases[] = {
        {14, 2},  {25, 1},   {-13, -1},  {-24, 0},    {-25, -1},
        {100, 4}, {-100, -4}, {INT_MAX, 7}, {INT_MIN, -8}, {INT_MIN + 1, -7},
    };
    for (const Case& c : cases) {
        reset_shared_state();
        load_song_rows();
        transpose_song(c.same_as);
        char expected[LINE_ROWS][LINE_WIDTH];
        memcpy(expected, state.display_lines, sizeof expected);
        transpose_song(c.count);
        EXPECT_EQ(memcmp(expected, state.display_lines, sizeof expected), 0) << c.count;
    }
    // the ends of the table itself: G# at +13 and A at -12 are both A
    EXPECT_EQ(transpose_one("G#<", 13), blanks_from("A__"));
    EXPECT_EQ(transpose_one("A_<", -12), blanks_from("A__"));
    EXPECT_EQ(transpose_one("A__E_<", INT_MIN), blanks_from("C#_G#_"));
}

TEST(TransposeSong, BlanksAMarkAShrunkChordDoesNotReach)
{
    EXPECT_EQ(transpose_one("F#<", 1), blanks_from("G__"));
    EXPECT_EQ(transpose_one("C#m7<_F#<", 1), blanks_from("Dm7___G__"));
}

TEST(TransposeSong, CutsAChordAtTheRowsLastCharacter)
{
    std::string raw(95, ' ');
    raw += "Am7<";
    std::string expected(95, ' ');
    expected += "Bbm7";
    EXPECT_EQ(transpose_one(raw.c_str(), 1), expected);
    EXPECT_EQ(state.display_lines[0][LINE_WIDTH - 1], 0);
}

TEST(TransposeSong, RewritesAChordAlikeInEveryColumnWhereItFits)
{
    // a grown chord, a shrunk one and a mark: "A D7  C#m7<" at +1
    for (int column = 0; column + 12 <= LINE_WIDTH - 1; column++) {
        std::string raw = std::string(column, ' ') + "A  D7  C#m7<";
        std::string expected = std::string(column, ' ') + "Bb Eb7 Dm7  ";
        EXPECT_EQ(transpose_one(raw.c_str(), 1), expected) << column;
    }
}

TEST(TransposeSong, LeavesNoBytesOfAnEarlierLongerRow)
{
    reset_shared_state();
    state.line_count = 1;
    set_raw(0, (std::string(90, '_') + "C#m7sus4<").c_str());
    transpose_song(0);
    EXPECT_EQ(strlen(state.display_lines[0]), 99u);

    // 80 blanks and a chord that grows over the terminator: the text ends with it
    set_raw(0, (std::string(80, '_') + "A<").c_str());
    transpose_song(1);
    EXPECT_EQ(shown(0), std::string(80, ' ') + "Bb ");
    for (int i = 83; i < LINE_WIDTH; i++)
        ASSERT_EQ(state.display_lines[0][i], 0) << i;
}

TEST(TransposeSong, CopiesAtMost99CharactersOfAnUnterminatedRow)
{
    reset_shared_state();
    memset(state.raw_lines[0], 'x', LINE_WIDTH);
    state.line_count = 1;
    transpose_song(2);
    EXPECT_EQ(shown(0), std::string(99, 'x'));
}

TEST(ChordLength, CountsUpToTheFirstBlankTerminatorOrMark)
{
    struct Case {
        const char* text;
        int length;
    };
    const Case cases[] = {
        {"Am7 G", 3}, {"G<", 1}, {"Dm", 2}, {"", 0}, {" G", 0}, {"<", 0},
        {"G/B\tC ", 5}, {"Gsus4add9 ", 9}, {"Gsus4add9x", 1}, {"Gsus4add9x ", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chord_length(c.text), c.length) << c.text;
}

TEST(PutChord, WritesTheCharactersOnlyAndStopsAtTheLastCharacter)
{
    char row[LINE_WIDTH];
    memset(row, '-', sizeof row);
    row[10] = 0;
    put_chord(row, "Bbm ", 2);
    EXPECT_EQ(std::string(row), "--Bbm ----");

    memset(row, '-', sizeof row);
    row[LINE_WIDTH - 1] = 0;
    put_chord(row, "Bbm7 ", 96);
    EXPECT_EQ(std::string(row + 94), "--Bbm");
    EXPECT_EQ(row[LINE_WIDTH - 1], 0);
}

}  // namespace
