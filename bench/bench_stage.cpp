// Benchmark of the stage view's layout: a 40-row and a 200-row song on a 1920 x 1080 and a
// 3840 x 2160 screen, against transposing the same song, which every pedal press to a song does too.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "layout/stage_layout.h"
#include "shell/shared_state.h"
#include "transpose/transpose.h"

namespace {

const char* const chord_rows[] = {"    G           D/F#        Em       C<", "    Am7         D7          G<"};
const char* const lyric_rows[] = {"    MORNING HAS COME WITH THE LIGHT OF DAY", "    SING TO THE DAY THAT IS NEW AGAIN"};

// A blank row 0, then verses of eight chord and lyric rows, a blank row after each.
void load_song(int rows)
{
    reset_shared_state();
    snprintf(state.raw_lines[0], LINE_WIDTH, " ");
    for (int r = 1; r < rows; r++) {
        int at = (r - 1) % 9;
        snprintf(state.raw_lines[r], LINE_WIDTH, "%s",
                 at == 8 ? " " : at % 2 == 0 ? chord_rows[at / 2 % 2] : lyric_rows[at / 2 % 2]);
    }
    state.line_count = rows;
    transpose_song(2);
}

StageLayout layout;

void lay_out(benchmark::State& bench)
{
    load_song((int)bench.range(0));
    int width = (int)bench.range(1), height = width * 9 / 16;
    for (auto _ : bench) {
        lay_out_stage(state.raw_lines, state.display_lines, state.line_count, width, height, 600, STAGE_MAX_COLUMNS,
                      &layout);
        benchmark::ClobberMemory();
    }
    bench.counters["screens"] = layout.screens;
    bench.counters["letters"] = layout.letter_height;
}

// The floor: what a song change costs the core already, the song transposed afresh.
void transpose(benchmark::State& bench)
{
    load_song((int)bench.range(0));
    for (auto _ : bench) {
        transpose_song(2);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(lay_out)->Args({40, 1920})->Args({40, 3840})->Args({200, 1920})->Args({200, 3840});
BENCHMARK(transpose)->Arg(40)->Arg(200);
BENCHMARK_MAIN();
