// The platform's file steps, Win32 body: FlushFileBuffers, MoveFileExA, a lock file no one shares.
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

int replace_file(const char* target, const char* temp)
{
    // one step on the same volume: the old file or the new, never neither
    return MoveFileExA(temp, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0 : -1;
}

WriteResult last_file_error()
{
    switch (GetLastError()) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return WRITE_DISK_FULL;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return WRITE_READ_ONLY;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return WRITE_IN_USE;
    default:
        return WRITE_FAILED;
    }
}

// Opened with no sharing: a second program gets a sharing violation until the
// holder closes it, which the system does for a program that ended. The file
// goes with the last handle.
int lock_take(const char* lock_name, intptr_t* handle)
{
    HANDLE lock = CreateFileA(lock_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (lock != INVALID_HANDLE_VALUE) {
        *handle = (intptr_t)lock;
        return 1;
    }
    DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ? 0 : -1;
}

void lock_release(intptr_t handle)
{
    CloseHandle((HANDLE)handle);
}

void make_writable(const char* name)
{
    DWORD attributes = GetFileAttributesA(name);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(name, attributes & ~FILE_ATTRIBUTE_READONLY);
}

void pause_ms(int ms)
{
    Sleep((DWORD)ms);
}
