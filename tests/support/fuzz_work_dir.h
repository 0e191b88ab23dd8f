// The shared set-up of the fuzz targets: each input runs in a fresh work folder
// that is the current directory only while it runs (libFuzzer keeps relative
// corpus paths); the folder and the files a target names are removed at exit.
// scripts/fuzz.sh gives -artifact_prefix, so that crash files land in the build folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

void fuzz_work_dir_init(int* argc, char*** argv, const char* pattern, const char* const* files);
void enter_work_dir();
void leave_work_dir();
// Whole files: written exactly (a failure aborts), read ("" when missing).
void fuzz_write(const char* name, const std::string& bytes);
std::string fuzz_read(const char* name);
// A failed check says what failed, leaves the work folder and aborts, so that
// libFuzzer keeps the input where it was started.
void fuzz_check(bool ok, const char* what);

// The entry points of a target whose inputs each run fuzz_one(data, size) in a
// work folder made from pattern; the files listed are removed at exit.
#define FUZZ_IN_WORK_DIR(pattern, ...)                                            \
    extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)                  \
    {                                                                             \
        static const char* const files[] = {__VA_ARGS__, nullptr};                \
        fuzz_work_dir_init(argc, argv, pattern, files);                           \
        return 0;                                                                 \
    }                                                                             \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)       \
    {                                                                             \
        enter_work_dir();                                                         \
        fuzz_one(data, size);                                                     \
        leave_work_dir();                                                         \
        return 0;                                                                 \
    }
