// Benchmark of saving a song: the last song of a 10,000-song library replaced, next to plain file copies.
#include <cstring>
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
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"

namespace {

const int SONGS = 10000;

// The floor of every reader: the whole file read once through a big buffer.
void BM_PlainRead(benchmark::State& st)
{
    use_library(SONGS);
    for (auto _ : st) {
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    }
    st.SetBytesProcessed(st.iterations() * file_size(LIBRARY_FILE));
}

// The floor of a safe save: the whole file written once more and flushed to the disk.
void BM_PlainCopyFlushed(benchmark::State& st)
{
    use_library(SONGS);
    for (auto _ : st) {
        copy_flushed(LIBRARY_FILE, "copy.cnr");
    }
    st.SetBytesProcessed(st.iterations() * file_size(LIBRARY_FILE));
}

// Exit/Save on the last song: read to find it, temp.cnr written and flushed, the
// backup copied and flushed, the swap, the title list refilled.
void BM_SaveLastSong(benchmark::State& st)
{
    use_library(SONGS);
    reset_shared_state();
    static RewriteWork work;
    static char text[EDIT_BUF_SIZE];
    EditSession session;
    edit_session_start(&session, library_title(SONGS).c_str(), 0);
    load_song_for_editing(&session, text, sizeof text, &work);
    if (!session.holds_song)
        st.SkipWithError("last song not found");
    std::string title = session.title;
    for (auto _ : st) {
        // a changed editor each time: an unchanged one writes nothing
        session.shown_hash = 0;
        EditorText boxes{title.c_str(), text, (int)strlen(text)};
        if (rewrite_songbook(&session, &boxes, &work) != REWRITE_OK)
            st.SkipWithError("save failed");
    }
    st.SetBytesProcessed(st.iterations() * file_size(LIBRARY_FILE));
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyFlushed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveLastSong)->Unit(benchmark::kMillisecond);

// In a folder of its own on the disk, not in memory.
int main(int argc, char** argv)
{
    const char* const files[] = {BACKUP_FILE, TEMP_FILE, "copy.cnr", nullptr};
    return run_in_folder(argc, argv, "/tmp/cantoria-bench-XXXXXX", files);
}
