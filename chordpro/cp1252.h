// Windows-1252, the library's character set, to and from UTF-8.
#pragma once

// Writes the UTF-8 form of one Windows-1252 byte into out (at least 4 bytes);
// returns its length. The five bytes 1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) become the control characters of the same number.
int cp1252_to_utf8(unsigned char byte, char* out);

// Decodes one UTF-8 character at text (len bytes available). Returns the number
// of bytes it takes (1 to 4) with its code point in *code, or 0 when the bytes
// there are not valid UTF-8 (a stray continuation byte, an overlong form, a
// surrogate, a character cut short by the end).
int utf8_decode(const unsigned char* text, int len, unsigned* code);

// The Windows-1252 byte of a code point, or '?' when 1252 cannot hold it.
unsigned char cp1252_from_code(unsigned code);

// Whether the whole text is valid UTF-8.
bool is_valid_utf8(const unsigned char* text, int len);
