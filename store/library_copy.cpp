// Byte-exact copying of the library: where a new song goes in, and ranges of its bytes.
#include "store/library_copy.h"

enum {
    COPY_CHUNK = 65536,
    CTRL_Z = 0x1A
};

// The library is read and written in big chunks through one buffer of the program's own.
static unsigned char copy_buf[COPY_CHUNK];

// A record ends at its LF or is cut at RECORD_MAX characters; its length does not
// tell which, since a record may hold zero bytes.
bool ended_at_line_feed(const SongFile* file)
{
    return file->pos > 0 && file->buf[file->pos - 1] == '\n';
}

// Where a new song goes when the book has no end marker: just behind the last LF
// that the readers reach, so that an unterminated last line and everything behind
// a 0x1A follow the new song unchanged. Returns -1 on a read error.
long insertion_point(SongFile* file, long from)
{
    if (song_file_seek(file, from) != 0)
        return -1;
    long point = from;
    long pos = from;
    int n;
    while ((n = song_file_read_bytes(file, copy_buf, sizeof copy_buf)) > 0) {
        for (int i = 0; i < n; i++) {
            if (copy_buf[i] == CTRL_Z)
                return point;
            if (copy_buf[i] == '\n')
                point = pos + (long)i + 1;
        }
        pos += (long)n;
    }
    return n < 0 ? -1 : point;
}

// Copies the library's bytes [from, to) (to -1: up to the end of the file).
RewriteResult copy_bytes(SongFile* in, long from, long to, FILE* out)
{
    if (song_file_seek(in, from) != 0)
        return REWRITE_NO_LIBRARY;
    long left = to - from;
    for (;;) {
        int want = (int)sizeof copy_buf;
        if (to >= 0 && (long)want > left)
            want = (int)left;
        if (want == 0)
            return REWRITE_OK;
        int n = song_file_read_bytes(in, copy_buf, want);
        if (n < 0)
            return REWRITE_NO_LIBRARY;
        if (n == 0) {
            // the end of the file is the end only when copying up to the end
            return to >= 0 ? REWRITE_NO_LIBRARY : REWRITE_OK;
        }
        if (fwrite(copy_buf, 1, (size_t)n, out) != (size_t)n)
            return REWRITE_WRITE_FAILED;
        left -= (long)n;
    }
}
