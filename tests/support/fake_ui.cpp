// A recording stand-in for the user interface, for the native tests and benchmarks.
#include "tests/support/fake_ui.h"

#include <cstring>

#include "store/record.h"

FakeUi fake_ui;

void fake_ui_reset()
{
    // the pools are large: clear only the counters and the small texts
    FakeUi& f = fake_ui;
    f.status[0] = 0;
    f.title_count = f.title_resets = f.title_done = f.title_pool_used = 0;
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
