// The shared set-up of the fuzz targets (see the header).
#include "tests/support/fuzz_work_dir.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

static char work_dir[256];
static const char* const* work_files;
static int home_dir = -1;
static char artifact_flag[4200] = "-artifact_prefix=";
static char* fuzz_args[260];

void enter_work_dir()
{
    if (chdir(work_dir) != 0)
        abort();
}

void leave_work_dir()
{
    if (fchdir(home_dir) != 0)
        abort();
}

static void remove_work_dir()
{
    enter_work_dir();
    for (const char* const* name = work_files; *name; name++)
        remove(*name);
    leave_work_dir();
    rmdir(work_dir);
}

static void add_artifact_prefix(int* argc, char*** argv)
{
    if (*argc >= 256)
        return;
    for (int i = 0; i < *argc; i++) {
        if (strncmp((*argv)[i], "-artifact_prefix=", 17) == 0)
            return;
    }
    size_t at = strlen(artifact_flag);
    if (!getcwd(artifact_flag + at, sizeof artifact_flag - at - 1))
        return;
    strcat(artifact_flag, "/");
    for (int i = 0; i < *argc; i++)
        fuzz_args[i] = (*argv)[i];
    fuzz_args[(*argc)++] = artifact_flag;
    fuzz_args[*argc] = nullptr;
    *argv = fuzz_args;
}

void fuzz_work_dir_init(int* argc, char*** argv, const char* pattern, const char* const* files)
{
    snprintf(work_dir, sizeof work_dir, "%s", pattern);
    work_files = files;
    home_dir = open(".", O_RDONLY | O_DIRECTORY);
    if (home_dir < 0 || !mkdtemp(work_dir))
        abort();
    atexit(remove_work_dir);
    add_artifact_prefix(argc, argv);
}

void fuzz_write(const char* name, const std::string& bytes)
{
    FILE* f = fopen(name, "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0)
        abort();
}

std::string fuzz_read(const char* name)
{
    std::string bytes;
    FILE* f = fopen(name, "rb");
    if (!f)
        return bytes;
    char chunk[65536];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
        bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

void fuzz_check(bool ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "fuzz check failed: %s\n", what);
        leave_work_dir();
        abort();
    }
}
