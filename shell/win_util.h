// Small Win32 helpers of the program, each doing one thing.
#pragma once

#include <windows.h>

inline HWND as_hwnd(UiWindow window) { return (HWND)window; }

// Reads a control's text into buf (at most size - 1 characters, terminated).
void get_item_text(HWND dialog, int id, char* buf, int size);
void set_item_text(HWND dialog, int id, const char* text);
void set_item_number(HWND dialog, int id, int value);
// Invalidates the whole client area with erasing; the next WM_PAINT redraws.
void repaint(HWND window);
