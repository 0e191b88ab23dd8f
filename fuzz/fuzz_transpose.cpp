// Fuzz target of the chord transposer: any rows, row count and half-step count.
// The rules are the table's (tests/cases/transpose.txt); here a small model: a row
// without a mark comes out as its raw text over 80 blanks, every row ends within
// its 100 bytes and shows no mark, and any count gives what its octave equivalent
// 0..11 gives.
//
// Input: byte 0 line_count (0 to 200; above 200 a count outside the table, negative
// or beyond it, whose rows past the table and line_buf must stay untouched),
// bytes 1-4 the half-step count (little-endian), byte 5
// the filler of the raw bytes behind each terminator, byte 6 the byte the display
// rows hold before the call; then rows, each a length byte n and n bytes (n of
// 100 or more: 100 bytes with no terminator at all).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"
#include "transpose/transpose.h"

namespace {

char before[LINE_ROWS][LINE_WIDTH], first[LINE_ROWS][LINE_WIDTH], line_buf[LINE_BUF_SIZE];

// A built row against the model; raw is its raw row, row what the first call showed.
bool row_as_expected(const char* raw, const char* row, const char* again)
{
    int length = (int)strnlen(raw, LINE_WIDTH - 1);
    char plain[LINE_WIDTH];
    memset(plain, ' ', 80);
    memset(plain + 80, 0, LINE_WIDTH - 80);
    memcpy(plain, raw, length);
    plain[length] = 0;
    if (!is_chord_row(raw, length))
        return memcmp(row, plain, LINE_WIDTH) == 0;
    const char* end = (const char*)memchr(row, 0, LINE_WIDTH);
    return end && !memchr(row, CHORD_MARK, end - row) && memcmp(row, again, LINE_WIDTH) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 7)
        return 0;
    reset_shared_state();
    int line_count = data[0] <= LINE_ROWS ? data[0] : (data[0] - 228) * 40, count;
    int built = line_count < 0 ? 0 : line_count > LINE_ROWS ? LINE_ROWS : line_count;
    uint32_t bits = data[1] | data[2] << 8 | data[3] << 16 | (uint32_t)data[4] << 24;
    memcpy(&count, &bits, sizeof count);
    memset(state.raw_lines, data[5], sizeof state.raw_lines);
    memset(state.display_lines, data[6], sizeof state.display_lines);
    size_t at = 7;
    for (int r = 0; r < LINE_ROWS && at < size; r++) {
        size_t n = data[at++], take = n < LINE_WIDTH ? n : LINE_WIDTH;
        take = take > size - at ? size - at : take;
        memcpy(state.raw_lines[r], data + at, take);
        if (take < LINE_WIDTH)
            state.raw_lines[r][take] = 0;
        at += take;
    }
    state.line_count = line_count;
    memcpy(before, state.display_lines, sizeof before);
    memcpy(line_buf, state.line_buf, sizeof line_buf);
    transpose_song(count);
    memcpy(first, state.display_lines, sizeof first);
    transpose_song((int)(((int64_t)count % 12 + 12) % 12));
    for (int r = 0; r < LINE_ROWS; r++) {
        bool ok = r < built ? row_as_expected(state.raw_lines[r], first[r], state.display_lines[r])
                            : memcmp(first[r], before[r], LINE_WIDTH) == 0;
        if (!ok)
            abort();
    }
    if (memcmp(line_buf, state.line_buf, sizeof line_buf) != 0)
        abort();
    return 0;
}
