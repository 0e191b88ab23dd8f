// Working folders and whole-file helpers for the native tests.
#pragma once

#include <string>

#include <gtest/gtest.h>

// Makes a fresh empty folder (mkdtemp) and makes it the current directory for
// the object's life; on destruction goes back to the previous directory and
// removes the folder with everything in it (also after a test made it read-only).
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Full path of the folder; empty if it could not be made.
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string old_cwd_;
};

// Fixture base: every test runs in a fresh TempDir of its own, so that the
// program's bare file names ("songbook.cnr", "songlist.txt") land there.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    const std::string& temp_path() const { return dir_->path(); }

private:
    TempDir* dir_ = nullptr;
};

// Writes the bytes exactly (binary mode), replacing the file.
void write_file(const char* name, const std::string& bytes);
// The whole file's bytes; empty when it cannot be opened.
std::string read_file(const char* name);
bool file_exists(const char* name);
