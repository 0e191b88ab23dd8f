// Benchmark of the chord transposer on a realistic 200-row song, against a memcpy of its rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "shell/shared_state.h"
#include "transpose/transpose.h"

namespace {

const char* const chords[] = {
    "G", "Am7", "F#m", "Bb", "Csus4", "G/B", "D", "Em", "C", "Dm7", "Ebmaj7", "A7",
};
const char* const lyrics[] = {
    "Amazing grace, how sweet the sound",
    "That saved a wretch like me",
    "I once was lost, but now am found",
    "Was blind, but now I see",
};

// Every other row a chord row of about 40 columns holding 4 to 6 chords, marked
// behind its last chord; the rows between them lyrics.
void load_realistic_song()
{
    reset_shared_state();
    int next = 0;
    for (int r = 0; r < LINE_ROWS; r++) {
        char* row = state.raw_lines[r];
        if (r % 2) {
            snprintf(row, LINE_WIDTH, "%s", lyrics[(r / 2) % 4]);
            continue;
        }
        int chords_here = 4 + (r / 2) % 3;
        int column = 0;
        memset(row, ' ', LINE_WIDTH);
        for (int c = 0; c < chords_here; c++) {
            const char* chord = chords[next++ % 12];
            memcpy(row + column, chord, strlen(chord));
            column += (int)strlen(chord);
            if (c + 1 < chords_here)
                column += 44 / chords_here - 2;
        }
        row[column] = '<';
        row[column + 1] = 0;
    }
    state.line_count = LINE_ROWS;
}

void transpose_at_count(benchmark::State& bench)
{
    load_realistic_song();
    int count = (int)bench.range(0);
    for (auto _ : bench) {
        transpose_song(count);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(transpose_at_count)->DenseRange(-11, 12);

// All 24 counts of the viewer's keys in turn: the time of one iteration is 24 songs.
void transpose_every_key(benchmark::State& bench)
{
    load_realistic_song();
    for (auto _ : bench) {
        for (int count = -11; count <= 12; count++) {
            transpose_song(count);
            benchmark::ClobberMemory();
        }
    }
    bench.SetItemsProcessed(bench.iterations() * 24);
}
BENCHMARK(transpose_every_key);

void memcpy_rows(benchmark::State& bench)
{
    load_realistic_song();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(state.raw_lines);
        memcpy(state.display_lines, state.raw_lines, sizeof state.display_lines);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(memcpy_rows);

// Prints the usual table, then the time per song against the memcpy of the same run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        double copy = times_["memcpy_rows"];
        double every = times_["transpose_every_key"] / 24;
        double worst = 0;
        for (const auto& [name, time] : times_)
            if (name.rfind("transpose_at_count/", 0) == 0 && time > worst)
                worst = time;
        if (copy > 0 && every > 0)
            printf("per song: %.0f ns mean over the 24 keys, %.0f ns slowest key; "
                   "memcpy of the 200 rows %.0f ns; ratio %.1f (slowest %.1f)\n",
                   every, worst, copy, every / copy, worst / copy);
    }

private:
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
