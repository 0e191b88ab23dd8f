// Fuzz target of the chord transposer: any rows, row count and half-step count;
// every row is compared, all 100 bytes, with a slow model that does each step of
// the rules byte by byte, as plainly as it can be written.
//
// Input: byte 0 line_count (0 to 200; above 200 a count outside the table, negative
// or beyond it, whose rows past the table and line_buf must stay untouched),
// bytes 1-4 the half-step count (little-endian), byte 5
// the filler of the raw bytes behind each terminator, byte 6 the byte the display
// rows hold before the call; then rows, each a length byte n and n bytes (n of
// 100 or more: 100 bytes with no terminator at all).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/shared_state.h"
#include "transpose/transpose.h"

namespace {

char before[LINE_ROWS][LINE_WIDTH], expected[LINE_ROWS][LINE_WIDTH], line_buf[LINE_BUF_SIZE];

// The musically right name: the root's entry moved by the count modulo 12,
// within the first octave of the table; XX for a root the table lacks.
const char* model_root(const char* root, int count)
{
    for (int i = 12; i <= 24; i++)
        if (strcmp(note_names[i], root) == 0)
            return note_names[12 + (int)((((int64_t)i - 12 + count) % 12 + 12) % 12)];
    return "XX";
}

void model_row(char* row, const char* raw, int count)
{
    memset(row, 0, LINE_WIDTH);
    memset(row, ' ', 80);
    int length = 0;
    for (; length < LINE_WIDTH - 1 && raw[length]; length++)
        row[length] = raw[length];
    row[length] = 0;
    if (!memchr(row, '<', length))
        return;
    for (int p = 0; p < length;) {
        row[p] = row[p] == '<' ? ' ' : row[p] >= 'a' && row[p] <= 'g' ? (char)(row[p] - 32) : row[p];
        if (row[p] < 'A' || row[p] > 'G') {
            p++;
            continue;
        }
        int n = 1;   // the chord: up to a blank, terminator or '<' among ten, else one character
        while (n < 10 && row[p + n] != ' ' && row[p + n] && row[p + n] != '<')
            n++;
        n = n == 10 ? 1 : n;
        char root[3] = {row[p], 0, 0}, t1 = n >= 2 ? row[p + 1] : 0;
        int rest = 1;
        if (t1 == 'B' || t1 == '#' || (t1 == 'b' && !(n >= 4 && strncmp(row + p + 1, "bas", 3) == 0))) {
            root[1] = t1 == '#' ? '#' : 'b';
            rest = 2;
        }
        const char* respell[4][2] = {{"Ab", "G#"}, {"Db", "C#"}, {"Gb", "F#"}, {"A#", "Bb"}};
        for (auto& pair : respell)
            if (strcmp(root, pair[0]) == 0)
                strcpy(root, pair[1]);
        char chord[16];
        snprintf(chord, sizeof chord, "%s%.*s ", model_root(root, count), n - rest, row + p + rest);
        for (int i = 0; chord[i] && p + i <= LINE_WIDTH - 2; i++)
            row[p + i] = chord[i];
        p += n + 1;
    }
    for (int i = 0; row[i]; i++)
        row[i] = row[i] == '<' ? ' ' : row[i];
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
    for (int r = 0; r < built; r++)
        model_row(expected[r], state.raw_lines[r], count);
    transpose_song(count);
    for (int r = 0; r < LINE_ROWS; r++)
        if (memcmp(state.display_lines[r], r < built ? expected[r] : before[r], LINE_WIDTH) != 0)
            abort();
    if (memcmp(line_buf, state.line_buf, sizeof line_buf) != 0)
        abort();
    return 0;
}
