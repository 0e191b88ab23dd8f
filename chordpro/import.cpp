// ChordPro files and plain chord sheets turned into songs of the library.
#include "store/book_format.h"
#include "chordpro/import.h"

#include <cstdio>
#include <cstring>

#include "chordpro/cp1252.h"
#include "store/record.h"
#include "transpose/chord_row.h"

enum {
    PAIR_ITEMS_MAX = IMPORT_LINE_MAX / 2,   // chords or tokens of one line: each takes two columns at least
    CHORD_TEXT_MAX = 20,                     // a longer bracketed chord is cut
    DIRECTIVE_NAME_MAX = 32,
    CTRL_Z = 0x1A,
    CHORDPRO_GAP = 2,       // blanks kept between two chords, so that a chord can grow when transposed
    SHEET_GAP = 1           // a chord sheet's tokens stand as written; only a break moves them
};

// ---- text --------------------------------------------------------------------

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
static int decode_text(unsigned char* b, int len)
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

static bool is_blank_text(const char* text, int len)
{
    for (int i = 0; i < len; i++) {
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\r' && text[i] != '\n' && text[i] != '\f')
            return false;
    }
    return true;
}

// The lines of the decoded text, one at a time.
struct LineReader {
    const unsigned char* text;
    int len;
    int pos;
};

// Copies the next line into out (IMPORT_LINE_MAX + 1 bytes), terminated: CR
// dropped, a tab as blanks up to the next eighth column, other control
// characters as one blank. A longer line comes in pieces. Returns its length,
// or -1 at the end of the text.
static int next_line(LineReader* r, char* out)
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

static int trimmed_length(const char* text, int len)
{
    while (len > 0 && text[len - 1] == ' ')
        len--;
    return len;
}

// Replaces every occurrence of mark in text with the same number of bytes of safe.
static int defuse(char* text, const char* mark, const char* safe)
{
    int found = 0;
    for (char* p = strstr(text, mark); p; p = strstr(p, mark)) {
        memcpy(p, safe, strlen(safe));
        found++;
    }
    return found;
}

// ---- the songs of one file -------------------------------------------------------

struct Conversion {
    ImportBatch* batch;
    int source;
    const char* file_name;
    bool full;              // the batch has no room left: the file is given back
    bool open;              // a song is being built
    bool titled;
    bool verbatim;          // inside a tab or grid section: lines as they stand
    bool describing;        // the rows being written only describe the song (key, artist, "Chorus:")
    bool sung;              // the open song has a row that is more than a description
    int body_start;         // where the open song's body begins in the pool
    int lines;              // body lines written so far
    int held_blanks;        // blank lines written only when a line follows
    int songs_done;         // songs of this file finished so far
};

static Conversion cv;

static NewSong* open_song()
{
    return &cv.batch->songs[cv.batch->song_count];
}

static void begin_song()
{
    cv.open = true;
    cv.titled = false;
    cv.lines = 0;
    cv.held_blanks = 0;
    cv.sung = false;
    if (cv.batch->song_count >= ADD_SONGS_MAX) {
        cv.full = true;
        return;
    }
    NewSong* song = open_song();
    song->title[0] = 0;
    song->body = nullptr;
    song->body_len = 0;
    song->taken = TITLE_FREE;
    cv.batch->source[cv.batch->song_count] = cv.source;
    cv.batch->altered[cv.batch->song_count] = 0;
    cv.body_start = cv.batch->used;
}

// A title as the editor's save writes one: capitals, no trailing blanks, at
// most 49 characters; a ':' (which would end the title for every reader) becomes
// a dash ("Psalm 23: The Lord" gives "PSALM 23 - THE LORD"), and the marks
// "#*#*#" and "*****" are broken.
static void make_title(const char* raw, int len, char* title)
{
    int i = 0;
    while (i < len && (raw[i] == ' ' || raw[i] == ':'))
        i++;
    int n = 0;
    for (; i < len && n < IMPORT_TITLE_MAX; i++) {
        if (raw[i] != ':') {
            title[n++] = raw[i];
            continue;
        }
        if (n > 0 && title[n - 1] != ' ' && i + 1 < len && raw[i + 1] == ' ' && n < IMPORT_TITLE_MAX - 1)
            title[n++] = ' ';
        title[n++] = '-';
    }
    title[n] = 0;
    defuse(title, "#*#*#", "#+#+#");
    defuse(title, "*****", "**+**");
    upper_case(title);
    title[trimmed_length(title, n)] = 0;
}

