// A recording stand-in for the user interface, for the native tests and benchmarks.
#include "tests/support/fake_ui.h"

#include <cstring>

#include "store/record.h"

FakeUi fake_ui;

void fake_ui_reset()
{
    // the pools are large: clear only the counters and the small texts
    FakeUi& f = fake_ui;
    f.status[0] = f.editor_title[0] = f.editor_text[0] = f.message_text[0] = f.message_caption[0] = 0;
    f.title_count = f.title_resets = f.title_done = f.title_pool_used = 0;
    f.song_rows = f.song_resets = f.message_count = f.beeps = 0;
    f.message_owner = nullptr;
}

const char* fake_title(int i) { return fake_ui.title_pool + fake_ui.title_offsets[i]; }

void ui_set_status(const char* text) { copy_bounded(fake_ui.status, FAKE_TEXT, text); }

void ui_title_list_reset(UiWindow) { fake_ui.title_count = fake_ui.title_pool_used = 0, fake_ui.title_resets++; }

void ui_title_list_add(UiWindow, const char* title)
{
    int len = (int)strlen(title);
    if (fake_ui.title_count >= FAKE_TITLE_MAX || fake_ui.title_pool_used + len + 1 > FAKE_TITLE_POOL)
        return;
    fake_ui.title_offsets[fake_ui.title_count++] = fake_ui.title_pool_used;
    memcpy(fake_ui.title_pool + fake_ui.title_pool_used, title, len + 1);
    fake_ui.title_pool_used += len + 1;
}

void ui_title_list_done(UiWindow) { fake_ui.title_done++; }

void fill_title_list(UiWindow dialog, const char* file_name)
{
    static TitleList list;
    read_title_list(file_name, &list);
    ui_title_list_reset(dialog);
    for (int i = 0, at = 0; i < list.count; i++, at += (int)strlen(list.text + at) + 1)
        ui_title_list_add(dialog, list.text + at);
    ui_title_list_done(dialog);
}
int ui_song_list_count(UiWindow) { return fake_ui.song_rows; }

int ui_song_list_get(UiWindow, int row, char* buf, int size)
{
    bool have = row >= 0 && row < fake_ui.song_rows;
    copy_bounded(buf, size, have ? fake_ui.songs[row] : "");
    return have ? 0 : -1;
}

void ui_song_list_reset(UiWindow) { fake_ui.song_rows = 0, fake_ui.song_resets++; }

void ui_song_list_add(UiWindow, const char* title)
{
    if (fake_ui.song_rows < FAKE_SONG_ROWS)
        copy_bounded(fake_ui.songs[fake_ui.song_rows++], FAKE_TEXT, title);
}

void ui_editor_get_title(UiWindow, char* buf, int size) { copy_bounded(buf, size, fake_ui.editor_title); }
void ui_editor_set_title(UiWindow, const char* text) { copy_bounded(fake_ui.editor_title, FAKE_TEXT, text); }

void ui_editor_set_text(UiWindow, const char* text) { copy_bounded(fake_ui.editor_text, FAKE_EDITOR_TEXT, text); }

// Lines as a multi-line edit control without word wrap counts them: separated
// by CR LF; a text ending in CR LF has an empty last line, an empty text one line.
// Returns the start of line i (null past the last) and its length in *len.
static const char* editor_line(int line, int* len)
{
    const char* p = fake_ui.editor_text;
    for (int i = 0; p && i < line; i++)
        p = strstr(p, "\r\n") ? strstr(p, "\r\n") + 2 : nullptr;
    const char* end = p ? strstr(p, "\r\n") : nullptr;
    *len = !p ? 0 : end ? (int)(end - p) : (int)strlen(p);
    return p;
}

int ui_editor_line_count(UiWindow)
{
    int count = 1;
    for (const char* p = fake_ui.editor_text; (p = strstr(p, "\r\n")) != nullptr; p += 2)
        count++;
    return count;
}

int ui_editor_line_length(UiWindow, int line)
{
    int len;
    return editor_line(line, &len), len;
}

int ui_editor_get_line(UiWindow, int line, char* buf, int size)
{
    int len;
    const char* p = editor_line(line, &len);
    len = size <= 0 ? 0 : len > size - 1 ? size - 1 : len;
    if (size > 0) {
        memcpy(buf, p ? p : "", len);
        buf[len] = 0;
    }
    return len;
}

void ui_message_box(UiWindow owner, const char* text, const char* caption)
{
    fake_ui.message_count++, fake_ui.message_owner = owner;
    copy_bounded(fake_ui.message_text, FAKE_TEXT, text);
    copy_bounded(fake_ui.message_caption, FAKE_TEXT, caption);
}

void ui_beep() { fake_ui.beeps++; }
