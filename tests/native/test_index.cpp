// Tests of the title index, the song lookup and loading, and the markup filter.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/library_gen.h"
#include "tests/support/test_files.h"

namespace {

class IndexTest : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

std::vector<std::string> listed(const std::string& library, int show_hidden)
{
    write_file(LIBRARY_FILE, library);
    state.show_hidden = show_hidden;
    fill_title_list(nullptr, LIBRARY_FILE);
    std::vector<std::string> titles;
    for (int i = 0; i < fake_ui.title_count; i++)
        titles.push_back(fake_title(i));
    return titles;
}

// Looks the title up in the library; returns find_song's result and the next
// record (the first body line when found).
int look_up(const std::string& library, const char* title, std::string* next = nullptr)
{
    write_file(LIBRARY_FILE, library);
    copy_bounded(state.current_title, TITLE_SIZE, title);
    SongFile file;
    EXPECT_EQ(song_file_open(&file, LIBRARY_FILE), 0);
    int found = find_song(&file);
    if (next)
        *next = read_record(&file, state.line_buf) == 0 ? state.line_buf : "<end>";
    song_file_close(&file);
    return found;
}

std::vector<std::string> loaded(const std::string& library, const char* title)
{
    write_file(LIBRARY_FILE, library);
    copy_bounded(state.current_title, TITLE_SIZE, title);
    load_song();
    std::vector<std::string> rows;
    for (int i = 0; i < state.line_count; i++) {
        EXPECT_STREQ(state.display_lines[i], state.raw_lines[i]) << "row " << i;
        rows.push_back(state.raw_lines[i]);
    }
    return rows;
}

typedef std::vector<std::string> Rows;

const char TWO_SONGS[] =
    ";comment\r\nExample Song:\r\n"
    "::::: Amazing grace ::::: KEY=xx\r\r\n \r\nG  C <\r\nAmazing grace \r\n"
    "::::: Be Thou My Vision ::::: KEY=xx\r\r\n \r\nTen \r\n";

// Suites named after the function under test, all in a fresh folder.
class FillTitleList : public IndexTest {};
class FindSong : public IndexTest {};
class LoadSong : public IndexTest {};

}  // namespace

TEST_F(FillTitleList, ListsTitlesAsTheyStandInTheFile)
{
    EXPECT_EQ(listed(TWO_SONGS, 0), (Rows{"Amazing grace ", "Be Thou My Vision "}));
    EXPECT_EQ(fake_ui.title_resets, 1);
    EXPECT_EQ(fake_ui.title_done, 1);
}