// The file's name without folder and extension, and the song's number in the
// file from the second song on.
static void title_from_file_name(char* title)
{
    const char* name = cv.file_name;
    for (const char* p = cv.file_name; *p; p++) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    int len = (int)strlen(name);
    const char* dot = strrchr(name, '.');
    if (dot && dot > name)
        len = (int)(dot - name);
    char number[16] = "";
    if (cv.songs_done > 0)
        snprintf(number, sizeof number, " %d", cv.songs_done + 1);
    int room = IMPORT_TITLE_MAX - (int)strlen(number);
    make_title(name, len < room ? len : room, title);
    if (title[0] == 0)
        copy_bounded(title, TITLE_SIZE, "NONAME");
    int used = (int)strlen(title);
    copy_bounded(title + used, TITLE_SIZE - used, number);
}

static void set_title(const char* raw, int len)
{
    if (!cv.open)
        begin_song();
    if (cv.full)
        return;
    make_title(raw, len, open_song()->title);
    cv.titled = open_song()->title[0] != 0;
}

static bool append_to_pool(const char* text, int len)
{
    ImportBatch* b = cv.batch;
    if (b->used + len + 1 > IMPORT_POOL_SIZE) {
        cv.full = true;
        return false;
    }
    memcpy(b->pool + b->used, text, (size_t)len);
    b->used += len;
    b->pool[b->used++] = '\n';
    return true;
}

// Writes one body line (at most 99 characters) of the open song. Blank lines
// at the start of a song are dropped and blank lines at its end never written.
// What the library would read otherwise is changed here: ":::::" and "#*#*#"
// (they would start a song or end the library), a leading ';' (a comment line,
// never shown) and '&' (the viewer removes it).
static void put_row(const char* row, int len)
{
    if (!cv.open)
        begin_song();
    if (cv.full)
        return;
    len = trimmed_length(row, len);
    if (len == 0) {
        if (cv.lines > 0)
            cv.held_blanks++;
        return;
    }
    for (; cv.held_blanks > 0; cv.held_blanks--) {
        if (!append_to_pool("", 0))
            return;
        cv.lines++;
    }
    char line[IMPORT_ROW_MAX + 2];
    int n = 0;
    for (int i = 0; i < len && n < IMPORT_ROW_MAX; i++)
        line[n++] = row[i] == '&' ? '+' : row[i];
    line[n] = 0;
    if (defuse(line, ":::::", ";;;;;") + defuse(line, "#*#*#", "#+#+#") > 0)
        cv.batch->altered[cv.batch->song_count]++;
    // checked last: the colons of a line may just have become ';'
    if (line[0] == ';' && n < IMPORT_ROW_MAX) {
        memmove(line + 1, line, (size_t)n + 1);
        line[0] = ' ';
        n++;
    } else if (line[0] == ';') {
        line[0] = ' ';
    }
    if (append_to_pool(line, n)) {
        cv.lines++;
        cv.sung = cv.sung || !cv.describing;
    }
}

static void finish_song()
{
    if (!cv.open)
        return;
    cv.open = false;
    if (cv.full)
        return;
    if (!cv.sung) {
        // a song without lines, or with a key and an artist only, is no song: nothing of it stays
        cv.batch->used = cv.body_start;
        return;
    }
    NewSong* song = open_song();
    if (!cv.titled)
        title_from_file_name(song->title);
    song->body = cv.batch->pool + cv.body_start;
    song->body_len = cv.batch->used - cv.body_start;
    cv.batch->song_count++;
    cv.songs_done++;
}

// ---- a chord row and its lyric row, broken to the viewer's width together -------------

