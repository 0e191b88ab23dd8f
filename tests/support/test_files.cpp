// Working folders and whole-file helpers for the native tests.
#include "tests/support/test_files.h"

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

// Gives every folder back its owner's rights, so that the removal below can
// empty a folder a test made read-only.
static int allow_removal(const char* path, const struct stat* st, int type, struct FTW*)
{
    if (type == FTW_D || type == FTW_DNR)
        chmod(path, (st->st_mode & 07777) | S_IRWXU);
    return 0;
}

static int remove_entry(const char* path, const struct stat*, int, struct FTW*)
{
    remove(path);
    return 0;
}

TempDir::TempDir()
{
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd))
        old_cwd_ = cwd;
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cantoria-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        ADD_FAILURE() << "cannot make a temporary folder from " << pattern;
        return;
    }
    path_ = pattern;
    if (chdir(path_.c_str()) != 0)
        ADD_FAILURE() << "cannot enter " << path_;
}

TempDir::~TempDir()
{
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0)
        ADD_FAILURE() << "cannot go back to " << old_cwd_;
    if (path_.empty())
        return;
    // pre-order to unlock every folder, then depth first to remove
    nftw(path_.c_str(), allow_removal, 16, FTW_PHYS);
    nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

void InTempDir::SetUp()
{
    dir_ = new TempDir();
}

void InTempDir::TearDown()
{
    delete dir_;
    dir_ = nullptr;
}

void write_file(const char* name, const std::string& bytes)
{
    FILE* f = fopen(name, "wb");
    if (!f) {
        ADD_FAILURE() << "cannot create " << name;
        return;
    }
    if (fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        ADD_FAILURE() << "cannot write " << name;
    if (fclose(f) != 0)
        ADD_FAILURE() << "cannot close " << name;
}

std::string read_file(const char* name)
{
    std::string bytes;
    FILE* f = fopen(name, "rb");
    if (!f)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

bool file_exists(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0;
}
