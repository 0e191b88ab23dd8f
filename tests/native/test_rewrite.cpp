// Tests of saving a song: the library rewritten around the edited song, and the editor's loading.
#include "store/rewrite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const EDITOR = (UiWindow)0x4017;

// tests/golden/<name>.<kind>.cnr, found from this file's own place in the tree
std::string golden(const char* name, const char* kind)
{
    std::string here = __FILE__;
    std::string path = here.substr(0, here.rfind('/')) + "/../golden/" + name + "." + kind + ".cnr";
    return read_file(path.c_str());
}

// A title line and a body as the rewrite writes them.
std::string title_line(const char* title)
{
    return std::string("::::: ") + title + " ::::: KEY=xx\r\r\n";
}

std::string body(std::initializer_list<const char*> lines)
{
    std::string out = " \r\n";
    for (const char* line : lines)
        out += std::string(line) + " \r\n";
    return out;
}

const std::string HEAD = ";library\r\nExample Song:\r\n";
const std::string SONG_A = "::::: ABIDE WITH ME :::::\r\nabide\r\n";
const std::string SONG_B = "::::: BE STILL :::::\r\nbe still\r\n";
const std::string SONG_C = "::::: CROWN HIM :::::\r\ncrown\r\n";
const std::string MARKER = "#*#*# end #*#*#\r\n";

// The editor opened last; the fake has one set of boxes, which a test fills
// before each save of whichever session it saves.
EditSession editor;

// Opens an editor as the song list dialog does: Edit Song with the title as the
// title list shows it, or New Song with "songnew" and the template's boxes.
void open_editor(const char* title, EditSession* session = &editor)
{
    edit_session_start(session, title, strcmp(title, "songnew") == 0);
    ui_editor_set_title(EDITOR, "Name");
    ui_editor_set_text(EDITOR, "Edit");
    if (!session->new_song)
        load_song_for_editing(EDITOR, session);
}

RewriteResult save(const char* box_title, const char* box_text, EditSession* session = &editor)
{
    if (box_title)
        ui_editor_set_title(EDITOR, box_title);
    if (box_text)
        ui_editor_set_text(EDITOR, box_text);
    return rewrite_songbook(session, EDITOR);
}

class SaveTest : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
        state.editor_dialog = EDITOR;
    }
};

// A library before, an edit, the library after, byte for byte.
struct GoldenCase {
    const char* name;          // tests/golden/<name>.before.cnr and .after.cnr
    const char* open_title;    // as the title list shows it; "songnew" for New Song
    const char* box_title;     // the title box at the saves; nullptr: as opened
    const char* text;          // the text box at the first save; nullptr: as loaded
    const char* second_text;   // a second save from the same opening; nullptr: none
};

const GoldenCase golden_cases[] = {
    {"example_saved_back", "AMAZING MORNING ", nullptr, nullptr, nullptr},
    {"lower_case_new_song", "songnew", "evening hymn", "c   g<\r\nabide with me", nullptr},
    {"empty_text_box", "BE STILL ", nullptr, "", nullptr},
    {"end_of_book_new_song", "songnew", "Newer Song", "new words", nullptr},
    {"end_of_book_replace_last", "BE STILL ", nullptr, "Be still, my soul:\r\nthe Lord is on thy side", nullptr},
    {"two_saves_edit", "BE STILL ", nullptr, "first text", "second text"},
    {"two_saves_new_song", "songnew", "Morning Praise", "first words", "second words\r\n"},
    {"renamed_onto_existing", "BE THOU MY VISION ", "amazing grace", "renamed, saved once", "renamed, saved twice"},
    {"duplicate_titles", "holy holy", nullptr, "replaced", nullptr},
    {"comments_and_long_lines", "EDIT ME", nullptr, "new line", nullptr},
    {"stray_crs", "TWO", nullptr, "new", nullptr},
    {"unterminated_last_line_replace", "ZION", nullptr, "new zion", nullptr},
    {"unterminated_last_line_new_song", "songnew", "added", "added words", nullptr},
    {"ctrl_z_tail_new_song", "songnew", "Added", "added words", nullptr},
    {"ctrl_z_tail_replace", "BE STILL ", nullptr, "changed", nullptr},
    {"not_found_added", "Missing Song", nullptr, "typed in\r\nby hand", nullptr},
    {"empty_title_noname", "ABIDE WITH ME ", "   ", "no title", nullptr},
};