struct ChordItem {
    int col;
    int len;
    int text;       // offset in texts
    bool chord;     // a chord (the mark goes behind the last one), else a bar or sign
};

struct RowPair {
    int count;
    ChordItem items[PAIR_ITEMS_MAX];
    int texts_used;
    char texts[IMPORT_LINE_MAX + 1];
    int lyric_len;
    char lyric[IMPORT_LINE_MAX + 1];
    int gap;        // the least blanks between two items that a break moves
};

static RowPair pair;
static int cols[PAIR_ITEMS_MAX];
static char line_a[IMPORT_LINE_MAX + 1];
static char line_b[IMPORT_LINE_MAX + 1];

static void clear_pair(int gap)
{
    pair.count = 0;
    pair.texts_used = 0;
    pair.lyric_len = 0;
    pair.lyric[0] = 0;
    pair.gap = gap;
}

static void add_item(int col, const char* text, int len, bool chord)
{
    if (pair.count >= PAIR_ITEMS_MAX || pair.texts_used + len > IMPORT_LINE_MAX)
        return;
    memcpy(pair.texts + pair.texts_used, text, (size_t)len);
    pair.items[pair.count++] = ChordItem{col, len, pair.texts_used, chord};
    pair.texts_used += len;
}

static void set_lyric(const char* text, int len)
{
    if (len > IMPORT_LINE_MAX)
        len = IMPORT_LINE_MAX;
    memcpy(pair.lyric, text, (size_t)len);
    pair.lyric[len] = 0;
    pair.lyric_len = trimmed_length(pair.lyric, len);
}

// The columns of items [first, last) in a row whose lyric starts at `start`:
// where they stood, moved right only where they would come closer than the gap
// to the item before (only items a break has moved can). Returns the chord
// row's length with its mark.
static int place_items(int first, int last, int start)
{
    int end = 0;
    int last_chord = -1;
    for (int i = first; i < last; i++) {
        int col = pair.items[i].col - start;
        if (i > first && col < end + pair.gap)
            col = end + pair.gap;
        if (col < 0)
            col = 0;
        cols[i] = col;
        end = col + pair.items[i].len;
        if (pair.items[i].chord)
            last_chord = i;
    }
    // a mark behind the last item adds a column; one behind an earlier chord takes a blank
    return last_chord >= 0 && last_chord == last - 1 ? end + 1 : end;
}

// The chord row of items [first, last) as place_items placed them, marked.
static void write_chord_row(int first, int last, int start)
{
    if (last <= first)
        return;
    place_items(first, last, start);
    char row[IMPORT_ROW_MAX + 1];
    memset(row, ' ', sizeof row);
    int len = 0;
    int mark = -1;
    for (int i = first; i < last; i++) {
        const ChordItem& item = pair.items[i];
        for (int k = 0; k < item.len && cols[i] + k < IMPORT_ROW_MAX; k++)
            row[cols[i] + k] = pair.texts[item.text + k];
        int end = cols[i] + item.len;
        if (end > len)
            len = end < IMPORT_ROW_MAX ? end : IMPORT_ROW_MAX;
        if (item.chord)
            mark = end;
    }
    if (mark >= 0) {
        if (mark > IMPORT_ROW_MAX - 1)
            mark = IMPORT_ROW_MAX - 1;
        row[mark] = '<';
        if (mark + 1 > len)
            len = mark + 1;
    }
    put_row(row, len);
}

static bool holds_text(int from, int len)
{
    for (int i = 0; i < len; i++) {
        if (pair.lyric[from + i] != ' ')
            return true;
    }
    return false;
}

