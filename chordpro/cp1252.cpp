// Windows-1252, the library's character set, to and from UTF-8.
#include "chordpro/cp1252.h"

// The bytes 0x80 to 0x9F, where 1252 differs from Latin-1. Zero: undefined in
// 1252, carried as the control character of the same number.
static const unsigned short high_codes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

static unsigned code_of(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0 && high_codes[byte - 0x80])
        return high_codes[byte - 0x80];
    return byte;
}

int cp1252_to_utf8(unsigned char byte, char* out)
{
    unsigned code = code_of(byte);
    if (code < 0x80) {
        out[0] = (char)code;
        return 1;
    }
    if (code < 0x800) {
        out[0] = (char)(0xC0 | (code >> 6));
        out[1] = (char)(0x80 | (code & 0x3F));
        return 2;
    }
    out[0] = (char)(0xE0 | (code >> 12));
    out[1] = (char)(0x80 | ((code >> 6) & 0x3F));
    out[2] = (char)(0x80 | (code & 0x3F));
    return 3;
}

int utf8_decode(const unsigned char* text, int len, unsigned* code)
{
    if (len <= 0)
        return 0;
    unsigned char first = text[0];
    if (first < 0x80) {
        *code = first;
        return 1;
    }
    int size;
    unsigned value;
    unsigned least;     // the smallest code point of this length: shorter forms are overlong
    if ((first & 0xE0) == 0xC0) {
        size = 2, value = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        size = 3, value = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        size = 4, value = first & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (len < size)
        return 0;
    for (int i = 1; i < size; i++) {
        if ((text[i] & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (text[i] & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    *code = value;
    return size;
}

unsigned char cp1252_from_code(unsigned code)
{
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return (unsigned char)code;
    for (int i = 0; i < 32; i++) {
        unsigned mapped = high_codes[i] ? high_codes[i] : 0x80u + (unsigned)i;
        if (mapped == code)
            return (unsigned char)(0x80 + i);
    }
    return '?';
}

bool is_valid_utf8(const unsigned char* text, int len)
{
    unsigned code;
    for (int i = 0; i < len;) {
        int n = utf8_decode(text + i, len - i, &code);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}
