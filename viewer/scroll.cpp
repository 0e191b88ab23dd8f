// The viewer's scroll range: long songs can be read to their last line.
#include "viewer/scroll.h"

int scroll_max(int line_count)
{
    int last = line_count - 1;
    return last > MIN_SCROLL_MAX ? last : MIN_SCROLL_MAX;
}

int clamp_scroll(int line, int line_count)
{
    int max = scroll_max(line_count);
    if (line < 0)
        return 0;
    return line > max ? max : line;
}