class RewriteSongbookGolden : public SaveTest, public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(RewriteSongbookGolden, WritesTheLibraryByteForByte)
{
    const GoldenCase& c = GetParam();
    std::string before = golden(c.name, "before");
    std::string after = golden(c.name, "after");
    ASSERT_FALSE(before.empty()) << c.name;
    ASSERT_FALSE(after.empty()) << c.name;
    write_file(LIBRARY_FILE, before);

    open_editor(c.open_title);
    ASSERT_EQ(REWRITE_OK, save(c.box_title, c.text));
    std::string first = read_file(LIBRARY_FILE);
    if (c.second_text) {
        ASSERT_EQ(REWRITE_OK, save(nullptr, c.second_text));
        EXPECT_EQ(first, read_file(BACKUP_FILE));
    } else {
        EXPECT_EQ(before, read_file(BACKUP_FILE));
    }
    EXPECT_EQ(after, read_file(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(TEMP_FILE));
}

INSTANTIATE_TEST_SUITE_P(Golden, RewriteSongbookGolden, ::testing::ValuesIn(golden_cases),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; p++)
                                 if (*p != '_')
                                     name += *p;
                             return name;
                         });

using RewriteSongbook = SaveTest;

TEST_F(RewriteSongbook, LeavesEditorHoldingTheWrittenSong)
{
    write_file(LIBRARY_FILE, HEAD + SONG_A + SONG_B);
    open_editor("BE STILL ");
    ASSERT_EQ(REWRITE_OK, save("  be quiet", "x"));
    std::string lib = read_file(LIBRARY_FILE);
    EXPECT_EQ(HEAD + SONG_A + title_line("  BE QUIET") + body({"x"}), lib);
    EXPECT_EQ((long)(HEAD + SONG_A).size(), editor.song_pos);
    EXPECT_STREQ("BE QUIET", state.current_title);
    // the title list was refilled from the new library
    ASSERT_EQ(2, fake_ui.title_count);
    EXPECT_STREQ("BE QUIET ", fake_title(1));
}

TEST_F(RewriteSongbook, DropsBytesThatWouldSplitTheTitleLineOrEndTheLibrary)
{
    write_file(LIBRARY_FILE, HEAD + SONG_A);
    open_editor("songnew");
    ASSERT_EQ(REWRITE_OK, save("new\r\nsong\x1A", "one\x1Atwo"));
    std::string first = read_file(LIBRARY_FILE);
    EXPECT_EQ(HEAD + SONG_A + title_line("NEWSONG") + body({"onetwo"}), first);
    ASSERT_EQ(REWRITE_OK, save(nullptr, nullptr));
    EXPECT_EQ(first, read_file(LIBRARY_FILE));
}

TEST_F(RewriteSongbook, NewSongNeverReplacesASongOfTheSameTitle)
{
    write_file(LIBRARY_FILE, HEAD + SONG_B);
    open_editor("songnew");
    ASSERT_EQ(REWRITE_OK, save("be still", "another"));
    EXPECT_EQ(HEAD + SONG_B + title_line("BE STILL") + body({"another"}), read_file(LIBRARY_FILE));
}

