// Record reader and text routines of the song library (and of the song list file).
#include "store/record.h"

#include <cstring>

int song_file_open(SongFile* file, const char* name)
{
    file->fp = fopen(name, "rb");
    file->base = 0;
    file->pos = 0;
    file->len = 0;
    file->at_end = 0;
    file->record_start = 0;
    return file->fp ? 0 : -1;
}

void song_file_close(SongFile* file)
{
    if (file->fp)
        fclose(file->fp);
    file->fp = nullptr;
}

long song_file_offset(const SongFile* file)
{
    return file->base + file->pos;
}

// Refills the buffer; returns 0, or -1 at the end of the file or on a read error.
static int refill(SongFile* file)
{
    if (file->at_end || !file->fp)
        return -1;
    file->base += file->len;
    file->pos = 0;
    file->len = (int)fread(file->buf, 1, sizeof file->buf, file->fp);
    if (file->len <= 0) {
        file->len = 0;
        file->at_end = 1;
        return -1;
    }
    return 0;
}

// Byte-exact with a loop that reads one byte at a time, drops CR, ends at LF or
// 0x1A and cuts at 991 characters, but it moves whole runs of plain bytes at once.
int read_record(SongFile* file, char* buf)
{
    int n = 0;
    file->record_start = song_file_offset(file);
    for (;;) {
        if (file->pos >= file->len && refill(file) != 0)
            return -1;
        const unsigned char* start = file->buf + file->pos;
        int avail = file->len - file->pos;
        int room = RECORD_MAX - n;
        int take = avail < room ? avail : room;

        // find the first LF, CR or 0x1A among the bytes that may still go in
        int i = 0;
        while (i < take) {
            unsigned char c = start[i];
            if (c == '\n' || c == '\r' || c == 0x1A)
                break;
            i++;
        }
        memcpy(buf + n, start, i);
        n += i;
        file->pos += i;
        if (i < take) {
            unsigned char c = start[i];
            file->pos++;
            if (c == 0x1A) {
                // Ctrl-Z ends the input for good
                file->at_end = 1;
                file->pos = file->len;
                return -1;
            }
            if (c == '\n') {
                if (n > 0 && buf[0] == ';') {
                    n = 0;
                    file->record_start = song_file_offset(file);
                    continue;
                }
                buf[n] = 0;
                return 0;
            }
            continue;   // a CR is dropped wherever it stands
        }
        if (n == RECORD_MAX) {
            buf[n] = 0;
            return 0;
        }
    }
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

void upper_case(char* text)
{
    for (; *text; text++) {
        if (*text >= 'a' && *text <= 'z')
            *text = (char)(*text - 32);
    }
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

bool same_title(char* a, char* b)
{
    trim_trailing(a);
    upper_case(a);
    trim_trailing(b);
    upper_case(b);
    return strcmp(a, b) == 0;
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
