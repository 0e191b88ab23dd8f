// The shared set-up of the fuzz targets: each input runs in a fresh work folder
// that is the current directory only while it runs (libFuzzer keeps relative
// corpus paths); the folder is removed at exit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/files.h"

void fuzz_work_dir_init(const char* pattern);
void enter_work_dir();
void leave_work_dir();
// A failed check says what failed, leaves the work folder and aborts, so that
// libFuzzer keeps the input where it was started.
void fuzz_check(bool ok, const char* what);

// The entry points of a target whose inputs each run fuzz_one(data, size) in a
// work folder made from pattern.
#define FUZZ_IN_WORK_DIR(pattern)                                                           \
    extern "C" int LLVMFuzzerInitialize(int*, char***) { return fuzz_work_dir_init(pattern), 0; } \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)                 \
    {                                                                                       \
        enter_work_dir();                                                                   \
        fuzz_one(data, size);                                                               \
        return leave_work_dir(), 0;                                                         \
    }
