// A service of 30 songs spread over generated libraries of 1,000 and 10,000 songs:
// the core's share of "Print List" and "Export List", next to a plain read of the
// library and a plain flushed write of the exported bytes in the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "chordpro/export.h"
#include "layout/service_pages.h"
#include "shell/shared_state.h"
#include "store/file_replace.h"
#include "store/index.h"
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"

namespace {

unsigned char chunk[65536];
SongListEntry service[SONG_LIST_SIZE];
SongLines page;
SongLines export_work;

// The library of this size and a service of 30 of its songs, evenly spread,
// with key changes from -5 to +6.
void use_service(int songs)
{
    use_library(songs);
    for (int i = 0; i < SONG_LIST_SIZE; i++) {
        copy_bounded(service[i].title, TITLE_SIZE, library_title(1 + i * songs / SONG_LIST_SIZE).c_str());
        service[i].key_change = i % 12 - 5;
    }
}

void BM_PlainRead(benchmark::State& st)
{
    use_service((int)st.range(0));
    for (auto _ : st) {
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    }
}

// What "Print List" asks of the core before and between the pages: the titles
// looked up, the running order, every song loaded and transposed.
void BM_PrintedServicePages(benchmark::State& st)
{
    use_service((int)st.range(0));
    long title_at[SONG_LIST_SIZE];
    for (auto _ : st) {
        find_titles(service, SONG_LIST_SIZE, title_at);
        build_running_order(service, title_at, SONG_LIST_SIZE, "Sunday", &page);
        for (int i = 0; i < SONG_LIST_SIZE; i++)
            if (load_service_song(&service[i], title_at[i], &page) != 0)
                st.SkipWithError("song not found");
    }
}

void BM_ExportService(benchmark::State& st)
{
    use_service((int)st.range(0));
    for (auto _ : st)
        if (export_song_list(service, SONG_LIST_SIZE, "service.cho", &export_work) != 0)
            st.SkipWithError("export failed");
}

// The least a safe export must do: the same bytes written to a temporary file,
// flushed to the disk and renamed over the target.
void BM_PlainFlushedWrite(benchmark::State& st)
{
    use_service((int)st.range(0));
    if (export_song_list(service, SONG_LIST_SIZE, "service.cho", &export_work) != 0)
        st.SkipWithError("export failed");
    FILE* in = fopen("service.cho", "rb");
    size_t size = fread(chunk, 1, sizeof chunk, in);
    fclose(in);
    for (auto _ : st) {
        FILE* out = fopen("plain.tmp", "wb");
        fwrite(chunk, 1, size, out);
        flush_to_disk(out);
        fclose(out);
        replace_file("plain.cho", "plain.tmp");
    }
    st.counters["bytes"] = (double)size;
}

}  // namespace

#define SIZES Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_PlainRead)->SIZES;
BENCHMARK(BM_PrintedServicePages)->SIZES;
BENCHMARK(BM_ExportService)->SIZES;
BENCHMARK(BM_PlainFlushedWrite)->SIZES;

int main(int argc, char** argv)
{
    reset_shared_state();
    const char* const files[] = {"service.cho", "plain.cho", nullptr};
    return run_in_folder(argc, argv, "/tmp/cantoria-service-XXXXXX", files);
}
