// The shared set-up of the fuzz targets (see the header).
#include "tests/support/fuzz_work_dir.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

static char work_dir[256];
static int home_dir = -1;

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
    std::error_code error;
    std::filesystem::remove_all(work_dir, error);
}

void fuzz_work_dir_init(const char* pattern)
{
    snprintf(work_dir, sizeof work_dir, "%s", pattern);
    home_dir = open(".", O_RDONLY | O_DIRECTORY);
    if (home_dir < 0 || !mkdtemp(work_dir))
        abort();
    atexit(remove_work_dir);
}

void fuzz_check(bool ok, const char* what)
{
    if (!ok) {
        fprintf(stderr, "fuzz check failed: %s\n", what);
        leave_work_dir();
        abort();
    }
}
