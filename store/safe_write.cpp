// The one way the program writes a file: whole under a temporary name, flushed, moved into place.
#include "store/safe_write.h"

#include <cerrno>
#include <cstring>

#include "songlist/songlist_file.h"
#include "store/book_format.h"

enum {
    LOCK_POLL_MS = 100,
    COPY_CHUNK = 16384
};

// The folder part of path, with its separator ("" for a bare name).
static int folder_length(const char* path)
{
    int n = 0;
    for (int i = 0; path[i]; i++)
        if (path[i] == '/' || path[i] == '\\')
            n = i + 1;
    return n;
}

static bool fits(const char* a, const char* b, int size)
{
    return (int)(strlen(a) + strlen(b)) < size;
}

static void join(char* out, const char* a, int a_len, const char* b)
{
    memcpy(out, a, (size_t)a_len);
    strcpy(out + a_len, b);
}

static WriteResult take_folder_lock(SafeWrite* w)
{
    char name[SAFE_PATH_SIZE];
    int folder = folder_length(w->target);
    if (folder + (int)sizeof LOCK_FILE > SAFE_PATH_SIZE)
        return WRITE_FAILED;
    join(name, w->target, folder, LOCK_FILE);
    for (int waited = 0;; waited += LOCK_POLL_MS) {
        int taken = lock_take(name, &w->lock);
        if (taken > 0) {
            w->locked = 1;
            return WRITE_OK;
        }
        if (taken < 0)
            return last_file_error();
        if (waited >= LOCK_WAIT_MS)
            return WRITE_BUSY;
        pause_ms(LOCK_POLL_MS);
    }
}

static void release(SafeWrite* w)
{
    if (w->locked)
        lock_release(w->lock);
    w->locked = 0;
}

WriteResult safe_write_begin(SafeWrite* w, const char* target, const char* temp)
{
    memset(w, 0, sizeof *w);
    if (!fits(target, ".tmp", SAFE_PATH_SIZE) || (temp && !fits(temp, "", SAFE_PATH_SIZE)))
        return w->result = WRITE_FAILED;
    strcpy(w->target, target);
    if (temp)
        strcpy(w->temp, temp);
    else
        join(w->temp, target, (int)strlen(target), ".tmp");
    w->result = take_folder_lock(w);
    if (w->result != WRITE_OK)
        return w->result;
    w->file = fopen(w->temp, "wb");
    if (!w->file) {
        w->result = last_file_error();
        release(w);
    }
    return w->result;
}

bool safe_write_bytes(SafeWrite* w, const void* bytes, size_t n)
{
    if (w->result != WRITE_OK)
        return false;
    if (n > 0 && fwrite(bytes, 1, n, w->file) != n)
        w->result = last_file_error();
    return w->result == WRITE_OK;
}

bool safe_write_text(SafeWrite* w, const char* text)
{
    return safe_write_bytes(w, text, strlen(text));
}

// Closes the temporary file, on the disk; a full disk may show only here.
static void finish_temp(SafeWrite* w)
{
    // a caller may have written through the file itself
    if (w->result == WRITE_OK && ferror(w->file))
        w->result = WRITE_FAILED;
    if (w->result == WRITE_OK && flush_to_disk(w->file) != 0)
        w->result = last_file_error();
    if (fclose(w->file) != 0 && w->result == WRITE_OK)
        w->result = last_file_error();
    w->file = nullptr;
}

// Copies from into the open file to; returns WRITE_OK or the cause.
static WriteResult copy_into(FILE* from, FILE* to)
{
    unsigned char chunk[COPY_CHUNK];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, from)) > 0)
        if (fwrite(chunk, 1, n, to) != n)
            return last_file_error();
    if (ferror(from))
        return WRITE_FAILED;
    return flush_to_disk(to) == 0 ? WRITE_OK : last_file_error();
}

// The backup, made the safe way: a copy of the target under backup + ".tmp",
// then moved over the old backup. A target that does not exist yet has none.
static WriteResult make_backup(const char* target, const char* backup)
{
    char temp[SAFE_PATH_SIZE];
    if (!fits(backup, ".tmp", SAFE_PATH_SIZE))
        return WRITE_FAILED;
    join(temp, backup, (int)strlen(backup), ".tmp");
    FILE* from = fopen(target, "rb");
    if (!from)   // no target yet: nothing to keep; one that cannot be read: no save without its backup
        return errno == ENOENT ? WRITE_OK : last_file_error();
    FILE* to = fopen(temp, "wb");
    WriteResult result = to ? copy_into(from, to) : last_file_error();
    fclose(from);
    if (to && fclose(to) != 0 && result == WRITE_OK)
        result = last_file_error();
    // a backup left read-only by an older version or by hand would block every save
    make_writable(backup);
    if (result == WRITE_OK && replace_file(backup, temp) != 0)
        result = last_file_error();
    if (result != WRITE_OK)
        remove(temp);
    return result;
}

WriteResult safe_write_commit(SafeWrite* w, const char* backup)
{
    if (w->file)
        finish_temp(w);
    if (w->result == WRITE_OK && backup)
        w->result = make_backup(w->target, backup);
    if (w->result == WRITE_OK && replace_file(w->target, w->temp) != 0)
        w->result = last_file_error();
    if (w->result != WRITE_OK)
        remove(w->temp);
    release(w);
    return w->result;
}

void safe_write_abandon(SafeWrite* w)
{
    if (w->file) {
        fclose(w->file);
        w->file = nullptr;
        remove(w->temp);
    }
    release(w);
}

const char* write_failure_text(WriteResult result)
{
    switch (result) {
    case WRITE_OK: return "";
    case WRITE_DISK_FULL: return "the disk is full";
    case WRITE_READ_ONLY: return "the file or its folder is read-only";
    case WRITE_IN_USE: return "another program is using the file";
    case WRITE_BUSY: return "another program is saving into this folder right now";
    case WRITE_OWN_FILE: return "that name is one of the program's own files";
    case WRITE_FAILED: break;
    }
    return "the file could not be written";
}

static bool same_name(const char* a, const char* b, int len)
{
    for (int i = 0; i < len; i++) {
        char x = a[i] >= 'a' && a[i] <= 'z' ? (char)(a[i] - 32) : a[i] == '/' ? '\\' : a[i];
        char y = b[i] >= 'a' && b[i] <= 'z' ? (char)(b[i] - 32) : b[i] == '/' ? '\\' : b[i];
        if (x != y)
            return false;
    }
    return true;
}

bool is_own_file(const char* path, const char* folder, bool song_list)
{
    static const char* const own[] = {LIBRARY_FILE, BACKUP_FILE, TEMP_FILE, LOCK_FILE, SONG_LIST_FILE};
    int folder_len = (int)strlen(folder);
    int path_folder = folder_length(path);
    // the path's folder is the program's one: the same name, then one separator
    // (a drive's root "C:\" has its separator already)
    bool ends_with_separator = folder_len > 0 && (folder[folder_len - 1] == '\\' || folder[folder_len - 1] == '/');
    if (path_folder != folder_len + (ends_with_separator ? 0 : 1) || !same_name(path, folder, folder_len))
        return false;
    const char* name = path + path_folder;
    int count = song_list ? 5 : 4;
    for (int i = 0; i < count; i++)
        if (strlen(name) == strlen(own[i]) && same_name(name, own[i], (int)strlen(own[i])))
            return true;
    return false;
}
