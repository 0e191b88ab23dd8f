// The viewer's scroll range: long songs can be read to their last line.
#pragma once

enum { MIN_SCROLL_MAX = 21 };

// Highest first line the viewer may show for a song of line_count lines: never
// below 21, so short songs scroll exactly as they always did.
int scroll_max(int line_count);
int clamp_scroll(int line, int line_count);
