// Record reader and text routines of the song library (and of the song list file).
#include "store/record.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#define OPEN_FLAGS (_O_RDONLY | _O_BINARY)
#else
#include <unistd.h>
#define OPEN_FLAGS O_RDONLY
#endif

int song_file_open(SongFile* file, const char* name)
{
    file->fd = open(name, OPEN_FLAGS);
    file->base = 0;
    file->pos = 0;
    file->len = 0;
    file->at_end = 0;
    file->stopped = 0;
    file->error = 0;
    file->record_start = 0;
    file->record_len = 0;
    return file->fd >= 0 ? 0 : -1;
}

void song_file_close(SongFile* file)
{
    if (file->fd >= 0)
        close(file->fd);
    file->fd = -1;
}

long song_file_offset(const SongFile* file)
{
    return file->base + file->pos;
}

// Refills the buffer; returns 0, or -1 at the end of the file or on a read error.
static int refill(SongFile* file)
{
    if (file->at_end || file->fd < 0)
        return -1;
    file->base += file->len;
    file->pos = 0;
    file->len = 0;
    for (;;) {
        int n = (int)read(file->fd, file->buf, sizeof file->buf);
        if (n > 0) {
            file->len = n;
            return 0;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            file->error = 1;
        file->at_end = 1;
        return -1;
    }
}

int song_file_seek(SongFile* file, long offset)
{
    if (file->fd < 0 || lseek(file->fd, offset, SEEK_SET) != offset)
        return -1;
    file->base = offset;
    file->pos = 0;
    file->len = 0;
    file->at_end = 0;
    // a 0x1A met before may lie behind the new offset: it stops the records again there
    file->stopped = 0;
    return 0;
}

int song_file_read_bytes(SongFile* file, unsigned char* out, int size)
{
    if (file->pos >= file->len && refill(file) != 0)
        return file->error ? -1 : 0;
    int n = file->len - file->pos;
    if (n > size)
        n = size;
    memcpy(out, file->buf + file->pos, n);
    file->pos += n;
    return n;
}

int read_record(SongFile* file, char* buf)
{
    if (file->stopped)
        return -1;
    int n = 0;
    file->record_start = song_file_offset(file);
    while (n < RECORD_MAX) {
        if (file->pos >= file->len && refill(file) != 0)
            return -1;   // an unterminated last line is never delivered
        unsigned char c = file->buf[file->pos++];
        if (c == 0x1A) {
            // Ctrl-Z ends the records for good
            file->stopped = 1;
            return -1;
        }
        if (c == '\r')
            continue;   // a CR is dropped wherever it stands
        if (c != '\n') {
            buf[n++] = (char)c;
            continue;
        }
        if (n == 0 || buf[0] != ';')
            break;
        // a comment line: the next line starts the record
        n = 0;
        file->record_start = song_file_offset(file);
    }
    buf[n] = 0;
    file->record_len = n;
    return 0;
}

void trim_trailing(char* text)
{
    int n = (int)strlen(text);
    for (int i = n - 1; i >= 1; i--) {
        signed char c = (signed char)text[i];
        if (c > 32)
            break;
        if (c == ' ' || c == '\n' || c == '\r')
            text[i] = 0;
    }
}

// Windows-1252 small letters and their capitals: a-z, à-þ (not ÷), š, œ, ž, ÿ.
// ß has no capital of its own and stays as it is.
static unsigned char capital_of(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return (unsigned char)(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

void upper_case(char* text)
{
    for (; *text; text++)
        *text = (char)capital_of((unsigned char)*text);
}

char* extract_title(char* line, TitleBlanks blanks)
{
    char* p = strstr(line, ":::::");
    if (!p)
        return line + strlen(line);
    while (*p == ':')
        p++;
    if (blanks == SKIP_ALL_BLANKS) {
        while (*p == ' ')
            p++;
    } else if (*p == ' ') {
        p++;
    }
    if (*p == 0)
        return p;
    char* end = strchr(p + 1, ':');
    if (end)
        *end = 0;
    return p;
}

void copy_bounded(char* dst, int size, const char* src)
{
    if (size <= 0)
        return;
    int i = 0;
    for (; i < size - 1 && src[i]; i++)
        dst[i] = src[i];
    dst[i] = 0;
}