TEST_F(FillTitleList, ListsEveryLineKind)
{
    struct Case { const char* library; Rows hidden_off; Rows hidden_on; };
    const Case cases[] = {
        {"::::: A :::::\n::::: A :::::\n", {"A ", "A "}, {"A ", "A "}},
        {"::::: /Secret :::::\n::::: Open\n", {"Open"}, {"/Secret ", "Open"}},
        {"***** Word *****\n", {" Word "}, {" Word "}},
        {"text *****\n", {""}, {""}},
        {"******* x\n", {" x"}, {" x"}},
        {"::::: T ::::: ***** After *****\n", {"T "}, {"T "}},
        {"***** Before ***** ::::: T :::::\n", {"T ", " Before "}, {"T ", " Before "}},
        {"***** /H ***** ::::: /T :::::\n", {" /H "}, {"/T ", " /H "}},
        {"x:::::::  Title:rest\n", {"Title"}, {"Title"}},
        {":::::  :::::\n", {":"}, {":"}},
        {";::::: Comment :::::\n ;::::: Seen :::::\n", {"Seen "}, {"Seen "}},
        {"::::: A :::::\n#*#*#\n::::: B :::::\n***** H *****\n", {"A "}, {"A "}},
        {"::::: A #*#*# :::::\n::::: B :::::\n", {}, {}},
        {"::::: Unterminated", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(listed(c.library, 0), c.hidden_off) << c.library;
        EXPECT_EQ(listed(c.library, 1), c.hidden_on) << c.library;
    }
}

TEST_F(FillTitleList, WithoutLibraryLeavesTheListEmpty)
{
    ui_title_list_add(nullptr, "stale");
    fill_title_list(nullptr, LIBRARY_FILE);
    EXPECT_EQ(fake_ui.title_count, 0);
    EXPECT_EQ(fake_ui.title_resets, 1);
    EXPECT_EQ(fake_ui.title_done, 1);
    EXPECT_EQ(fake_ui.status_sets, 0);
}

TEST_F(FindSong, IgnoresCaseAndTrailingBlanksOnBothSides)
{
    std::string next;
    EXPECT_EQ(look_up("::::: amazing Grace   ::::: KEY=xx\r\r\nfirst\r\n", "Amazing GRACE\t", &next), -1);
    // a tab is no blank: it stays part of the title
    EXPECT_STREQ(state.current_title, "AMAZING GRACE\t");
    EXPECT_EQ(look_up("::::: amazing Grace   ::::: KEY=xx\r\r\nfirst\r\n", "Amazing GRACE  ", &next), 0);
    EXPECT_STREQ(state.current_title, "AMAZING GRACE");
    EXPECT_EQ(next, "first");
    EXPECT_STREQ(fake_ui.status, " ");
}

TEST_F(FindSong, TakesTheFirstOfTwoAlikeTitles)
{
    std::string next;
    EXPECT_EQ(look_up("::::: Same :::::\none\n::::: SAME :::::\ntwo\n", "same", &next), 0);
    EXPECT_EQ(next, "one");
}

TEST_F(FindSong, ReportsSongNotFound)
{
    const char* const libraries[] = {
        "***** Word *****\n",                          // a heading entry is no title
        "::::: A :::::\n#*#*#\n::::: Word :::::\n",    // behind the end-of-book marker
        "Word\n;::::: Word :::::\n",                    // plain and comment lines
        "",
    };
    for (const char* library : libraries) {
        fake_ui_reset();
        EXPECT_EQ(look_up(library, " Word "), -1) << library;
        EXPECT_STREQ(fake_ui.status, "Song Not Found") << library;
        EXPECT_EQ(fake_ui.status_sets, 1);
    }
}

TEST_F(FindSong, TakesHiddenTitlesWithTheirSlash)
{
    state.show_hidden = 0;
    EXPECT_EQ(look_up("::::: /Secret ::::: KEY=xx\r\r\n", "/secret"), 0);
    EXPECT_EQ(look_up("::::: /Secret ::::: KEY=xx\r\r\n", "secret"), -1);
}

TEST_F(LoadSong, PutsABlankRowAboveTheBody)
{
    EXPECT_EQ(loaded(TWO_SONGS, "amazing grace"), (Rows{" ", " ", "G  C <", "Amazing grace "}));
    EXPECT_EQ(loaded(TWO_SONGS, "Be thou my vision "), (Rows{" ", " ", "Ten "}));
    EXPECT_STREQ(fake_ui.status, " ");
}

TEST_F(LoadSong, StopsAtTheMarks)
{
    EXPECT_EQ(loaded("::::: A :::::\none\n#*#*#\nafter\n", "A"), (Rows{" ", "one"}));
    EXPECT_EQ(loaded("::::: A :::::\n::::: B :::::\nb\n", "A"), (Rows{" "}));
    EXPECT_EQ(loaded("::::: A :::::\nkept\n***** H *****\nlast", "A"), (Rows{" ", "kept", "***** H *****"}));
}

TEST_F(LoadSong, CleansMarkupFromEveryLine)
{
    EXPECT_EQ(loaded("::::: A :::::\n\\pard Rock & roll\\par\\par\n", "A"), (Rows{" ", " Rock  roll\\par"}));
}

TEST_F(LoadSong, NotFoundLeavesOneBlankRow)
{
    EXPECT_EQ(loaded(TWO_SONGS, "Missing"), (Rows{" "}));
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
    // a longer song loaded before leaves no rows behind
    loaded(TWO_SONGS, "Amazing Grace");
    EXPECT_EQ(loaded(TWO_SONGS, "Missing"), (Rows{" "}));
}

TEST_F(LoadSong, WithoutLibraryIsASongNotFound)
{
    copy_bounded(state.current_title, TITLE_SIZE, "amazing grace ");
    state.line_count = 7;
    load_song();
    EXPECT_EQ(state.line_count, 1);
    EXPECT_STREQ(state.raw_lines[0], " ");
    EXPECT_STREQ(state.display_lines[0], " ");
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
    EXPECT_STREQ(state.current_title, "AMAZING GRACE");
    EXPECT_FALSE(file_exists(LIBRARY_FILE));
}

TEST_F(LoadSong, Keeps199BodyLinesOf99Characters)
{
    std::string library = "::::: Long :::::\n";
    for (int i = 1; i <= 250; i++)
        library += "line " + std::to_string(i) + std::string(150, 'x') + "\n";
    memcpy(state.display_lines[199], "untouched", 10);
    Rows rows = loaded(library, "long");
    ASSERT_EQ(state.line_count, 200);
    EXPECT_EQ(rows[1], "line 1" + std::string(93, 'x'));
    EXPECT_EQ(rows[199], "line 199" + std::string(91, 'x'));
}

TEST_F(LoadSong, FindsTheLastSongOfALargeLibrary)
{
    Rows rows = loaded(generate_library(300, 10), library_title(300).c_str());
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[1], " ");
    EXPECT_NE(rows[2].find('<'), std::string::npos);
}

TEST(StripMarkup, RemovesTheFirstOfEachWordThenEveryAmpersand)
{
    struct Case { const char* line; const char* cleaned; };
    const Case cases[] = {
        {"\\pard\\par x", " x"},               // "\pard" goes first, then "\par" is found
        {"\\par a \\par b", " a \\par b"},     // only the first occurrence
        {"\\nowidctlpar x", " x"},             // before "\now" could take its start
        {"\\nowidctlpar\\now x", " x"},
        {"\\f01 \\tab\\tab end\\page", "1 \\tab end"},
        {"a & b", "a  b"},
        {"&&\\pard&", ""},
        {"\\Par \\PARD", "\\Par \\PARD"},
        {"", ""},
    };
    for (const Case& c : cases) {
        copy_bounded(state.line_buf, LINE_BUF_SIZE, c.line);
        strip_markup();
        EXPECT_STREQ(state.line_buf, c.cleaned) << c.line;
    }
}

TEST(ClearDisplayLines, EmptiesAll200Rows)
{
    for (int row = 0; row < LINE_ROWS; row++)
        copy_bounded(state.display_lines[row], LINE_WIDTH, "xy");
    clear_display_lines();
    for (int row = 0; row < LINE_ROWS; row++)
        EXPECT_EQ(state.display_lines[row][0], 0) << row;
}
