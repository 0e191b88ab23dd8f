// Benchmark of the title index and the lookup and loading of the last song over
// generated libraries, against a plain buffered read of the same file (the floor).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/index.h"
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"

namespace {

TitleList title_list;   // the title box's entries, as the home screen gets them

// One folder per library size, each holding its "songbook.cnr"; the benchmark
// of a size runs with that folder as the current directory.
std::string root;

void remove_libraries()
{
    for (int songs : {1000, 10000}) {
        std::string dir = root + "/" + std::to_string(songs);
        remove((dir + "/" LIBRARY_FILE).c_str());
        rmdir(dir.c_str());
    }
    rmdir(root.c_str());
}

void enter_library(int songs)
{
    if (root.empty()) {
        char pattern[] = "/tmp/cantoria-bench-index-XXXXXX";
        if (!mkdtemp(pattern))
            abort();
        root = pattern;
        atexit(remove_libraries);
    }
    std::string dir = root + "/" + std::to_string(songs);
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) {
        mkdir(dir.c_str(), 0700);
        if (chdir(dir.c_str()) != 0)
            abort();
        write_library_file(LIBRARY_FILE, songs);
    }
    if (chdir(dir.c_str()) != 0)
        abort();
}


// The floor: every byte of the file through fread, in chunks of the reader's
// own buffer size.
void plain_fread(benchmark::State& bench)
{
    enter_library((int)bench.range(0));
    for (auto _ : bench) {
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

// For scale: every byte through getc_unlocked, a byte-by-byte reader at its best.
void getc_unlocked_bytes(benchmark::State& bench)
{
    enter_library((int)bench.range(0));
    for (auto _ : bench) {
        FILE* f = fopen(LIBRARY_FILE, "rb");
        long sum = 0;
        int c;
        while ((c = getc_unlocked(f)) != EOF)
            sum += c;
        fclose(f);
        benchmark::DoNotOptimize(sum);
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

// The record reader alone, to tell its share from the index's own work.
void read_all_records(benchmark::State& bench)
{
    enter_library((int)bench.range(0));
    static SongFile file;
    for (auto _ : bench) {
        song_file_open(&file, LIBRARY_FILE);
        int records = 0;
        while (read_record(&file, state.line_buf) == 0)
            records++;
        song_file_close(&file);
        benchmark::DoNotOptimize(records);
    }
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

void fill_title_list_of_library(benchmark::State& bench)
{
    int songs = (int)bench.range(0);
    enter_library(songs);
    reset_shared_state();
    for (auto _ : bench) {
        read_title_list(LIBRARY_FILE, &title_list);
    }
    if (title_list.count != songs)
        bench.SkipWithError("wrong number of titles");
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

void find_and_load_last_song(benchmark::State& bench)
{
    int songs = (int)bench.range(0);
    enter_library(songs);
    reset_shared_state();
    std::string last = library_title(songs);
    for (auto _ : bench) {
        copy_bounded(state.current_title, TITLE_SIZE, last.c_str());
        load_song();
    }
    if (state.line_count != 40)
        bench.SkipWithError("last song not loaded");
    bench.SetBytesProcessed(bench.iterations() * file_size(LIBRARY_FILE));
}

}  // namespace

BENCHMARK(plain_fread)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(getc_unlocked_bytes)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(read_all_records)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(fill_title_list_of_library)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(find_and_load_last_song)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
