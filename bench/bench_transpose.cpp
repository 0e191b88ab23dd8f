// Benchmark of the chord transposer on a realistic 200-row song, against a memcpy of its rows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

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
// With --benchmark_repetitions the fastest repetition is reported too: on a
// shared machine it shows the cost with the least interference.
double fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

BENCHMARK(transpose_every_key)->ComputeStatistics("min", fastest);

void memcpy_rows(benchmark::State& bench)
{
    load_realistic_song();
    for (auto _ : bench) {
        benchmark::DoNotOptimize(state.raw_lines);
        memcpy(state.display_lines, state.raw_lines, sizeof state.display_lines);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(memcpy_rows)->ComputeStatistics("min", fastest);

// Prints the usual table, then the time per song against the memcpy of the same
// run: the means, and the fastest repetitions when there are repetitions.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                means_[run.run_name.function_name].push_back(run.GetAdjustedRealTime());
            else if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min")
                mins_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        print_ratio("mean", mean_of("transpose_every_key"), mean_of("memcpy_rows"));
        if (mins_.count("transpose_every_key") && mins_.count("memcpy_rows"))
            print_ratio("fastest repetition", mins_["transpose_every_key"], mins_["memcpy_rows"]);
    }

private:
    double mean_of(const std::string& name)
    {
        const std::vector<double>& times = means_[name];
        double sum = 0;
        for (double t : times)
            sum += t;
        return times.empty() ? 0 : sum / times.size();
    }
    static void print_ratio(const char* what, double every_key, double copy)
    {
        if (every_key > 0 && copy > 0)
            printf("%s: %.0f ns per song (24 keys, -11 to +12), memcpy of the 200 rows %.0f ns, "
                   "ratio %.1f\n",
                   what, every_key / 24, copy, every_key / 24 / copy);
    }
    std::map<std::string, std::vector<double>> means_;
    std::map<std::string, double> mins_;
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