// Chooses where a pair that does not fit is broken: at a blank between words of
// the lyric (or its end) no further than 99 columns on, such that the chords
// standing before it fit in their row with the mark. *last receives the end of
// those chords. Where no such blank exists the lyric is cut at 99 columns and the
// chords that fit go with it.
static int choose_break(int first, int start, int left, int* last)
{
    int widest = left < IMPORT_ROW_MAX ? left : IMPORT_ROW_MAX;
    for (int b = widest; b >= 1; b--) {
        if (start + b < pair.lyric_len && pair.lyric[start + b] != ' ')
            continue;
        if (!holds_text(start, b))
            continue;
        int end = first;
        while (end < pair.count && pair.items[end].col < start + b)
            end++;
        if (place_items(first, end, start) <= IMPORT_ROW_MAX) {
            *last = end;
            return b;
        }
    }
    int end = first;
    while (end < pair.count && (widest == 0 || pair.items[end].col < start + widest) &&
           place_items(first, end + 1, start) <= IMPORT_ROW_MAX)
        end++;
    if (end == first && widest == 0 && end < pair.count)
        end++;   // a single item wider than a row: cut, but the row moves on
    *last = end;
    return widest;
}

// Writes the pair: the chord row (marked) above its lyric row, both broken
// together where either would pass 99 columns. A pair without items is a plain line.
static void emit_pair()
{
    if (pair.count == 0 && pair.lyric_len == 0) {
        put_row("", 0);
        return;
    }
    int start = 0;
    int first = 0;
    while (!cv.full && (first < pair.count || start < pair.lyric_len)) {
        int left = pair.lyric_len > start ? pair.lyric_len - start : 0;
        if (place_items(first, pair.count, start) <= IMPORT_ROW_MAX && left <= IMPORT_ROW_MAX) {
            write_chord_row(first, pair.count, start);
            if (left > 0)
                put_row(pair.lyric + start, left);
            return;
        }
        int last = first;
        int b = choose_break(first, start, left, &last);
        write_chord_row(first, last, start);
        if (b > 0)
            put_row(pair.lyric + start, b);
        first = last;
        start += b;
        while (start < pair.lyric_len && pair.lyric[start] == ' ')
            start++;
        // only chords left: the first of them begins the next row
        if (start >= pair.lyric_len && first < pair.count && pair.items[first].col > start)
            start = pair.items[first].col;
    }
}

static void put_plain(const char* text, int len)
{
    clear_pair(SHEET_GAP);
    set_lyric(text, len);
    emit_pair();
}

// A row that looks like a chord row, its tokens as items above the lyric (may be empty).
static void put_chord_row(const char* row, int len, const char* lyric, int lyric_len)
{
    clear_pair(SHEET_GAP);
    for (int i = 0; i < len;) {
        while (i < len && row[i] == ' ')
            i++;
        int start = i;
        while (i < len && row[i] != ' ')
            i++;
        if (i > start)
            add_item(start, row + start, i - start, is_chord_token(row + start, i - start));
    }
    set_lyric(lyric, lyric_len);
    emit_pair();
}

// ---- plain chord sheets ---------------------------------------------------------

static bool wants_mark(const char* row, int len)
{
    return !is_chord_row(row, len) && looks_like_chord_row(row, len);
}

// The first non-empty line is the title unless it looks like a chord row; a row
// that looks like a chord row gets its mark, together with the lyric row under it.
static void convert_chord_sheet(LineReader* reader)
{
    char* line = line_a;
    char* next = line_b;
    int n;
    while ((n = next_line(reader, line)) >= 0 && trimmed_length(line, n) == 0) {
    }
    if (n < 0)
        return;
    if (!wants_mark(line, n)) {
        set_title(line, n);
        n = next_line(reader, line);
    }
    while (n >= 0 && !cv.full) {
        int m = next_line(reader, next);
        if (!wants_mark(line, n)) {
            put_plain(line, n);
        } else if (m >= 0 && trimmed_length(next, m) > 0 && !wants_mark(next, m) && !is_chord_row(next, m)) {
            put_chord_row(line, n, next, m);
            m = next_line(reader, next);
        } else {
            put_chord_row(line, n, "", 0);
        }
        char* swap = line;
        line = next;
        next = swap;
        n = m;
    }
    finish_song();
}

// ---- ChordPro ---------------------------------------------------------------------

