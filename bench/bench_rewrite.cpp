// Benchmark of saving a song: the last song of a 10,000-song library replaced, next to plain file copies.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/file_replace.h"
#include "store/index.h"
#include "store/rewrite.h"
#include "tests/support/fake_ui.h"
#include "bench/support/library_gen.h"

namespace {

const int SONGS = 10000;
unsigned char chunk[65536];

// A folder of its own on the disk (not in memory), holding the generated library.
struct BenchFolder {
    char path[64] = "/tmp/cantoria-bench-XXXXXX";
    char home[4096] = "";
    BenchFolder()
    {
        if (!getcwd(home, sizeof home) || !mkdtemp(path) || chdir(path) != 0)
            abort();
        write_library_file(LIBRARY_FILE, SONGS);
    }
    ~BenchFolder()
    {
        remove(LIBRARY_FILE);
        remove(BACKUP_FILE);
        remove(TEMP_FILE);
        remove("copy.cnr");
        if (chdir(home) == 0)
            rmdir(path);
    }
};

long library_size()
{
    FILE* f = fopen(LIBRARY_FILE, "rb");
    if (!f)
        return 0;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fclose(f);
    return size;
}

// The floor of every reader: the whole file read once through a big buffer.
void BM_PlainRead(benchmark::State& st)
{
    for (auto _ : st) {
        FILE* f = fopen(LIBRARY_FILE, "rb");
        size_t total = 0, n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
            total += n;
        fclose(f);
        benchmark::DoNotOptimize(total);
    }
    st.SetBytesProcessed(st.iterations() * library_size());
}

// The floor of a safe save: the whole file written once more and flushed to the disk.
void BM_PlainCopyFlushed(benchmark::State& st)
{
    for (auto _ : st) {
        FILE* in = fopen(LIBRARY_FILE, "rb");
        FILE* out = fopen("copy.cnr", "wb");
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, in)) > 0)
            fwrite(chunk, 1, n, out);
        flush_to_disk(out);
        fclose(out);
        fclose(in);
    }
    st.SetBytesProcessed(st.iterations() * library_size());
}

// Exit/Save on the last song: read to find it, temp.cnr written and flushed, the
// backup copied and flushed, the swap, the title list refilled.
void BM_SaveLastSong(benchmark::State& st)
{
    reset_shared_state();
    fake_ui_reset();
    EditSession session;
    edit_session_start(&session, library_title(SONGS).c_str(), 0);
    load_song_for_editing(nullptr, &session);
    if (!session.holds_song)
        st.SkipWithError("last song not found");
    for (auto _ : st) {
        if (rewrite_songbook(&session, nullptr) != REWRITE_OK)
            st.SkipWithError("save failed");
    }
    st.SetBytesProcessed(st.iterations() * library_size());
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyFlushed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLastSong)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    BenchFolder here;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
