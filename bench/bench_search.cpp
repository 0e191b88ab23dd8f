// Benchmark of Find over generated libraries of 1,000 and 10,000 songs, next to
// two floors in the same run: a plain buffered read of the file and the record
// reader alone over the whole file; and the search against both floors timed
// side by side in each iteration.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"

namespace {

TitleList title_list;   // the title box's entries, as the home screen gets them

SearchWork search_work;
FoundSongs found_songs;

// Floor 1: every byte of the file through fread, in chunks of the reader's buffer size.
void plain_fread(benchmark::State& bench)
{
    use_library((int)bench.range(0));
    for (auto _ : bench) {
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

// Floor 2: every record through the record reader, as the search takes them.
void read_all_records(benchmark::State& bench)
{
    use_library((int)bench.range(0));
    static SongFile file;
    static char record[RECORD_MAX + 1];
    for (auto _ : bench) {
        song_file_open(&file, LIBRARY_FILE);
        int records = 0;
        while (read_record(&file, record) == 0)
            records++;
        song_file_close(&file);
        benchmark::DoNotOptimize(records);
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

// For scale: the full title list of the same library.
void fill_title_list_of_library(benchmark::State& bench)
{
    use_library((int)bench.range(0));
    reset_shared_state();
    for (auto _ : bench) {
        read_title_list(LIBRARY_FILE, &title_list);
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

// The searches, each with the number of songs it must find (-1: all of them).
struct Query {
    const char* words;
    int found;
};
const Query queries[] = {
    {"zebra", 0},                       // in no song: every lyric line of every song scanned
    {"mercy evening table", -1},        // in every song: each song left once its words are found
    {"song 00007", 1},                  // "song" in every title, "00007" in one: every line scanned
    {"Am7 shadows", 0},                 // a chord-row word: chord rows are not searched
    {"sing, of GRACE", -1},             // words found early in every song
    {"heart", 0},                       // common letters only: many places compared in full
};

void find_songs(benchmark::State& bench)
{
    int songs = (int)bench.range(0);
    const Query& query = queries[bench.range(1)];
    use_library(songs);
    reset_shared_state();
    int found = 0;
    for (auto _ : bench) {
        found = find_songs_by_words(&search_work, &found_songs, LIBRARY_FILE, query.words);
    }
    if (found != (query.found < 0 ? songs : query.found))
        bench.SkipWithError("wrong number of songs found");
    bench.SetLabel(query.words);
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

double seconds_now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long read_file_once()
{
    return (long)read_plain(LIBRARY_FILE);
}

int read_records_once()
{
    static SongFile file;
    static char record[RECORD_MAX + 1];
    song_file_open(&file, LIBRARY_FILE);
    int records = 0;
    while (read_record(&file, record) == 0)
        records++;
    song_file_close(&file);
    return records;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The search timed right after a plain read and a read through the record
// reader of the same file, in each iteration: the three share whatever else the
// machine is doing at that moment, so the ratios hold where the times do not.
// Counters: the medians of the iteration ratios to each floor.
void find_songs_against_floors(benchmark::State& bench)
{
    int songs = (int)bench.range(0);
    const Query& query = queries[bench.range(1)];
    use_library(songs);
    reset_shared_state();
    std::vector<double> to_fread, to_reader;
    for (auto _ : bench) {
        double t0 = seconds_now();
        benchmark::DoNotOptimize(read_file_once());
        double t1 = seconds_now();
        benchmark::DoNotOptimize(read_records_once());
        double t2 = seconds_now();
        benchmark::DoNotOptimize(find_songs_by_words(&search_work, &found_songs, LIBRARY_FILE, query.words));
        double t3 = seconds_now();
        to_fread.push_back((t3 - t2) / (t1 - t0));
        to_reader.push_back((t3 - t2) / (t2 - t1));
    }
    bench.counters["x_fread"] = median(to_fread);
    bench.counters["x_reader"] = median(to_reader);
    bench.SetLabel(query.words);
}

}  // namespace

// On a shared machine the fastest repetition is the least disturbed one.
double fastest(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

#define SIZES Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", fastest)
BENCHMARK(plain_fread)->SIZES;
BENCHMARK(read_all_records)->SIZES;
BENCHMARK(fill_title_list_of_library)->SIZES;
BENCHMARK(find_songs)
    ->ArgsProduct({{1000, 10000}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", fastest);
BENCHMARK(find_songs_against_floors)
    ->ArgsProduct({{10000}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2);

int main(int argc, char** argv)
{
    return run_in_folder(argc, argv, "/tmp/cantoria-bench-search-XXXXXX", nullptr);
}
