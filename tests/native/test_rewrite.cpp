// Saving a song: whole saves as golden cases (tests/golden/NAME.edit, the steps of
// one editing, between NAME.before.cnr and NAME.after.cnr), the insertion point,
// the song's body and the editor's loading as tables (tests/cases/rewrite.txt).
#include "store/rewrite.h"

#include <gtest/gtest.h>

#include <cstring>
#include <dirent.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "tests/support/fake_ui.h"
#include "tests/support/test_files.h"

namespace {

UiWindow const EDITOR = (UiWindow)0x4017;

class SaveTest : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
    }
};

using RewriteSongbook = SaveTest;

// Opens an editor as the home screen does: New Song, or Edit Song on a title as
// listed (the exact title "songnew" loads nothing); the boxes start as the template's.
void open_editor(EditSession* session, const std::string& title, bool new_song)
{
    edit_session_start(session, new_song ? "songnew" : title.c_str(), new_song);
    ui_editor_set_title(EDITOR, "Name");
    ui_editor_set_text(EDITOR, "Edit");
    if (!new_song && title != "songnew")
        load_song_for_editing(EDITOR, session);
}

const char* const RESULTS[] = {"OK", "ADDED", "REFUSED", "NO_LIBRARY", "NO_TEMP", "WRITE_FAILED", "SWAP_FAILED",
                               "TRUNCATED"};

// Steps: open | title [| editor], new, title | text, text | text, library | bytes
// (changed by another program), save | result [| editor], said | part of the
// message, current | title looked up, listed | the title list.
void run_edit(const std::string& name)
{
    SCOPED_TRACE(name);
    std::string before = source_file("tests/golden/" + name + ".before.cnr");
    if (!before.empty())
        write_file(LIBRARY_FILE, before);
    EditSession sessions[2];
    EditSession* saved = &sessions[0];
    RewriteResult result = REWRITE_OK;
    for (const Case& step : case_lines("tests/golden/" + name + ".edit")) {
        const std::string& op = step[0];
        EditSession* session = &sessions[step.size() > 2 && step[2] == "2"];
        if (op == "open" || op == "new")
            open_editor(session, op == "new" ? "" : step[1], op == "new");
        else if (op == "title")
            ui_editor_set_title(EDITOR, step[1].c_str());
        else if (op == "text")
            ui_editor_set_text(EDITOR, step[1].c_str());
        else if (op == "library")
            write_file(LIBRARY_FILE, step[1]);
        else if (op == "save") {
            std::string lib = read_file(LIBRARY_FILE), backup = read_file(BACKUP_FILE);
            int resets = fake_ui.title_resets;
            result = rewrite_songbook(saved = session, EDITOR);
            EXPECT_STREQ(RESULTS[result], step[1].c_str());
            EXPECT_FALSE(file_exists(TEMP_FILE));
            bool changed = result == REWRITE_OK || result == REWRITE_ADDED;
            EXPECT_TRUE(read_file(BACKUP_FILE) == (changed ? lib : backup)) << "the backup after " << RESULTS[result];
            if (!changed) {
                EXPECT_TRUE(read_file(LIBRARY_FILE) == lib) << "a failed save changed the library";
                EXPECT_EQ(fake_ui.title_resets, resets) << "a failed save refilled the title list";
            }
        } else if (op == "said")
            EXPECT_NE(strstr(rewrite_message(result, saved), step[1].c_str()), nullptr) << step[1];
        else if (op == "current")
            EXPECT_EQ(std::string(state.current_title), step[1]);
        else if (op == "listed") {
            std::string titles;
            for (int i = 0; i < fake_ui.title_count; i++)
                titles += std::string(fake_title(i)) + "\n";
            EXPECT_EQ(titles, step[1]);
        } else
            ADD_FAILURE() << "unknown step " << op;
    }
    std::string after = source_file("tests/golden/" + name + ".after.cnr");
    EXPECT_TRUE(read_file(LIBRARY_FILE) == after) << "the library is not " << name << ".after.cnr";
}

TEST_F(RewriteSongbook, WritesEveryGoldenCaseByteForByte)
{
    DIR* dir = opendir((std::string(CANTORIA_SOURCE) + "/tests/golden").c_str());
    ASSERT_NE(dir, nullptr);
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        std::string file = entry->d_name;
        if (file.size() > 5 && file.substr(file.size() - 5) == ".edit") {
            TempDir fresh;
            reset_shared_state();
            fake_ui_reset();
            run_edit(file.substr(0, file.size() - 5));
            count++;
        }
    }
    closedir(dir);
    EXPECT_GE(count, 30);
}

