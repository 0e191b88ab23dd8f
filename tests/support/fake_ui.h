// A recording stand-in for the user interface, for the native tests and benchmarks.
// It keeps everything in fixed storage, so that it allocates nothing itself.
#pragma once

#include "shell/ui.h"

enum {
    FAKE_TITLE_POOL = 32 * 1024 * 1024,
    FAKE_TITLE_MAX = 400000,
    FAKE_TEXT = 1000
};

struct FakeUi {
    char status[FAKE_TEXT];
    // title box: entries in the order added (the real control sorts them)
    int title_count, title_resets, title_done, title_pool_used;
    int title_offsets[FAKE_TITLE_MAX];
    char title_pool[FAKE_TITLE_POOL];
};

extern FakeUi fake_ui;

void fake_ui_reset();
const char* fake_title(int i);