// A directive: a line that is "{name}" or "{name: value}" (a blank may stand for
// the colon). Cuts out the name (lower case) and the value.
static bool read_directive(const char* line, int len, char* name, const char** value, int* value_len)
{
    int from = 0;
    while (from < len && line[from] == ' ')
        from++;
    len = trimmed_length(line, len);
    if (len - from < 2 || line[from] != '{' || line[len - 1] != '}')
        return false;
    int i = from + 1;
    int n = 0;
    while (i < len - 1 && line[i] != ':' && line[i] != ' ' && n < DIRECTIVE_NAME_MAX) {
        char c = line[i++];
        name[n++] = c >= 'A' && c <= 'Z' ? (char)(c + 32) : c;
    }
    name[n] = 0;
    if (i < len - 1 && line[i] != ':' && line[i] != ' ')
        return false;
    if (i < len - 1)
        i++;
    while (i < len - 1 && line[i] == ' ')
        i++;
    *value = line + i;
    *value_len = trimmed_length(line + i, len - 1 - i);
    return n > 0;
}

static bool is_one_of(const char* name, const char* const* names)
{
    for (; *names; names++) {
        if (strcmp(name, *names) == 0)
            return true;
    }
    return false;
}

// Directives about the look of a printed page: nothing a musician reads.
static const char* const layout_directives[] = {
    "textfont", "tf", "textsize", "ts", "textcolour", "textcolor", "chordfont", "cf", "chordsize", "cs",
    "chordcolour", "chordcolor", "tabfont", "tabsize", "tabcolour", "gridfont", "gridsize", "gridcolour",
    "titlefont", "titlesize", "titlecolour", "footerfont", "footersize", "footercolour", "tocfont", "tocsize",
    "toccolour", "titles", "columns", "col", "column_break", "colb", "new_page", "np", "new_physical_page",
    "npp", "pagetype", "grid", "g", "no_grid", "ng", "define", "chord", "image", "diagrams", "transpose",
    "sorttitle", nullptr,
};
static const char* const plain_directives[] = {
    "subtitle", "st", "comment", "c", "comment_italic", "ci", "comment_box", "cb", "highlight", nullptr,
};

// Section names of the short forms, and whether a section's lines are read for chords.
static const char* section_name(const char* name)
{
    static const char* const short_forms[][2] = {
        {"soc", "chorus"}, {"sov", "verse"}, {"sob", "bridge"}, {"sot", "tab"}, {"sog", "grid"},
        {"eoc", "chorus"}, {"eov", "verse"}, {"eob", "bridge"}, {"eot", "tab"}, {"eog", "grid"},
    };
    for (const auto& form : short_forms) {
        if (strcmp(name, form[0]) == 0)
            return form[1];
    }
    if (strncmp(name, "start_of_", 9) == 0)
        return name + 9;
    if (strncmp(name, "end_of_", 7) == 0)
        return name + 7;
    return nullptr;
}

static bool is_section_end(const char* name)
{
    return strncmp(name, "end_of_", 7) == 0 || (name[0] == 'e' && strlen(name) == 3 && section_name(name));
}

// "Chorus:" for {start_of_chorus}, or its label: {soc: Refrain} and {soc: label="Refrain"}.
static void put_section_start(const char* section, const char* value, int value_len)
{
    char text[IMPORT_LINE_MAX + 2];
    if (value_len > 6 && strncmp(value, "label=", 6) == 0) {
        value += 6;
        value_len -= 6;
        if (value_len >= 2 && value[0] == '"' && value[value_len - 1] == '"') {
            value++;
            value_len -= 2;
        }
    }
    int n = 0;
    if (value_len > 0) {
        memcpy(text, value, (size_t)value_len);
        n = value_len;
    } else {
        for (; section[n] && n < DIRECTIVE_NAME_MAX; n++)
            text[n] = section[n] == '_' ? ' ' : section[n];
        if (n > 0 && text[0] >= 'a' && text[0] <= 'z')
            text[0] = (char)(text[0] - 32);
    }
    if (n > 0 && text[n - 1] != ':')
        text[n++] = ':';
    cv.describing = true;
    put_plain(text, n);
    cv.describing = false;
}