TEST_F(RewriteSongbook, SongBehindTheMarkerIsNotReplacedButAddedInFront)
{
    std::string hidden = "::::: HIDDEN :::::\r\nhidden\r\n";
    write_file(LIBRARY_FILE, HEAD + SONG_A + MARKER + hidden);
    open_editor("HIDDEN");
    EXPECT_EQ(0, editor.holds_song);
    ASSERT_EQ(REWRITE_OK, save(nullptr, "typed"));
    EXPECT_EQ(HEAD + SONG_A + title_line("HIDDEN") + body({"typed"}) + MARKER + hidden, read_file(LIBRARY_FILE));
}

TEST_F(RewriteSongbook, NewSongGoesInFrontOfTheFirstMarker)
{
    write_file(LIBRARY_FILE, HEAD + MARKER + SONG_A + MARKER);
    open_editor("songnew");
    ASSERT_EQ(REWRITE_OK, save("first", "a"));
    EXPECT_EQ(HEAD + title_line("FIRST") + body({"a"}) + MARKER + SONG_A + MARKER, read_file(LIBRARY_FILE));
}

TEST_F(RewriteSongbook, TitleInTheSecondPieceOfALongLineIsReplacedWithoutNewRecords)
{
    // the reader cuts the 991 z's off as a record of song A; the rewrite starts
    // the new title right there, so song A keeps exactly its records
    std::string zs(RECORD_MAX, 'z');
    write_file(LIBRARY_FILE, "::::: A :::::\r\n" + zs + "::::: B :::::\r\nold b\r\n" + SONG_C);
    open_editor("B");
    EXPECT_EQ((long)(15 + RECORD_MAX), editor.song_pos);
    ASSERT_EQ(REWRITE_OK, save(nullptr, "new b"));
    EXPECT_EQ("::::: A :::::\r\n" + zs + title_line("B") + body({"new b"}) + SONG_C, read_file(LIBRARY_FILE));
}

// The library changed between the opening of the editor on BE STILL and its
// save: the song is replaced only while its bytes stand whole somewhere; else the
// editor's song is added and the changed song kept as it is.
struct ChangedCase {
    const char* what;
    std::string meanwhile;
    RewriteResult result;
    std::string after;
};

TEST_F(RewriteSongbook, SongChangedElsewhereIsNeverOverwritten)
{
    const std::string mine = title_line("BE STILL") + body({"mine"});
    const std::string b_changed = "::::: BE STILL :::::\r\nbe calm\r\n";
    const std::string b_renamed = "::::: BE QUIET :::::\r\nbe still\r\n";
    const ChangedCase cases[] = {
        {"unchanged", HEAD + SONG_A + SONG_B + SONG_C, REWRITE_OK, HEAD + SONG_A + mine + SONG_C},
        {"moved by a line in front", ";x\r\n" + HEAD + SONG_A + SONG_B + SONG_C, REWRITE_OK,
         ";x\r\n" + HEAD + SONG_A + mine + SONG_C},
        {"changed by hand", HEAD + SONG_A + b_changed + SONG_C, REWRITE_ADDED,
         HEAD + SONG_A + b_changed + SONG_C + mine},
        {"renamed by hand", HEAD + SONG_A + b_renamed + SONG_C + MARKER, REWRITE_ADDED,
         HEAD + SONG_A + b_renamed + SONG_C + mine + MARKER},
        {"deleted by hand", HEAD + SONG_A + SONG_C, REWRITE_ADDED, HEAD + SONG_A + SONG_C + mine},
    };
    for (const ChangedCase& c : cases) {
        write_file(LIBRARY_FILE, HEAD + SONG_A + SONG_B + SONG_C);
        open_editor("BE STILL ");
        write_file(LIBRARY_FILE, c.meanwhile);
        EXPECT_EQ(c.result, save(nullptr, "mine")) << c.what;
        EXPECT_EQ(c.after, read_file(LIBRARY_FILE)) << c.what;
        if (c.result == REWRITE_ADDED) {
            EXPECT_NE(nullptr, strstr(rewrite_message(c.result, &editor), "new song")) << c.what;
        }
        // later saves from the same opening replace what this one wrote
        std::string again = c.after;
        again.replace(again.find(mine), mine.size(), title_line("BE STILL") + body({"again"}));
        EXPECT_EQ(REWRITE_OK, save(nullptr, "again")) << c.what;
        EXPECT_EQ(again, read_file(LIBRARY_FILE)) << c.what;
    }
}

