// The hot paths of the core allocate nothing: every heap allocation of this test
// program is counted, and the lookup, loader, title index and transposer must
// leave the count as they found it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "shell/shared_state.h"
#include "store/index.h"
#include "store/search.h"
#include "tests/support/fake_ui.h"
#include "tests/support/library_gen.h"
#include "tests/support/test_files.h"
#include "transpose/transpose.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}

static volatile long allocations = 0;

extern "C" void* malloc(size_t size)
{
    allocations = allocations + 1;
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size)
{
    allocations = allocations + 1;
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size)
{
    allocations = allocations + 1;
    return __libc_realloc(block, size);
}

extern "C" void free(void* block)
{
    __libc_free(block);
}

void* operator new(size_t size)
{
    allocations = allocations + 1;
    void* block = __libc_malloc(size ? size : 1);
    if (!block)
        abort();
    return block;
}

void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { __libc_free(block); }
void operator delete[](void* block) noexcept { __libc_free(block); }
void operator delete(void* block, size_t) noexcept { __libc_free(block); }
void operator delete[](void* block, size_t) noexcept { __libc_free(block); }

namespace {

class NoAllocation : public InTempDir {
protected:
    void SetUp() override
    {
        InTempDir::SetUp();
        reset_shared_state();
        fake_ui_reset();
        write_library_file("songbook.cnr", 300);
    }
};

TEST_F(NoAllocation, LookupLoadIndexFindAndTransposeAllocateNothing)
{
    // a first round warms up anything the C library sets up once per process
    copy_bounded(state.current_title, TITLE_SIZE, library_title(300).c_str());
    load_song();
    find_songs_by_words(nullptr, "songbook.cnr", "Mercy, song 00300");
    fill_title_list(nullptr, "songbook.cnr");

    long before = allocations;
    for (int round = 0; round < 3; round++) {
        copy_bounded(state.current_title, TITLE_SIZE, library_title(300).c_str());
        load_song();
        for (int steps = -11; steps <= 12; steps++)
            transpose_song(steps);
        state.show_hidden = round & 1;
        EXPECT_EQ(find_songs_by_words(nullptr, "songbook.cnr", "Mercy, song 00300"), 1);
        fill_title_list(nullptr, "songbook.cnr");
        SongFile file;
        if (song_file_open(&file, "songbook.cnr") == 0) {
            copy_bounded(state.current_title, TITLE_SIZE, "no such song");
            find_song(&file);
            song_file_close(&file);
        }
    }
    long used = allocations - before;
    EXPECT_EQ(used, 0);
    // and the work was done
    EXPECT_GT(state.line_count, 10);
    EXPECT_EQ(fake_ui.title_count, 300);
    EXPECT_STREQ(fake_ui.status, "Song Not Found");
}

}
