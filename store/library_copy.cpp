// Byte-exact copying of the library: where a new song goes in, and ranges of its bytes.
#include "store/library_copy.h"

enum { CTRL_Z = 0x1A };

bool ended_at_line_feed(const SongFile* file)
{
    return file->pos > 0 && file->buf[file->pos - 1] == '\n';
}

long insertion_point(SongFile* file, long from, unsigned char* chunk)
{
    if (song_file_seek(file, from) != 0)
        return -1;
    long point = from;
    long pos = from;
    int n;
    while ((n = song_file_read_bytes(file, chunk, COPY_CHUNK_SIZE)) > 0) {
        for (int i = 0; i < n; i++) {
            if (chunk[i] == CTRL_Z)
                return point;
            if (chunk[i] == '\n')
                point = pos + (long)i + 1;
        }
        pos += (long)n;
    }
    return n < 0 ? -1 : point;
}

int copy_bytes(SongFile* in, long from, long to, SafeWrite* out, unsigned char* chunk)
{
    if (song_file_seek(in, from) != 0)
        return -1;
    long left = to - from;
    for (;;) {
        int want = COPY_CHUNK_SIZE;
        if (to >= 0 && (long)want > left)
            want = (int)left;
        if (want == 0)
            return 0;
        int n = song_file_read_bytes(in, chunk, want);
        if (n < 0)
            return -1;
        if (n == 0)   // the end of the file is the end only when copying up to the end
            return to >= 0 ? -1 : 0;
        if (!safe_write_bytes(out, chunk, (size_t)n))
            return 0;
        left -= (long)n;
    }
}