// "Key: G" for {key: G}, "Artist: ..." for {artist: ...} or {meta: artist ...}.
static void put_meta(const char* name, const char* value, int value_len)
{
    char own_name[DIRECTIVE_NAME_MAX + 1];
    if (strcmp(name, "meta") == 0) {
        int n = 0;
        while (n < value_len && value[n] != ' ' && n < DIRECTIVE_NAME_MAX) {
            own_name[n] = value[n];
            n++;
        }
        own_name[n] = 0;
        name = own_name;
        while (n < value_len && value[n] == ' ')
            n++;
        value += n;
        value_len -= n;
    }
    if (value_len <= 0 || name[0] == 0)
        return;
    char text[IMPORT_LINE_MAX + 1];
    int n = 0;
    for (; name[n] && n < DIRECTIVE_NAME_MAX; n++)
        text[n] = name[n] == '_' ? ' ' : name[n];
    if (text[0] >= 'a' && text[0] <= 'z')
        text[0] = (char)(text[0] - 32);
    text[n++] = ':';
    text[n++] = ' ';
    if (value_len > IMPORT_LINE_MAX - n)
        value_len = IMPORT_LINE_MAX - n;
    memcpy(text + n, value, (size_t)value_len);
    cv.describing = true;
    put_plain(text, n + value_len);
    cv.describing = false;
}

static void handle_directive(const char* name, const char* value, int value_len)
{
    if (strcmp(name, "title") == 0 || strcmp(name, "t") == 0) {
        if (cv.open && cv.titled)
            put_plain(value, value_len);
        else
            set_title(value, value_len);
    } else if (strcmp(name, "new_song") == 0 || strcmp(name, "ns") == 0) {
        finish_song();
        cv.verbatim = false;
    } else if (is_one_of(name, plain_directives)) {
        put_plain(value, value_len);
    } else if (strcmp(name, "chorus") == 0) {
        char text[IMPORT_LINE_MAX + 3] = "(Chorus)";
        if (value_len > 0) {
            text[0] = '(';
            memcpy(text + 1, value, (size_t)value_len);
            text[value_len + 1] = ')';
            text[value_len + 2] = 0;
        }
        put_plain(text, (int)strlen(text));
    } else if (const char* section = section_name(name)) {
        if (is_section_end(name)) {
            cv.verbatim = false;
        } else {
            put_section_start(section, value, value_len);
            // tabs, grids and any other kind of section are kept as they stand
            cv.verbatim = strcmp(section, "chorus") != 0 && strcmp(section, "verse") != 0 &&
                          strcmp(section, "bridge") != 0;
        }
    } else if (strncmp(name, "x_", 2) != 0 && !is_one_of(name, layout_directives)) {
        // x_ directives are private to some other program
        put_meta(name, value, value_len);
    }
}

// A lyric line with inline chords: each chord above the column of the syllable
// it stood before, moved right only where it would come closer than two blanks
// to the chord before it. Returns false when the line holds no bracket at all.
static bool read_inline_chords(const char* line, int len, bool* any_chord)
{
    clear_pair(CHORDPRO_GAP);
    bool brackets = false;
    *any_chord = false;
    int lyric = 0;
    for (int i = 0; i < len; i++) {
        const char* close = line[i] == '[' ? (const char*)memchr(line + i + 1, ']', (size_t)(len - i - 1)) : nullptr;
        if (!close) {
            pair.lyric[lyric++] = line[i];
            continue;
        }
        brackets = true;
        int from = i + 1;
        int to = (int)(close - line);
        while (from < to && line[from] == ' ')
            from++;
        to = from + trimmed_length(line + from, to - from);
        // "[*Coda]" is an annotation, not a chord
        if (to > from && line[from] != '*') {
            add_item(lyric, line + from, to - from < CHORD_TEXT_MAX ? to - from : CHORD_TEXT_MAX, true);
            *any_chord = *any_chord || is_chord_token(line + from, to - from);
        }
        i = (int)(close - line);
    }
    pair.lyric[lyric] = 0;
    pair.lyric_len = trimmed_length(pair.lyric, lyric);
    for (int i = 1; i < pair.count; i++) {
        int least = pair.items[i - 1].col + pair.items[i - 1].len + CHORDPRO_GAP;
        if (pair.items[i].col < least)
            pair.items[i].col = least;
    }
    return brackets;
}

