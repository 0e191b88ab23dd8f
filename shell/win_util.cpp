// Small Win32 helpers of the program, each doing one thing.
#include "shell/shared_state.h"
#include "shell/win_util.h"

#include <cstdio>

void get_item_text(HWND dialog, int id, char* buf, int size)
{
    if (size <= 0)
        return;
    buf[0] = 0;
    GetDlgItemTextA(dialog, id, buf, size);
    buf[size - 1] = 0;
}

void set_item_text(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
}

void set_item_number(HWND dialog, int id, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    SetDlgItemTextA(dialog, id, text);
}

void repaint(HWND window)
{
    InvalidateRect(window, nullptr, TRUE);
}
