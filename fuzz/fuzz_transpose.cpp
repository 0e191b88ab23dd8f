// Fuzz target of the chord transposer: arbitrary rows, row counts and half-step counts.
//
// Input: byte 0 line_count (mod 201), bytes 1-4 the count (little-endian), byte 5
// the filler of the raw bytes behind each terminator, byte 6 the byte the display
// rows hold before the call; then rows, each a length byte n and n bytes (n of
// 100 or more: 100 bytes with no terminator at all).
//
// Besides the plain invariants every row is compared with a slow transposer that
// does each step byte by byte in place, as simply as it can be written.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "shell/shared_state.h"
#include "transpose/transpose.h"

namespace {

char before[LINE_ROWS][LINE_WIDTH];
char expected[LINE_ROWS][LINE_WIDTH];

int slow_chord_length(const char* text)
{
    for (int i = 0; i < 10; i++)
        if (text[i] == ' ' || text[i] == 0 || text[i] == '<')
            return i;
    return 1;
}

// The musically right name: the entry the root was found at, moved by the count
// taken modulo 12, within the first octave of the table.
const char* slow_new_root(const char* root, int count)
{
    for (int i = 12; i <= 24; i++)
        if (strcmp(note_names[i], root) == 0)
            return note_names[12 + (int)((((int64_t)i - 12 + count) % 12 + 12) % 12)];
    return "XX";
}

void slow_transpose_row(char* row, const char* raw, int count)
{
    memset(row, 0, LINE_WIDTH);
    memset(row, ' ', 80);
    int length = 0;
    while (length < LINE_WIDTH - 1 && raw[length]) {
        row[length] = raw[length];
        length++;
    }
    row[length] = 0;
    if (!memchr(row, '<', length))
        return;
    for (int p = 0; p < length;) {
        if (row[p] == '<')
            row[p] = ' ';
        if (row[p] >= 'a' && row[p] <= 'g')
            row[p] = (char)(row[p] - 'a' + 'A');
        if (row[p] < 'A' || row[p] > 'G') {
            p++;
            continue;
        }
        int n = slow_chord_length(row + p);
        char root[3] = {row[p], 0, 0};
        int rest = 1;
        char t1 = n >= 2 ? row[p + 1] : 0;
        if (t1 == 'B' || t1 == '#') {
            root[1] = t1 == 'B' ? 'b' : '#';
            rest = 2;
        } else if (t1 == 'b' && !(n >= 4 && strncmp(row + p + 1, "bas", 3) == 0)) {
            root[1] = 'b';
            rest = 2;
        }
        const char* respell[4][2] = {{"Ab", "G#"}, {"Db", "C#"}, {"Gb", "F#"}, {"A#", "Bb"}};
        for (auto& pair : respell)
            if (strcmp(root, pair[0]) == 0)
                strcpy(root, pair[1]);
        char chord[16];
        strcpy(chord, slow_new_root(root, count));
        strncat(chord, row + p + rest, n - rest);
        strcat(chord, " ");
        for (int i = 0; chord[i]; i++)
            if (p + i <= LINE_WIDTH - 2)
                row[p + i] = chord[i];
        p += n + 1;
    }
    for (int i = 0; row[i]; i++)
        if (row[i] == '<')
            row[i] = ' ';
}

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
        if (memcmp(row, expected[r], LINE_WIDTH) != 0)
            abort();
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
    for (int r = 0; r < line_count; r++)
        slow_transpose_row(expected[r], state.raw_lines[r], count);

    transpose_song(count);
    check_rows(line_count);
    return 0;
}
