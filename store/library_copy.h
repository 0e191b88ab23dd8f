// Byte-exact copying of the library: where a new song goes in, and ranges of its bytes.
#pragma once

#include "store/record.h"
#include "store/safe_write.h"

enum { COPY_CHUNK_SIZE = 16384 };

// A record ends at its LF or is cut at RECORD_MAX characters; its length does not
// tell which, since a record may hold zero bytes. True for the record just read.
bool ended_at_line_feed(const SongFile* file);

// Where a new song goes when the book has no end marker: just behind the last LF
// that the readers reach, so that an unterminated last line and everything behind
// a 0x1A follow the new song unchanged. Scans the raw bytes from `from` (the end
// of the last record that ended at an LF) through chunk (COPY_CHUNK_SIZE bytes).
// Returns -1 on a read error.
long insertion_point(SongFile* file, long from, unsigned char* chunk);

// Copies the library's bytes [from, to) (to -1: up to the end of the file) into
// the file being written. Returns 0, or -1 when the library could not be read
// (a failed write is kept in out).
int copy_bytes(SongFile* in, long from, long to, SafeWrite* out, unsigned char* chunk);