TEST_F(RewriteSongbook, TwoEditorsOnOneSongEachKeepTheirOwnText)
{
    write_file(LIBRARY_FILE, HEAD + SONG_A + SONG_B + SONG_C);
    EditSession first, second;
    open_editor("BE STILL ", &first);
    open_editor("BE STILL ", &second);
    ASSERT_EQ(REWRITE_OK, save(nullptr, "one", &first));
    ASSERT_EQ(REWRITE_ADDED, save(nullptr, "two", &second));
    ASSERT_EQ(REWRITE_OK, save(nullptr, "three", &second));
    ASSERT_EQ(REWRITE_OK, save(nullptr, "four", &first));
    EXPECT_EQ(HEAD + SONG_A + title_line("BE STILL") + body({"four"}) + SONG_C + title_line("BE STILL") +
                  body({"three"}),
              read_file(LIBRARY_FILE));
}

TEST_F(RewriteSongbook, AnEditorThatLoadedNothingNeverReplacesASong)
{
    const std::string songnew = "::::: SONGNEW :::::\r\nmine\r\n";
    for (int new_song = 0; new_song <= 1; new_song++) {
        write_file(LIBRARY_FILE, HEAD + songnew);
        edit_session_start(&editor, "songnew", new_song);   // New Song, or "songnew" typed
        ASSERT_EQ(REWRITE_OK, save("songnew", "typed"));
        EXPECT_EQ(HEAD + songnew + title_line("SONGNEW") + body({"typed"}), read_file(LIBRARY_FILE));
    }
}

struct RefusedCase {
    const char* title;
    std::string text;
    const char* said;
};

TEST_F(RewriteSongbook, RefusesMarksThatWouldChangeTheLibrarysStructure)
{
    const RefusedCase cases[] = {
        {"a #*#*# b", "x", "#*#*#"},
        {"Psalm 23: the Lord", "x", "colon"},
        {"ok", "one\r\n::::: two", "Line 2 of the song holds \":::::\""},
        {"ok", "a\r\nb\r\nend #*#*#", "Line 3 of the song holds \"#*#*#\""},
        {"ok", std::string(EDIT_BUF_SIZE, 'x'), "Line 1 of the song is longer"},
    };
    const std::string lib = HEAD + SONG_A + SONG_B;
    for (const RefusedCase& c : cases) {
        write_file(LIBRARY_FILE, lib);
        open_editor("BE STILL ");
        EXPECT_EQ(REWRITE_REFUSED, save(c.title, c.text.c_str())) << c.said;
        EXPECT_NE(nullptr, strstr(rewrite_message(REWRITE_REFUSED, &editor), c.said)) << c.said;
        EXPECT_EQ(lib, read_file(LIBRARY_FILE));
        EXPECT_FALSE(file_exists(TEMP_FILE));
        EXPECT_FALSE(file_exists(BACKUP_FILE));
    }
    // "*****" is an ordinary line inside a song
    EXPECT_EQ(REWRITE_OK, save("ok", "***** Chorus *****"));
}

struct InsertCase {
    const char* library;
    const char* after_song;    // what follows the new song
    const char* before_song;   // what precedes it
};

