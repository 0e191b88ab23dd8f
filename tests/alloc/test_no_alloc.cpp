// The hot paths of the core allocate nothing: malloc, calloc and realloc of this
// program are counted (operator new takes its memory from malloc), and the
// lookup, loader, title index and transposer must leave the count as they found it.
#include "store/index.h"
#include "store/search.h"
#include "tests/support/test_files.h"
#include "transpose/transpose.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
}

static volatile long allocations = 0;

extern "C" void* malloc(size_t size) { return allocations = allocations + 1, __libc_malloc(size); }
extern "C" void* calloc(size_t n, size_t size) { return allocations = allocations + 1, __libc_calloc(n, size); }
extern "C" void* realloc(void* p, size_t size) { return allocations = allocations + 1, __libc_realloc(p, size); }

namespace {

using NoAllocation = InTempDir;
SearchWork work;
FoundSongs found_songs;

TEST_F(NoAllocation, LookupLoadIndexFindAndTransposeAllocateNothing)
{
    write_file("songbook.cnr", many_songs(300));
    // a first round warms up anything the C library sets up once per process
    copy_bounded(state.current_title, TITLE_SIZE, "SONG 300");
    load_song();
    find_songs_by_words(&work, &found_songs, "songbook.cnr", "Mercy, song 300");
    static TitleList list;
    read_title_list("songbook.cnr", &list);
    long before = allocations;
    int found = 0;
    for (int round = 0; round < 3; round++) {
        copy_bounded(state.current_title, TITLE_SIZE, "SONG 300");
        load_song();
        for (int steps = -11; steps <= 12; steps++)
            transpose_song(steps);
        state.show_hidden = round & 1;
        EXPECT_EQ(find_songs_by_words(&work, &found_songs, "songbook.cnr", "Mercy, song 300"), 1);
        read_title_list("songbook.cnr", &list);
        copy_bounded(state.current_title, TITLE_SIZE, "no such song");
        found = load_song();
    }
    EXPECT_EQ(allocations - before, 0);
    // and the work was done
    EXPECT_EQ(list.count, 300);
    EXPECT_EQ(found, -1);
    EXPECT_STREQ(found_songs.list, "SONG 300 ");
}

}  // namespace
