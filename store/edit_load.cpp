// The editor's loading: the chosen song's lines into the editor's text box.
#include "store/edit_load.h"

#include <cstring>

#include "shell/shared_state.h"
#include "shell/ui.h"
#include "store/index.h"
#include "store/record.h"

static const char too_long_text[] =
    "This song is too long for the editor: only its first part is shown.\r"
    "The editor will not save it, so that the whole song stays in the\r"
    "library as it is. Split it into shorter songs with a text editor.";
static const char too_long_caption[] = "SONG TOO LONG";

// Appends the song's body records to edit_buf, each followed by CR LF, up to the
// next title line or the end-of-book marker. A line that does not fit marks the
// text as cut short.
static void read_body_for_editing(SongFile* file, EditSession* session)
{
    int used = 0;
    while (read_record(file, state.line_buf) == 0) {
        if (is_end_of_book(state.line_buf) || is_title_line(state.line_buf))
            return;
        strip_markup();
        int len = (int)strlen(state.line_buf);
        if (used + len + 2 + 1 > EDIT_BUF_SIZE) {
            session->truncated = 1;
            return;
        }
        memcpy(state.edit_buf + used, state.line_buf, (size_t)len);
        used += len;
        state.edit_buf[used++] = '\r';
        state.edit_buf[used++] = '\n';
    }
}

void load_song_for_editing(UiWindow editor, EditSession* session)
{
    memset(state.edit_buf, 0, sizeof state.edit_buf);
    session->holds_song = 0;
    session->truncated = 0;
    // the title box shows the title as chosen; the lookup upper-cases it afterwards
    ui_editor_set_title(editor, session->title);
    copy_bounded(state.current_title, TITLE_SIZE, session->title);

    SongFile file;
    if (song_file_open(&file, LIBRARY_FILE) != 0) {
        // no library holds no song: the outcome of a title not found
        upper_case(state.current_title);
        trim_trailing(state.current_title);
        ui_set_status("Song Not Found");
        return;
    }
    if (find_song(&file) == 0) {
        long pos = file.record_start;
        read_body_for_editing(&file, session);
        ui_editor_set_text(editor, state.edit_buf);
        // the saves replace exactly these bytes, while they stand in the library as
        // they are now; an editor for a new song only takes the text as a start
        if (!session->new_song && measure_song(&file, pos, &session->song_len, &session->song_hash) == 0) {
            session->holds_song = 1;
            session->song_pos = pos;
            copy_bounded(session->title, TITLE_SIZE, state.current_title);
        }
    }
    song_file_close(&file);
    if (session->truncated)
        ui_message_box(editor, too_long_text, too_long_caption);
}
