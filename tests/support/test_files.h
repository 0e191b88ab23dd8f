// Working folders, whole-file helpers and case tables for the native tests.
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/case_file.h"

// Makes a fresh empty folder (mkdtemp) and makes it the current directory for
// the object's life; on destruction goes back and removes the folder with
// everything in it (also after a test made it read-only).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_, old_cwd_;
};

// Fixture base: every test runs in a fresh TempDir of its own, so that the
// program's bare file names ("songbook.cnr", "songlist.txt") land there.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override { dir_ = new TempDir(); }
    void TearDown() override { delete dir_; }
    const std::string& temp_path() const { return dir_->path(); }

private:
    TempDir* dir_ = nullptr;
};

// Writes the bytes exactly (binary mode), replacing the file.
void write_file(const char* name, const std::string& bytes);
// The whole file's bytes; empty when it cannot be opened.
std::string read_file(const char* name);
bool file_exists(const char* name);
// A library of n songs titled "SONG 1" to "SONG n", each a title line and 39
// lines of marked chords and words.
std::string many_songs(int n);
// A file of the source tree, e.g. "tests/golden/x.cnr": its bytes.
std::string source_file(const std::string& relative);

// Case tables kept as text (tests/support/case_file.h).
// Every line of such a file of the source tree, its first field included, in order.
std::vector<Case> case_lines(const std::string& relative);
// The cases of one function in tests/cases/<table>.txt, without the function's name.
std::vector<Case> cases(const char* table, const char* function);

// A test (in a fresh folder, fixture Suite) of one function over its table: the
// body computes a case's result from its fields; it must equal the last field.
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
