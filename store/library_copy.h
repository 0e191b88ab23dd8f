// Byte-exact copying of the library: where a new song goes in, and ranges of its bytes.
#pragma once

#include <cstdio>

#include "store/record.h"
#include "store/rewrite.h"

// A record ends at its LF or is cut at RECORD_MAX characters; its length does not
// tell which, since a record may hold zero bytes. True for the record just read.
bool ended_at_line_feed(const SongFile* file);

// Where a new song goes when the book has no end marker: just behind the last LF
// that the readers reach, so that an unterminated last line and everything behind
// a 0x1A follow the new song unchanged. Scans the raw bytes from `from` (the end
// of the last record that ended at an LF). Returns -1 on a read error.
long insertion_point(SongFile* file, long from);

// Copies the library's bytes [from, to) (to -1: up to the end of the file).
RewriteResult copy_bytes(SongFile* in, long from, long to, FILE* out);