static void convert_lyric_line(const char* line, int len)
{
    bool any_chord = false;
    if (!read_inline_chords(line, len, &any_chord)) {
        if (wants_mark(line, len))
            put_chord_row(line, len, "", 0);
        else
            put_plain(line, len);
        return;
    }
    // a line of labels in brackets only ("[Verse 1]") is kept as it stands
    if (pair.count == 0 || (!any_chord && pair.lyric_len == 0)) {
        if (pair.lyric_len == 0)
            put_plain(line, len);
        else
            emit_pair();
        return;
    }
    emit_pair();
}

static void convert_chordpro(LineReader* reader)
{
    int n;
    char name[DIRECTIVE_NAME_MAX + 1];
    while ((n = next_line(reader, line_a)) >= 0 && !cv.full) {
        if (line_a[0] == '#')
            continue;
        const char* value = nullptr;
        int value_len = 0;
        if (read_directive(line_a, n, name, &value, &value_len)) {
            handle_directive(name, value, value_len);
        } else if (cv.verbatim) {
            put_plain(line_a, n);
        } else {
            convert_lyric_line(line_a, n);
        }
    }
    finish_song();
}

// ChordPro shows itself by a directive line or a chord in brackets.
static bool looks_like_chordpro(const unsigned char* text, int len)
{
    LineReader reader = {text, len, 0};
    char name[DIRECTIVE_NAME_MAX + 1];
    int n;
    while ((n = next_line(&reader, line_a)) >= 0) {
        const char* value = nullptr;
        int value_len = 0;
        if (read_directive(line_a, n, name, &value, &value_len))
            return true;
        bool any_chord = false;
        if (read_inline_chords(line_a, n, &any_chord) && any_chord)
            return true;
    }
    return false;
}

// ---- one file ------------------------------------------------------------------------

void import_batch_reset(ImportBatch* batch)
{
    batch->song_count = 0;
    batch->used = 0;
}

static bool ends_with(const char* name, const char* extension)
{
    int n = (int)strlen(name);
    int e = (int)strlen(extension);
    if (n < e)
        return false;
    for (int i = 0; i < e; i++) {
        char c = name[n - e + i];
        if (c >= 'A' && c <= 'Z')
            c = (char)(c + 32);
        if (c != extension[i])
            return false;
    }
    return true;
}

ImportFormat format_of_name(const char* file_name)
{
    static const char* const chordpro_extensions[] = {".cho", ".chordpro", ".chopro", ".crd", ".pro"};
    for (const char* extension : chordpro_extensions) {
        if (ends_with(file_name, extension))
            return FORMAT_CHORDPRO;
    }
    return FORMAT_GUESS;
}

FileVerdict convert_song_file(unsigned char* bytes, int len, const char* file_name, ImportFormat format,
                              int source, ImportBatch* batch)
{
    if (len <= 0)
        return FILE_EMPTY;
    if (len > IMPORT_FILE_MAX)
        return FILE_TOO_LARGE;
    len = decode_text(bytes, len);
    if (len < 0)
        return FILE_NOT_TEXT;
    if (is_blank_text((const char*)bytes, len))
        return FILE_EMPTY;

    cv = Conversion{batch, source, file_name, false, false, false, false, false, false, 0, 0, 0, 0};
    int first_song = batch->song_count;
    int first_used = batch->used;
    if (format == FORMAT_GUESS)
        format = looks_like_chordpro(bytes, len) ? FORMAT_CHORDPRO : FORMAT_CHORD_SHEET;
    LineReader reader = {bytes, len, 0};
    if (format == FORMAT_CHORDPRO)
        convert_chordpro(&reader);
    else
        convert_chord_sheet(&reader);

    if (cv.full) {
        // all of the file or nothing of it
        batch->song_count = first_song;
        batch->used = first_used;
        return FILE_NO_ROOM;
    }
    return batch->song_count > first_song ? FILE_READ : FILE_NO_SONG;
}
