// The editor's loading: the chosen song's lines as the text for the editor's text box.
#pragma once

#include "store/rewrite.h"

// Looks the session's title up and puts its body into text (size bytes): every
// line as it stands in the library, followed by CR LF, as long as the text fits
// with its terminating zero. Comment lines and lines of any length come whole;
// other lines go through the markup filter. The session then holds that song
// (where it stands and what it holds), or nothing when it is not found (text
// untouched); a song that did not fit marks the session truncated; what the
// loading leaves out (text or a heading on the title line, markup words, '&', a
// title longer than the title box takes) is said in session->note. current_title
// holds the title in capitals, as the lookup leaves it. Returns 0, or -1 when
// the song is not in the library (or the library cannot be opened).
int load_song_for_editing(EditSession* session, char* text, int size, RewriteWork* work);

// The message for a song that did not fit the editor, and its caption.
extern const char too_long_text[];
extern const char too_long_caption[];