TABLE_TEST(RewriteSongbook, PutsANewSongBehindTheLastLineFeedTheReadersReach, "rewrite", "new_song_at")
{
    write_file(LIBRARY_FILE, c[0]);
    EditSession session;
    open_editor(&session, "", true);
    ui_editor_set_title(EDITOR, "new");
    ui_editor_set_text(EDITOR, "n");
    EXPECT_EQ(rewrite_songbook(&session, EDITOR), REWRITE_OK);
    std::string lib = read_file(LIBRARY_FILE), song = "::::: NEW ::::: KEY=xx\r\r\n \r\nn \r\n";
    size_t at = lib.find(song);
    return at == std::string::npos ? lib : lib.replace(at, song.size(), "<new>");
}

TEST_F(RewriteSongbook, TellsEachFailureAndThatTheLibraryIsUnchanged)
{
    EditSession session;
    edit_session_start(&session, "x", 0);
    EXPECT_STREQ(rewrite_message(REWRITE_OK, &session), "");
    std::string seen;
    for (RewriteResult r : {REWRITE_NO_LIBRARY, REWRITE_NO_TEMP, REWRITE_WRITE_FAILED, REWRITE_SWAP_FAILED,
                            REWRITE_TRUNCATED}) {
        std::string text = rewrite_message(r, &session);
        EXPECT_EQ(text.find("The song was not saved.\r"), 0u) << text;
        EXPECT_NE(text.find("left unchanged"), std::string::npos) << text;
        EXPECT_EQ(text.find('\n'), std::string::npos) << text;   // message boxes break lines with CR alone
        EXPECT_EQ(seen.find(text), std::string::npos) << "two failures told alike: " << text;
        seen += text + "\n";
    }
}

using WriteSongBody = SaveTest;

TABLE_TEST(WriteSongBody, WritesTheBodiesOfTheTable, "rewrite", "write_song_body")
{
    ui_editor_set_text(EDITOR, c[0].c_str());
    FILE* out = fopen("body.txt", "wb");
    EXPECT_EQ(write_song_body(EDITOR, state.edit_buf, out), 0);
    fclose(out);
    return read_file("body.txt");
}

using LoadSongForEditing = SaveTest;

TEST_F(LoadSongForEditing, FillsTheBoxesOfTheTable)
{
    EditSession session;
    for (const Case& c : cases("rewrite", "load_song_for_editing")) {
        remove(LIBRARY_FILE);
        if (c[0] != "<none>")
            write_file(LIBRARY_FILE, c[0]);
        fake_ui_reset();
        open_editor(&session, c[1], false);
        EXPECT_EQ(std::string(fake_ui.editor_title), c[2]) << c[0];
        EXPECT_EQ(std::string(fake_ui.editor_text), c[3]) << c[0];
        EXPECT_EQ(std::string(state.current_title), c[4]) << c[0];
        EXPECT_EQ(session.holds_song, c[3] != "Edit") << c[0];
        EXPECT_EQ(fake_ui.message_count, 0);
    }
}

TEST_F(LoadSongForEditing, TakesATextThatFillsTheBufferAndMarksALongerOneCutShort)
{
    // 199 lines of 98 characters and CR LF take 19,900 bytes; a last line of 97
    // fills the buffer to its last byte, one of 98 does not fit
    for (int last : {97, 98}) {
        std::string lib = "::::: S :::::\r\n";
        for (int i = 0; i < 199; i++)
            lib += std::string(98, 'x') + "\r\n";
        write_file(LIBRARY_FILE, lib + std::string(last, 'y') + "\r\n");
        fake_ui_reset();
        EditSession session;
        open_editor(&session, "S", false);
        bool cut = last == 98;
        EXPECT_EQ(session.truncated, cut);
        EXPECT_EQ(strlen(fake_ui.editor_text), cut ? 19900u : 19999u);
        EXPECT_EQ(fake_ui.message_count, cut);
        EXPECT_EQ(fake_ui.message_owner, cut ? EDITOR : nullptr);
        EXPECT_STREQ(fake_ui.message_caption, cut ? "SONG TOO LONG" : "");
    }
}

}  // namespace
