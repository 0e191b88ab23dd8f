// The core over generated libraries of 1,000, 10,000 and 50,000 songs: the title
// list, finding and loading the last song, transposing it at every count, and
// saving a change to it, each next to a plain buffered read of the same file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "shell/shared_state.h"
#include "store/edit_load.h"
#include "store/index.h"
#include "store/rewrite.h"
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"
#include "transpose/transpose.h"

namespace {

TitleList title_list;   // the title box's entries, as the home screen gets them

void BM_PlainRead(benchmark::State& st)
{
    use_library((int)st.range(0));
    for (auto _ : st)
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    st.SetBytesProcessed(st.iterations() * file_size(LIBRARY_FILE));
}

void BM_FillTitleList(benchmark::State& st)
{
    use_library((int)st.range(0));
    reset_shared_state();
    for (auto _ : st) {
        read_title_list(LIBRARY_FILE, &title_list);
    }
    if (title_list.count != st.range(0))
        st.SkipWithError("titles missing");
}

void BM_FindAndLoadLastSong(benchmark::State& st)
{
    use_library((int)st.range(0));
    reset_shared_state();
    std::string last = library_title((int)st.range(0));
    for (auto _ : st) {
        copy_bounded(state.current_title, TITLE_SIZE, last.c_str());
        load_song();
    }
    if (state.line_count < 2)
        st.SkipWithError("last song not found");
}

void BM_TransposeLastSongAtEveryCount(benchmark::State& st)
{
    use_library((int)st.range(0));
    reset_shared_state();
    copy_bounded(state.current_title, TITLE_SIZE, library_title((int)st.range(0)).c_str());
    load_song();
    for (auto _ : st) {
        for (int steps = -11; steps <= 12; steps++)
            transpose_song(steps);
        benchmark::DoNotOptimize(state.display_lines[1][0]);
    }
}

void BM_SaveChangeToLastSong(benchmark::State& st)
{
    use_library((int)st.range(0));
    reset_shared_state();
    static RewriteWork work;
    static char text[EDIT_BUF_SIZE];
    EditSession session;
    edit_session_start(&session, library_title((int)st.range(0)).c_str(), 0);
    load_song_for_editing(&session, text, sizeof text, &work);
    std::string title = session.title;
    const char changed[] = "G   D<\r\na changed line";
    for (auto _ : st) {
        session.shown_hash = 0;   // a changed editor each time
        EditorText boxes{title.c_str(), changed, (int)sizeof changed - 1};
        if (rewrite_songbook(&session, &boxes, &work) != REWRITE_OK)
            st.SkipWithError("save failed");
    }
    // the next size starts from a fresh library
    forget_library();
}

} // namespace

#define SIZES Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_PlainRead)->SIZES;
BENCHMARK(BM_FillTitleList)->SIZES;
BENCHMARK(BM_FindAndLoadLastSong)->SIZES;
BENCHMARK(BM_TransposeLastSongAtEveryCount)->SIZES;
BENCHMARK(BM_SaveChangeToLastSong)->SIZES;

int main(int argc, char** argv)
{
    const char* const files[] = {BACKUP_FILE, TEMP_FILE, nullptr};
    return run_in_folder(argc, argv, "/tmp/cantoria-scale-XXXXXX", files);
}
