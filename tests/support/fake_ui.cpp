// A recording stand-in for the user interface, for the native tests and benchmarks.
#include "tests/support/fake_ui.h"

#include <cstring>

#include "store/record.h"

FakeUi fake_ui;

void fake_ui_reset()
{
    // the pools are large: clear only the counters and the small texts
    fake_ui.status[0] = 0;
    fake_ui.status_sets = 0;
    fake_ui.title_count = 0;
    fake_ui.title_resets = 0;
    fake_ui.title_done = 0;
    fake_ui.title_pool_used = 0;
    fake_ui.song_rows = 0;
    fake_ui.song_resets = 0;
    fake_ui.editor_title[0] = 0;
    fake_ui.editor_text[0] = 0;
    fake_ui.editor_text_sets = 0;
    fake_ui.message_count = 0;
    fake_ui.message_owner = nullptr;
    fake_ui.message_text[0] = 0;
    fake_ui.message_caption[0] = 0;
    fake_ui.beeps = 0;
}

const char* fake_title(int i)
{
    return fake_ui.title_pool + fake_ui.title_offsets[i];
}

void fake_song_list_set(int rows, const char* const* titles)
{
    fake_ui.song_rows = 0;
    for (int i = 0; i < rows && i < FAKE_SONG_ROWS; i++)
        copy_bounded(fake_ui.songs[fake_ui.song_rows++], FAKE_TEXT, titles[i]);
}

void ui_set_status(const char* text)
{
    copy_bounded(fake_ui.status, sizeof fake_ui.status, text);
    fake_ui.status_sets++;
}

void ui_title_list_reset(UiWindow)
{
    fake_ui.title_count = 0;
    fake_ui.title_pool_used = 0;
    fake_ui.title_resets++;
}

void ui_title_list_add(UiWindow, const char* title)
{
    int len = (int)strlen(title);
    if (fake_ui.title_count >= FAKE_TITLE_MAX || fake_ui.title_pool_used + len + 1 > FAKE_TITLE_POOL)
        return;
    fake_ui.title_offsets[fake_ui.title_count++] = fake_ui.title_pool_used;
    memcpy(fake_ui.title_pool + fake_ui.title_pool_used, title, len + 1);
    fake_ui.title_pool_used += len + 1;
}

void ui_title_list_done(UiWindow)
{
    fake_ui.title_done++;
}

int ui_song_list_count(UiWindow)
{
    return fake_ui.song_rows;
}

int ui_song_list_get(UiWindow, int row, char* buf, int size)
{
    if (row < 0 || row >= fake_ui.song_rows) {
        copy_bounded(buf, size, "");
        return -1;
    }
    copy_bounded(buf, size, fake_ui.songs[row]);
    return 0;
}

void ui_song_list_reset(UiWindow)
{
    fake_ui.song_rows = 0;
    fake_ui.song_resets++;
}

void ui_song_list_add(UiWindow, const char* title)
{
    if (fake_ui.song_rows < FAKE_SONG_ROWS)
        copy_bounded(fake_ui.songs[fake_ui.song_rows++], FAKE_TEXT, title);
}

void ui_editor_get_title(UiWindow, char* buf, int size)
{
    copy_bounded(buf, size, fake_ui.editor_title);
}

void ui_editor_set_title(UiWindow, const char* text)
{
    copy_bounded(fake_ui.editor_title, sizeof fake_ui.editor_title, text);
}

void ui_editor_set_text(UiWindow, const char* text)
{
    copy_bounded(fake_ui.editor_text, sizeof fake_ui.editor_text, text);
    fake_ui.editor_text_sets++;
}

// Lines as a multi-line edit control without word wrap counts them: separated
// by CR LF; a text ending in CR LF has an empty last line, an empty text one line.
static const char* editor_line_start(int line)
{
    const char* p = fake_ui.editor_text;
    for (int i = 0; i < line; i++) {
        const char* next = strstr(p, "\r\n");
        if (!next)
            return nullptr;
        p = next + 2;
    }
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
    const char* p = editor_line_start(line);
    if (!p)
        return 0;
    const char* end = strstr(p, "\r\n");
    return end ? (int)(end - p) : (int)strlen(p);
}

int ui_editor_get_line(UiWindow, int line, char* buf, int size)
{
    const char* p = editor_line_start(line);
    if (!p || size <= 0) {
        if (size > 0)
            buf[0] = 0;
        return 0;
    }
    const char* end = strstr(p, "\r\n");
    int len = end ? (int)(end - p) : (int)strlen(p);
    if (len > size - 1)
        len = size - 1;
    memcpy(buf, p, len);
    buf[len] = 0;
    return len;
}

void ui_message_box(UiWindow owner, const char* text, const char* caption)
{
    fake_ui.message_count++;
    fake_ui.message_owner = owner;
    copy_bounded(fake_ui.message_text, sizeof fake_ui.message_text, text);
    copy_bounded(fake_ui.message_caption, sizeof fake_ui.message_caption, caption);
}

void ui_beep()
{
    fake_ui.beeps++;
}
