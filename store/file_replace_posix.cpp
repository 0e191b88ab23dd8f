// Replacing the library safely, POSIX body: the backup as a flushed copy, then an atomic rename.
#include "store/file_replace.h"

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

enum {
    COPY_CHUNK = 65536,
    FOLDER_NAME_SIZE = 4096
};

static unsigned char copy_buf[COPY_CHUNK];

int flush_to_disk(FILE* file)
{
    if (fflush(file) != 0)
        return -1;
    return fsync(fileno(file)) == 0 ? 0 : -1;
}

// Makes `to` a byte-for-byte copy of `from`, on the disk. A copy that failed part
// way is removed, so that a half backup is never taken for a whole one.
static int copy_file(const char* from, const char* to)
{
    FILE* in = fopen(from, "rb");
    if (!in)
        return -1;
    FILE* out = fopen(to, "wb");
    if (!out) {
        fclose(in);
        return -1;
    }
    int failed = 0;
    size_t n;
    while ((n = fread(copy_buf, 1, sizeof copy_buf, in)) > 0) {
        if (fwrite(copy_buf, 1, n, out) != n) {
            failed = 1;
            break;
        }
    }
    if (ferror(in))
        failed = 1;
    if (!failed && flush_to_disk(out) != 0)
        failed = 1;
    if (fclose(out) != 0)
        failed = 1;
    fclose(in);
    if (failed)
        remove(to);
    return failed ? -1 : 0;
}

// A rename is on the disk only once the folder that holds the name is flushed.
static void flush_folder_of(const char* path)
{
    char folder[FOLDER_NAME_SIZE];
    const char* slash = strrchr(path, '/');
    if (!slash) {
        folder[0] = '.';
        folder[1] = 0;
    } else {
        int len = slash == path ? 1 : (int)(slash - path);
        if (len >= (int)sizeof folder)
            return;
        memcpy(folder, path, (size_t)len);
        folder[len] = 0;
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    fsync(fd);
    close(fd);
}

int replace_with_backup(const char* target, const char* temp, const char* backup)
{
    if (copy_file(target, backup) != 0)
        return -1;
    // rename() swaps the name in one step: the old or the new library, never neither
    if (rename(temp, target) != 0)
        return -1;
    // the new library is in place; a folder that cannot be flushed changes nothing
    flush_folder_of(target);
    return 0;
}

int replace_file(const char* target, const char* temp)
{
    if (rename(temp, target) != 0)
        return -1;
    flush_folder_of(target);
    return 0;
}
