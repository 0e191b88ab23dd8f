// Working folders, case tables and child processes for the native tests.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "shell/shared_state.h"
#include "tests/support/case_file.h"
#include "tests/support/files.h"

// Makes a fresh empty folder (mkdtemp) the current directory for the object's
// life; then goes back and removes it with everything in it (read-only or not).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

private:
    std::string path_, old_cwd_;
};

// Fixture base: every test runs in a fresh folder of its own, so that the program's
// bare file names ("songbook.cnr") land there, from a reset shared state and interface.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = new TempDir();
        reset_shared_state();
    }
    void TearDown() override { delete dir_; }

private:
    TempDir* dir_ = nullptr;
};

// A library of n songs titled "SONG 1" to "SONG n", each a title line and 39
// lines of marked chords and words.
std::string many_songs(int n);
// A file of the source tree, e.g. "tests/golden/x.cnr": its bytes.
std::string source_file(const std::string& relative);
// The titles the fake title box holds, each followed by "\n".
std::vector<std::string> title_entries();   // of the title box, from the library
std::string titles_listed();                // the same, each followed by "\n"

// Every line of a case file of the source tree, its first field included, in order.
std::vector<Case> case_lines(const std::string& relative);
// The cases of one function in tests/cases/<table>.txt, without the function's name.
std::vector<Case> cases(const char* table, const char* function);

// A test (fixture Suite, so in a fresh folder) of one function over its table:
// the body computes a case's result from its fields; it must equal the last field.
#define TABLE_TEST(Suite, Name, table, function)                                                  \
    static std::string Suite##_##Name(const Case& c);                                             \
    TEST_F(Suite, Name)                                                                           \
    {                                                                                             \
        for (const Case& c : cases(table, function))                                              \
            EXPECT_EQ(Suite##_##Name(c), c.back()) << function << " of " << testing::PrintToString(c[0]); \
    }                                                                                             \
    static std::string Suite##_##Name(const Case& c)

// Runs fn(arg) in a forked child under a file-size limit (< 0: none; a write past
// it fails instead of raising SIGXFSZ); returns its exit code, or -1 if it did not exit.
int run_in_child(int (*fn)(long), long arg, long file_limit = -1);
