// The import's text: a file's bytes decoded to Windows-1252, its lines, and small text steps.
#include "chordpro/import_work.h"

#include <cstring>

#include "chordpro/cp1252.h"

enum { CTRL_Z = 0x1A };

static unsigned utf16_unit(const unsigned char* b, int i, bool little_endian)
{
    return little_endian ? (unsigned)(b[i] | b[i + 1] << 8) : (unsigned)(b[i] << 8 | b[i + 1]);
}

static int decode_utf16(unsigned char* b, int len, bool little_endian)
{
    int out = 0;
    for (int i = 2; i + 1 < len; i += 2) {
        unsigned unit = utf16_unit(b, i, little_endian);
        if (unit == 0)
            return -1;
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // a surrogate pair stands for one character beyond 1252: one '?'
            if (unit <= 0xDBFF && i + 3 < len) {
                unsigned next = utf16_unit(b, i + 2, little_endian);
                if (next >= 0xDC00 && next <= 0xDFFF)
                    i += 2;
            }
            b[out++] = '?';
            continue;
        }
        b[out++] = cp1252_from_code(unit);
    }
    return out;
}

// In place: a character never takes more bytes in 1252 than in UTF-8.
static int decode_utf8(unsigned char* b, int from, int len)
{
    int out = 0;
    for (int i = from; i < len;) {
        unsigned code = 0;
        int n = utf8_decode(b + i, len - i, &code);
        if (n == 0) {
            b[out++] = '?';
            i++;
            continue;
        }
        b[out++] = cp1252_from_code(code);
        i += n;
    }
    return out;
}

// The file's bytes as Windows-1252 text, in place. Returns the length, or -1
// when the file is no text: a zero byte, or more control characters than text
// would hold. A byte 0x1A ends the text, as it ends the library for the readers.
int decode_text(unsigned char* b, int len)
{
    if (len >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        len = decode_utf16(b, len, true);
    else if (len >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        len = decode_utf16(b, len, false);
    else if (memchr(b, 0, (size_t)len))
        return -1;
    else if (len >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        len = decode_utf8(b, 3, len);
    else if (is_valid_utf8(b, len))
        len = decode_utf8(b, 0, len);
    if (len < 0)
        return -1;
    const unsigned char* stop = (const unsigned char*)memchr(b, CTRL_Z, (size_t)len);
    if (stop)
        len = (int)(stop - b);
    int controls = 0;
    for (int i = 0; i < len; i++) {
        unsigned char c = b[i];
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || c == 0x7F)
            controls++;
    }
    return controls * 16 > len ? -1 : len;
}

bool is_blank_text(const char* text, int len)
{
    for (int i = 0; i < len; i++) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n' && text[i] != '\f')
            return false;
    }
    return true;
}

// Copies the next line into out (IMPORT_LINE_MAX + 1 bytes), terminated: CR
// dropped, a tab as blanks up to the next eighth column, other control
// characters as one blank. A longer line comes in pieces. Returns its length,
// or -1 at the end of the text.
int next_line(LineReader* r, char* out)
{
    if (r->pos >= r->len)
        return -1;
    int n = 0;
    while (r->pos < r->len) {
        unsigned char c = r->text[r->pos];
        if (c == '\n') {
            r->pos++;
            break;
        }
        if (n >= IMPORT_LINE_MAX)
            break;
        r->pos++;
        if (c == '\r')
            continue;
        if (c == '\t') {
            do
                out[n++] = ' ';
            while (n % 8 != 0 && n < IMPORT_LINE_MAX);
            continue;
        }
        out[n++] = (c < 0x20 || c == 0x7F) ? ' ' : (char)c;
    }
    out[n] = 0;
    return n;
}

int trimmed_length(const char* text, int len)
{
    while (len > 0 && text[len - 1] == ' ')
        len--;
    return len;
}

// Replaces every occurrence of mark in text with the same number of bytes of safe.
int defuse(char* text, const char* mark, const char* safe)
{
    int found = 0;
    for (char* p = strstr(text, mark); p; p = strstr(p, mark)) {
        memcpy(p, safe, strlen(safe));
        found++;
    }
    return found;
}

// The characters ChordPro lets a backslash take literally.
bool is_escapable(char c)
{
    return c && strchr("\\[]{}#%|", c) != nullptr;
}

int unescape(char* text, int len)
{
    int out = 0;
    for (int i = 0; i < len; i++) {
        if (text[i] == '\\' && i + 1 < len && is_escapable(text[i + 1]))
            i++;
        text[out++] = text[i];
    }
    text[out] = 0;
    return out;
}
