// The editor's boxes as data: their lines, the checks a save makes of them, and the song they write.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/safe_write.h"

// The editor's two boxes as the dialog read them: the title box and the text
// box, whose lines are separated by CR LF.
struct EditorText {
    const char* title;
    const char* text;
    int len;
};

// FNV-1a over bytes, from HASH_START: cheap, and a change anywhere changes it.
static const uint64_t HASH_START = 1469598103934665603ULL;
uint64_t hash_bytes(uint64_t hash, const void* bytes, size_t n);

// A hash of the boxes; a session keeps it of the boxes as shown, so that the
// editor knows whether anything was changed since.
uint64_t editor_text_hash(const EditorText* boxes);

// Whether the song may be written under title (the title box as it will be
// stored): a title holding "#*#*#" or ':' or a line holding ":::::" or "#*#*#"
// would change the library's structure, and a line longer than 19,999
// characters is never cut short. False with the reason in message.
bool check_editor_text(const EditorText* boxes, const char* title, char* message, int size);

// The song being written: the bytes go to the file and into the hash and length
// that the session keeps of what it wrote.
struct SongOut {
    SafeWrite* file;
    uint64_t hash;
    long len;
};

// The title line, then the body: a single blank line, then every line of the
// text box followed by one blank, each ending CR LF; bytes 0x1A are left out.
void write_song(SongOut* out, const char* title, const EditorText* boxes);
