// The editor's hint under its text box: chord rows without a mark, marked rows holding words.
#pragma once

// The hint for a whole text (lines separated by CR LF or LF): which rows look
// like chords but have no mark, and which marked rows hold words, by line number
// from 1 ("line 7 looks like chords but has no <"); empty when all is well. out
// is always terminated within size bytes.
void chord_row_hint(const char* text, int len, char* out, int size);
