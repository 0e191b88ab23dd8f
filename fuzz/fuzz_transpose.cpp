// Fuzz target of the chord transposer: arbitrary rows, row counts and half-step counts.
//
// Input: byte 0 line_count (mod 201), bytes 1-4 the count (little-endian), byte 5
// the filler of the raw bytes behind each terminator, byte 6 the byte the display
// rows hold before the call; then rows, each a length byte n and n bytes (n of
// 100 or more: 100 bytes with no terminator at all).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/shared_state.h"
#include "transpose/transpose.h"

namespace {

char before[LINE_ROWS][LINE_WIDTH];
char first[LINE_ROWS][LINE_WIDTH];

int raw_length(const char* raw)
{
    const void* end = memchr(raw, 0, LINE_WIDTH - 1);
    return end ? (int)((const char*)end - raw) : LINE_WIDTH - 1;
}

void check_rows(int line_count)
{
    for (int r = 0; r < LINE_ROWS; r++) {
        const char* row = state.display_lines[r];
        if (r >= line_count) {
            if (memcmp(row, before[r], LINE_WIDTH) != 0)
                abort();
            continue;
        }
        const void* end = memchr(row, 0, LINE_WIDTH);
        if (!end || row[LINE_WIDTH - 1] != 0)
            abort();
        int length = (int)((const char*)end - row);
        const char* raw = state.raw_lines[r];
        int raw_len = raw_length(raw);
        if (!memchr(raw, '<', raw_len)) {
            if (length != raw_len || memcmp(row, raw, raw_len) != 0)
                abort();
        } else if (length < raw_len || memchr(row, '<', length)) {
            abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 7)
        return 0;
    reset_shared_state();
    int line_count = data[0] % (LINE_ROWS + 1);
    uint32_t bits = (uint32_t)data[1] | (uint32_t)data[2] << 8 | (uint32_t)data[3] << 16 |
                    (uint32_t)data[4] << 24;
    int count;
    memcpy(&count, &bits, sizeof count);
    memset(state.raw_lines, data[5], sizeof state.raw_lines);
    memset(state.display_lines, data[6], sizeof state.display_lines);
    size_t at = 7;
    for (int r = 0; r < LINE_ROWS && at < size; r++) {
        size_t n = data[at++];
        size_t take = n < LINE_WIDTH ? n : LINE_WIDTH;
        if (take > size - at)
            take = size - at;
        memcpy(state.raw_lines[r], data + at, take);
        if (take < LINE_WIDTH)
            state.raw_lines[r][take] = 0;
        at += take;
    }
    state.line_count = line_count;
    memcpy(before, state.display_lines, sizeof before);

    transpose_song(count);
    check_rows(line_count);

    // counts an octave apart show the same rows, also where one of them lies
    // outside the table's range
    memcpy(first, state.display_lines, sizeof first);
    int same = (int)(((int64_t)count % 12 + 12) % 12);
    transpose_song(same);
    if (memcmp(first, state.display_lines, sizeof first) != 0)
        abort();
    return 0;
}
