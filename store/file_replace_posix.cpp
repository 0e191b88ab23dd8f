// The platform's file steps, POSIX body: fsync, rename, flock.
#include "store/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

enum { FOLDER_NAME_SIZE = 4096 };

int flush_to_disk(FILE* file)
{
    if (fflush(file) != 0)
        return -1;
    return fsync(fileno(file)) == 0 ? 0 : -1;
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

int replace_file(const char* target, const char* temp)
{
    // rename() swaps the name in one step: the old file or the new, never neither
    if (rename(temp, target) != 0)
        return -1;
    flush_folder_of(target);
    return 0;
}

WriteResult last_file_error()
{
    switch (errno) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return WRITE_DISK_FULL;
    case EROFS:
    case EACCES:
    case EPERM:
    case EISDIR:
        return WRITE_READ_ONLY;
    case EBUSY:
    case ETXTBSY:
        return WRITE_IN_USE;
    default:
        return WRITE_FAILED;
    }
}

// flock() belongs to the open file: it goes with the process that held it.
int lock_take(const char* lock_name, intptr_t* handle)
{
    int fd = open(lock_name, O_RDWR | O_CREAT, 0644);
    if (fd < 0)
        return -1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int held = errno == EWOULDBLOCK;
        close(fd);
        return held ? 0 : -1;
    }
    *handle = fd;
    return 1;
}

void lock_release(intptr_t handle)
{
    flock((int)handle, LOCK_UN);
    close((int)handle);
}

void make_writable(const char* name)
{
    struct stat info;
    if (stat(name, &info) == 0 && !(info.st_mode & S_IWUSR))
        chmod(name, info.st_mode | S_IWUSR);
}

void pause_ms(int ms)
{
    struct timespec wait = {ms / 1000, (long)(ms % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}
