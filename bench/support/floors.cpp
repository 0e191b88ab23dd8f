// The floors every benchmark is measured against in the same run, and the folder
// and library a benchmark runs on.
#include "bench/support/floors.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

#include "bench/support/library_gen.h"

#include "store/file_replace.h"
#include "store/index.h"
#include "store/record.h"

// The reader's own buffer size, so that the floor reads in the same chunks.
static unsigned char chunk[SONG_FILE_BUF];

long file_size(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0 ? (long)st.st_size : 0;
}

size_t read_plain(const char* name)
{
    FILE* f = fopen(name, "rb");
    size_t total = 0, n;
    if (!f)
        return 0;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        total += n;
    fclose(f);
    return total;
}

void copy_flushed(const char* from, const char* to)
{
    FILE* in = fopen(from, "rb");
    FILE* out = fopen(to, "wb");
    size_t n;
    while (in && out && (n = fread(chunk, 1, sizeof chunk, in)) > 0)
        fwrite(chunk, 1, n, out);
    if (out) {
        flush_to_disk(out);
        fclose(out);
    }
    if (in)
        fclose(in);
}

static int library_songs = 0;

void use_library(int songs)
{
    if (library_songs == songs)
        return;
    write_library_file(LIBRARY_FILE, songs);
    library_songs = songs;
}

void forget_library()
{
    library_songs = 0;
}

int run_in_folder(int argc, char** argv, const char* pattern, const char* const* files)
{
    char home[4096];
    char folder[256];
    snprintf(folder, sizeof folder, "%s", pattern);
    benchmark::Initialize(&argc, argv);
    if (!getcwd(home, sizeof home) || !mkdtemp(folder) || chdir(folder) != 0)
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove(LIBRARY_FILE);
    for (; files && *files; files++)
        remove(*files);
    if (chdir(home) == 0)
        rmdir(folder);
    return 0;
}
