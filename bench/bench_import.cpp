// Benchmark of importing 100 ChordPro files into a library of 10,000 songs, next to plain copies of the library.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "chordpro/import.h"
#include "chordpro/import_files.h"
#include "shell/shared_state.h"
#include "store/file_replace.h"
#include "store/index.h"
#include "store/rewrite.h"
#include "bench/support/floors.h"
#include "bench/support/library_gen.h"

namespace {

TitleList title_list;   // the title box's entries, as the home screen gets them

const int SONGS = 10000;
const int FILES = 100;
const char FOLDER[] = "chordpro";
std::string file_names[FILES];
const char* names[FILES];
ImportBatch batch;
ImportWork work;
ImportRun run;
unsigned char file_bytes[IMPORT_FILE_MAX];

// A folder of its own on the disk (not in memory): the library and the files to import.
struct BenchFolder {
    char path[64] = "/tmp/cantoria-bench-XXXXXX";
    char home[4096] = "";
    BenchFolder()
    {
        if (!getcwd(home, sizeof home) || !mkdtemp(path) || chdir(path) != 0 || mkdir(FOLDER, 0700) != 0)
            abort();
        write_library_file(LIBRARY_FILE, SONGS);
        for (int i = 0; i < FILES; i++) {
            char name[32];
            snprintf(name, sizeof name, "song%03d.cho", i + 1);
            file_names[i] = name;
            names[i] = file_names[i].c_str();
            std::string text = generate_chordpro_song(i + 1);
            FILE* f = fopen((std::string(FOLDER) + "/" + name).c_str(), "wb");
            if (!f || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0)
                abort();
        }
    }
    ~BenchFolder()
    {
        for (int i = 0; i < FILES; i++)
            remove((std::string(FOLDER) + "/" + file_names[i]).c_str());
        rmdir(FOLDER);
        remove(LIBRARY_FILE);
        remove(BACKUP_FILE);
        remove(TEMP_FILE);
        remove("copy.cnr");
        if (chdir(home) == 0)
            rmdir(path);
    }
};


// The floor of every reader: the whole library read once through a big buffer.
void BM_PlainRead(benchmark::State& st)
{
    for (auto _ : st) {
        benchmark::DoNotOptimize(read_plain(LIBRARY_FILE));
    }
}

// The floor of a safe write: the whole library written once more and flushed to the disk.
void BM_PlainCopyFlushed(benchmark::State& st)
{
    for (auto _ : st) {
        copy_flushed(LIBRARY_FILE, "copy.cnr");
    }
}

// The 100 files read and converted, the library not touched.
void BM_ConvertFiles(benchmark::State& st)
{
    for (auto _ : st) {
        import_batch_reset(&batch);
        for (int i = 0; i < FILES; i++) {
            FILE* f = fopen((std::string(FOLDER) + "/" + file_names[i]).c_str(), "rb");
            int len = f ? (int)fread(file_bytes, 1, sizeof file_bytes, f) : 0;
            if (f)
                fclose(f);
            if (convert_song_file(file_bytes, len, names[i], FORMAT_CHORDPRO, i, &batch, &work) != FILE_READ)
                st.SkipWithError("a file was not converted");
        }
    }
}

// Import... as a whole: the files converted, the library read for its titles,
// temp.cnr written and flushed, the backup copied and flushed, the swap, the
// title list refilled. The library is put back between runs, untimed.
void BM_Import100Files(benchmark::State& st)
{
    reset_shared_state();
    for (auto _ : st) {
        if (import_song_files(&run, FOLDER, names, FILES, nullptr, nullptr) != FILES)
            st.SkipWithError("not every song was added");
        read_title_list(LIBRARY_FILE, &title_list);
        st.PauseTiming();
        if (rename(BACKUP_FILE, LIBRARY_FILE) != 0)
            st.SkipWithError("the library could not be put back");
        st.ResumeTiming();
    }
    st.SetBytesProcessed(st.iterations() * file_size(LIBRARY_FILE));
}

} // namespace

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopyFlushed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertFiles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import100Files)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    BenchFolder here;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
