// Replacing the library safely, Win32 body: CopyFileA makes the backup, MoveFileExA swaps.
#include "store/file_replace.h"

#include <windows.h>

#include <io.h>

int flush_to_disk(FILE* file)
{
    if (fflush(file) != 0)
        return -1;
    HANDLE handle = (HANDLE)_get_osfhandle(_fileno(file));
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    return FlushFileBuffers(handle) ? 0 : -1;
}

// CopyFileA leaves the copy in the system's cache: the backup is on the disk
// only once its own handle has been flushed.
static int flush_file_by_name(const char* name)
{
    HANDLE handle = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    BOOL flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    return flushed ? 0 : -1;
}

int replace_with_backup(const char* target, const char* temp, const char* backup)
{
    // CopyFileA fails when the library is held open without sharing or the
    // backup is read-only; the library is then untouched
    if (!CopyFileA(target, backup, FALSE) || flush_file_by_name(backup) != 0)
        return -1;
    // one step on the same volume: the old or the new library, never neither
    if (!MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return -1;
    return 0;
}

int replace_file(const char* target, const char* temp)
{
    return MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
}