TEST_F(RewriteSongbook, NewSongGoesBehindTheLastLineFeedTheReadersReach)
{
    const InsertCase cases[] = {
        {"", "", ""},
        {"no line feed", "no line feed", ""},
        {"one\r\ntwo", "two", "one\r\n"},
        {"one\r\n;comment\r\n", "", "one\r\n;comment\r\n"},
        {"one\r\n;comment", ";comment", "one\r\n"},
        {"one\r\nhalf\x1A\r\nbehind\r\n", "half\x1A\r\nbehind\r\n", "one\r\n"},
        {"one\r\n\x1A", "\x1A", "one\r\n"},
    };
    for (const InsertCase& c : cases) {
        write_file(LIBRARY_FILE, c.library);
        open_editor("songnew");
        ASSERT_EQ(REWRITE_OK, save("new", "n"));
        EXPECT_EQ(std::string(c.before_song) + title_line("NEW") + body({"n"}) + c.after_song,
                  read_file(LIBRARY_FILE))
            << "library: " << c.library;
    }
}

TEST_F(RewriteSongbook, RefusesToSaveASongCutShortAtLoading)
{
    std::string lib = HEAD + "::::: LONG :::::\r\n";
    for (int i = 0; i < 300; i++)
        lib += std::string(98, 'a' + i % 26) + "\r\n";
    lib += SONG_A;
    write_file(LIBRARY_FILE, lib);
    open_editor("LONG");
    ASSERT_EQ(1, editor.truncated);
    int resets = fake_ui.title_resets;
    EXPECT_EQ(REWRITE_TRUNCATED, save("LONG", nullptr));
    EXPECT_EQ(lib, read_file(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(TEMP_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE));
    EXPECT_EQ(resets, fake_ui.title_resets);
}

TEST_F(RewriteSongbook, MissingLibraryWritesNothing)
{
    open_editor("songnew");
    EXPECT_EQ(REWRITE_NO_LIBRARY, save("new", "n"));
    EXPECT_FALSE(file_exists(LIBRARY_FILE));
    EXPECT_FALSE(file_exists(TEMP_FILE));
    EXPECT_FALSE(file_exists(BACKUP_FILE));
    EXPECT_EQ(0, editor.holds_song);
}

struct BodyCase {
    const char* text;
    const char* written;
};

TEST(WriteSongBody, WritesABlankLineThenEveryLineWithABlank)
{
    const BodyCase cases[] = {
        {"", " \r\n \r\n"},
        {"a", " \r\na \r\n"},
        {"a\r\n", " \r\na \r\n \r\n"},
        {"a\r\nb", " \r\na \r\nb \r\n"},
        {"\r\n\r\n", " \r\n \r\n \r\n \r\n"},
        {"G   D<\r\nwords ", " \r\nG   D< \r\nwords  \r\n"},
        {"a\x1A\x1A" "b\x1A", " \r\nab \r\n"},
    };
    TempDir dir;
    for (const BodyCase& c : cases) {
        fake_ui_reset();
        ui_editor_set_text(EDITOR, c.text);
        FILE* out = fopen("body.txt", "wb");
        ASSERT_NE(nullptr, out);
        EXPECT_EQ(0, write_song_body(EDITOR, state.edit_buf, out));
        fclose(out);
        EXPECT_EQ(c.written, read_file("body.txt")) << "text: " << c.text;
    }
}

TEST(WriteSongBody, ReportsAFailedWrite)
{
    fake_ui_reset();
    ui_editor_set_text(EDITOR, "a\r\nb");
    FILE* out = fopen("/dev/full", "wb");
    ASSERT_NE(nullptr, out);
    setvbuf(out, nullptr, _IONBF, 0);
    EXPECT_EQ(-1, write_song_body(EDITOR, state.edit_buf, out));
    fclose(out);
}

TEST(RewriteMessage, TellsEachFailureAndThatTheLibraryIsUnchanged)
{
    const RewriteResult failures[] = {REWRITE_NO_LIBRARY, REWRITE_NO_TEMP, REWRITE_WRITE_FAILED,
                                      REWRITE_SWAP_FAILED, REWRITE_TRUNCATED};
    EditSession session;
    edit_session_start(&session, "x", 0);
    EXPECT_STREQ("", rewrite_message(REWRITE_OK, &session));
    for (RewriteResult r : failures) {
        std::string text = rewrite_message(r, &session);
        EXPECT_EQ(0u, text.find("The song was not saved.\r")) << text;
        EXPECT_NE(std::string::npos, text.find("left unchanged")) << text;
        EXPECT_EQ(std::string::npos, text.find('\n')) << text;
        for (RewriteResult other : failures) {
            if (other != r) {
                EXPECT_STRNE(rewrite_message(other, &session), text.c_str());
            }
        }
    }
    EXPECT_NE(std::string::npos, std::string(rewrite_message(REWRITE_TRUNCATED, &session)).find("too long"));
}

using LoadSongForEditing = SaveTest;

TEST_F(LoadSongForEditing, ShowsTheTitleAsChosenAndTheBodyLines)
{
    std::string lib = HEAD + ";c\r\n::::: Be Still :::::\r\nG   D<\r\nrock & roll\\par\r\n\r\n" + SONG_A;
    write_file(LIBRARY_FILE, lib);
    open_editor("be still ");
    EXPECT_STREQ("be still ", fake_ui.editor_title);
    EXPECT_STREQ("BE STILL", state.current_title);
    EXPECT_STREQ("G   D<\r\nrock  roll\r\n\r\n", fake_ui.editor_text);
    EXPECT_EQ((long)(HEAD.size() + 4), editor.song_pos);
    EXPECT_EQ(0, editor.truncated);
    EXPECT_EQ(0, fake_ui.message_count);
}

TEST_F(LoadSongForEditing, StopsAtTheEndOfBookMarker)
{
    write_file(LIBRARY_FILE, HEAD + SONG_A + MARKER + "behind\r\n");
    open_editor("ABIDE WITH ME");
    EXPECT_STREQ("abide\r\n", fake_ui.editor_text);
}

TEST_F(LoadSongForEditing, TitleNotFoundKeepsTheTextBox)
{
    const char* libraries[] = {nullptr, "", "::::: OTHER :::::\r\nx\r\n"};
    for (const char* lib : libraries) {
        remove(LIBRARY_FILE);
        if (lib)
            write_file(LIBRARY_FILE, lib);
        fake_ui_reset();
        open_editor("missing ");
        EXPECT_STREQ("missing ", fake_ui.editor_title);
        EXPECT_STREQ("Edit", fake_ui.editor_text);
        EXPECT_EQ(1, fake_ui.editor_text_sets);
        EXPECT_EQ(0, editor.holds_song);
        EXPECT_STREQ("MISSING", state.current_title);
        EXPECT_STREQ("Song Not Found", fake_ui.status);
    }
}

struct FitCase {
    int last_len;       // the 200th line behind 199 lines of 98 characters
    int truncated;
};

TEST_F(LoadSongForEditing, TextFitsTheBufferWithItsTerminatorOrIsMarkedCutShort)
{
    // 199 lines of 98 characters and CR LF take 19,900 bytes; a last line of
    // 97 fills the buffer to its last byte, one of 98 does not fit
    const FitCase cases[] = {{97, 0}, {98, 1}};
    for (const FitCase& c : cases) {
        std::string lib = "::::: S :::::\r\n";
        for (int i = 0; i < 199; i++)
            lib += std::string(98, 'x') + "\r\n";
        lib += std::string(c.last_len, 'y') + "\r\n";
        write_file(LIBRARY_FILE, lib);
        fake_ui_reset();
        open_editor("S");
        EXPECT_EQ(c.truncated, editor.truncated);
        size_t shown = strlen(fake_ui.editor_text);
        EXPECT_EQ(c.truncated ? 19900u : 19999u, shown);
        EXPECT_EQ(c.truncated, fake_ui.message_count);
        if (c.truncated) {
            EXPECT_EQ(EDITOR, fake_ui.message_owner);
            EXPECT_STREQ("SONG TOO LONG", fake_ui.message_caption);
            EXPECT_NE(nullptr, strstr(fake_ui.message_text, "too long"));
        }
    }
}

} // namespace
