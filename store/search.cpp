// Find: the songs of the library that hold every word typed, listed in the title box.
#include "store/book_format.h"
#include "store/search.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "shell/ui.h"
#include "store/index.h"
#include "store/record.h"
#include "transpose/transpose.h"

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the eight-bytes-at-a-time scan takes byte i of a word from bits 8i to 8i + 7"
#endif

enum {
    SEARCH_WORDS_MAX = SEARCH_TEXT_SIZE / 2,   // a letter and a separator each
    // a record and its zero, and room for the scan's eight-byte reads behind
    // the zero, which may start on any byte up to it
    SCAN_TEXT = RECORD_MAX + 1,
    SCAN_BUF_SIZE = SCAN_TEXT + 8
};

// How each byte of Windows-1252 compares: letters without their case and
// accents, so that "e", "E", "é" and "É" are one letter.
struct FoldTable {
    unsigned char to[256];      // the byte a text byte compares as
    bool letter[256];           // bytes of a word; every other byte separates words
    bool high_form[256];        // folded bytes that some byte 0x80-0xFF folds to
};

// 0xC0-0xFF folded: accented letters to their plain letter; the ligatures and
// the letters with no plain letter (æ œ ß ð þ) keep their own lower-case form;
// × and ÷ are no letters.
static constexpr unsigned char upper_half[64] = {
    'a', 'a', 'a', 'a', 'a', 'a', 0xE6, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    0xF0, 'n', 'o', 'o', 'o', 'o', 'o', 0xD7, 'o', 'u', 'u', 'u', 'u', 'y', 0xFE, 0xDF,
    'a', 'a', 'a', 'a', 'a', 'a', 0xE6, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    0xF0, 'n', 'o', 'o', 'o', 'o', 'o', 0xF7, 'o', 'u', 'u', 'u', 'u', 'y', 0xFE, 'y',
};

static constexpr FoldTable make_fold_table()
{
    FoldTable t{};
    for (int b = 0; b < 256; b++) {
        t.to[b] = (unsigned char)b;
        t.letter[b] = (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z');
    }
    for (int b = 'A'; b <= 'Z'; b++)
        t.to[b] = (unsigned char)(b + 32);
    for (int b = 0xC0; b < 0x100; b++) {
        t.to[b] = upper_half[b - 0xC0];
        t.letter[b] = b != 0xD7 && b != 0xF7;
    }
    // the letters of 0x80-0xBF: Š š Ž ž Œ œ Ÿ, and ƒ ª µ º as themselves
    const unsigned char pairs[][2] = {
        {0x8A, 's'}, {0x9A, 's'}, {0x8E, 'z'}, {0x9E, 'z'}, {0x8C, 0x9C}, {0x9C, 0x9C}, {0x9F, 'y'},
        {0x83, 0x83}, {0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA},
    };
    for (const auto& pair : pairs) {
        t.to[pair[0]] = pair[1];
        t.letter[pair[0]] = true;
    }
    for (int b = 0x80; b < 0x100; b++) {
        if (t.letter[b])
            t.high_form[t.to[b]] = true;
    }
    return t;
}

static constexpr FoldTable fold = make_fold_table();

// One typed word, folded, and the byte of it that the scan of a line looks for.
struct SearchWord {
    const unsigned char* text;  // folded, inside SearchWords::folded
    int len;
    int anchor;                 // offset of that byte in the word
    uint64_t pattern;           // its plain lower-case ASCII form in all eight bytes, or 0
    bool any_high;              // a byte 0x80-0xFF may stand for it
};

struct SearchWords {
    unsigned char folded[SEARCH_TEXT_SIZE];   // the words, each followed by a zero
    SearchWord word[SEARCH_WORDS_MAX];
    int count;
};

// The scan looks for the word's rarest letter, so that few places of a line
// are compared in full. Rarest first as in English lyrics: digits, then z q x
// j ... e. A letter that accented letters fold to costs more, since every byte
// 0x80-0xFF of a line is then a place to compare.
static int anchor_cost(unsigned char c)
{
    static const char rarest_first[] = "0123456789zqxjkvbpygfwmucldrhsnioate";
    if (c >= 0x80)
        return 1000;
    const char* at = strchr(rarest_first, c);
    int cost = at ? (int)(at - rarest_first) : 500;
    return fold.high_form[c] ? cost + 100 : cost;
}

static void choose_anchor(SearchWord* word)
{
    int best = 0;
    for (int i = 1; i < word->len; i++) {
        if (anchor_cost(word->text[i]) < anchor_cost(word->text[best]))
            best = i;
    }
    unsigned char c = word->text[best];
    word->anchor = best;
    word->pattern = c < 0x80 ? 0x0101010101010101ULL * c : 0;
    word->any_high = c >= 0x80 || fold.high_form[c];
}

// Splits the typed text (at most SEARCH_TEXT_SIZE - 1 bytes of it) into folded
// words: n typed bytes give at most n + 1 bytes of words and zeros.
static void split_words(const char* typed, SearchWords* words)
{
    const unsigned char* p = (const unsigned char*)typed;
    const unsigned char* end = p;
    while (*end && end - p < SEARCH_TEXT_SIZE - 1)
        end++;
    int used = 0;
    words->count = 0;
    while (p < end) {
        if (!fold.letter[*p]) {
            p++;
            continue;
        }
        SearchWord* word = &words->word[words->count++];
        word->text = words->folded + used;
        word->len = 0;
        while (p < end && fold.letter[*p]) {
            words->folded[used++] = fold.to[*p++];
            word->len++;
        }
        words->folded[used++] = 0;
        choose_anchor(word);
    }
}

// The word is compared byte for byte with the folded text; the caller makes
// sure that the text holds len bytes there.
static bool word_at(const unsigned char* text, const SearchWord* word)
{
    for (int j = 0; j < word->len; j++) {
        if (fold.to[text[j]] != word->text[j])
            return false;
    }
    return true;
}

// Eight bytes at a time, the lowest byte from the lowest address.
static const uint64_t ONES = 0x0101010101010101ULL;
static const uint64_t HIGHS = 0x8080808080808080ULL;

static inline uint64_t load8(const unsigned char* p)
{
    uint64_t x;
    memcpy(&x, p, 8);
    return x;
}

// The bytes of the last, partial group of eight that belong to the text.
static inline uint64_t first_bytes(int n)
{
    return n >= 8 ? ~0ULL : (1ULL << (8 * n)) - 1;
}

static inline int lowest_byte(uint64_t mask)
{
    return __builtin_ctzll(mask) >> 3;
}

// Whether the text of len bytes holds the word: the places holding the anchor
// byte in either case (and, for a letter with accented forms, any byte
// 0x80-0xFF) are compared in full. The last group of eight is read whole, up to
// seven bytes past the text, inside its SCAN_BUF_SIZE buffer.
static bool text_holds(const unsigned char* text, int len, const SearchWord* word)
{
    const uint64_t case_bits = 0x2020202020202020ULL;
    for (int i = 0; i < len; i += 8) {
        uint64_t x = load8(text + i);
        // 0x80 in each byte equal to the anchor byte; a byte above an equal one
        // may be marked too, which only adds a place to compare, never loses one
        uint64_t t = (x | case_bits) ^ word->pattern;
        uint64_t hits = (t - ONES) & ~t & HIGHS;
        if (word->any_high)
            hits |= x & HIGHS;
        hits &= first_bytes(len - i);
        while (hits) {
            int at = i + lowest_byte(hits) - word->anchor;
            if (at >= 0 && at + word->len <= len && word_at(text + at, word))
                return true;
            hits &= hits - 1;
        }
    }
    return false;
}

// What a record holds, found in one pass over its bytes through a table built
// for the words of each search, instead of a search for each mark and word.
enum {
    HAS_MARK = 1,       // '*' or ':': maybe the end-of-book marker, a title or a heading
    HAS_CHORD = 2,      // '<': maybe a marked chord row
    HAS_MARKUP = 4,     // '\\' or '&': the markup filter changes the line
    HAS_ZERO = 8,       // a zero byte inside the record: the line ends there
    FIRST_WORD_BIT = 4  // bit 4 + i: the anchor byte of word i (i < 28) may be there
};

static inline uint32_t word_bit(int i)
{
    return i < 32 - FIRST_WORD_BIT ? 1u << (FIRST_WORD_BIT + i) : 0;
}

static void build_byte_class(const SearchWords* words, uint32_t* byte_class)
{
    memset(byte_class, 0, 256 * sizeof *byte_class);
    byte_class[0] = HAS_ZERO;
    byte_class[(unsigned char)'*'] = byte_class[(unsigned char)':'] = HAS_MARK;
    byte_class[(unsigned char)'<'] = HAS_CHORD;
    byte_class[(unsigned char)'\\'] = byte_class[(unsigned char)'&'] = HAS_MARKUP;
    for (int i = 0; i < words->count; i++) {
        const SearchWord* word = &words->word[i];
        uint32_t bit = word_bit(i);
        for (int b = 1; b < 256; b++) {
            bool anchor = b < 0x80 ? (ONES * (unsigned)(b | 0x20)) == word->pattern : word->any_high;
            if (anchor)
                byte_class[b] |= bit;
        }
    }
}

// The classes of the len bytes of a text, each byte looked up in the table;
// four running unions, so that the lookups do not wait for one another.
static inline uint32_t classify(const unsigned char* text, int len, const uint32_t* byte_class)
{
    uint32_t k0 = 0, k1 = 0, k2 = 0, k3 = 0;
    int i = 0;
    for (; i + 4 <= len; i += 4) {
        k0 |= byte_class[text[i]];
        k1 |= byte_class[text[i + 1]];
        k2 |= byte_class[text[i + 2]];
        k3 |= byte_class[text[i + 3]];
    }
    for (; i < len; i++)
        k0 |= byte_class[text[i]];
    return k0 | k1 | k2 | k3;
}

enum SongState {
    NO_SONG,        // before the first title line
    SEARCHING,      // a listed song with words still missing
    MATCHED,        // every word found: the song is listed, the rest of it skipped
    SKIPPED         // a hidden song while hidden titles are not shown
};

// Everything one search uses, in fixed storage: nothing grows with the library.
struct Search {
    SongFile file;
    char record[SCAN_BUF_SIZE];
    char line[SCAN_BUF_SIZE];           // a body line through the markup filter
    char title[SCAN_BUF_SIZE];          // the current song's title as the list shows it
    char section[SCAN_BUF_SIZE];        // the heading entry the current song stands under
    char pending[SCAN_BUF_SIZE];        // the last heading entry since the song's title line
    bool have_section;
    bool have_pending;
    bool section_listed;
    SearchWords words;
    uint32_t byte_class[256];
    bool word_found[SEARCH_WORDS_MAX];
    int missing;                        // words of the song not found yet
    uint32_t missing_bits;              // their word_bit()s; 0 for words without one
    SongState song;
    int found;
};

static Search search;

// Marks the words the text holds; true once every word was found.
// kind: the classes of the text's bytes, or ~0 when not known.
static bool search_text(const char* text, int len, uint32_t kind)
{
    const unsigned char* bytes = (const unsigned char*)text;
    for (int i = 0; i < search.words.count; i++) {
        uint32_t bit = word_bit(i);
        if (bit && !(kind & bit))
            continue;
        if (!search.word_found[i] && text_holds(bytes, len, &search.words.word[i])) {
            search.word_found[i] = true;
            search.missing--;
            search.missing_bits &= ~bit;
        }
    }
    return search.missing == 0;
}

// The song is listed as the full list lists it, after the heading entry it
// stands under (once for all the found songs under that heading).
static void list_song(UiWindow dialog)
{
    if (search.have_section && !search.section_listed) {
        ui_title_list_add(dialog, search.section);
        search.section_listed = true;
    }
    ui_title_list_add(dialog, search.title);
    search.found++;
    search.song = MATCHED;
}

// A heading line's entry (cut out of the record in place) is kept for the
// songs after it; they stand under it from their title line on.
static void take_heading(char* record)
{
    char* entry = heading_entry(record);
    if (!entry)
        return;
    copy_bounded(search.pending, SCAN_TEXT, entry);
    search.have_pending = true;
}

static void start_song(UiWindow dialog, char* record, bool star)
{
    // extract_title cuts the record at the title's end, so only a heading
    // before the colons is seen below, as in the full list
    char* title = extract_title(record, SKIP_ALL_BLANKS);
    copy_bounded(search.title, SCAN_TEXT, title);
    if (star)
        take_heading(record);
    if (search.have_pending) {
        memcpy(search.section, search.pending, sizeof search.section);
        search.have_section = true;
        search.have_pending = false;
        search.section_listed = false;
    }
    if (!title_listed(search.title)) {
        search.song = SKIPPED;
        return;
    }
    memset(search.word_found, 0, search.words.count * sizeof search.word_found[0]);
    search.missing = search.words.count;
    search.missing_bits = 0;
    for (int i = 0; i < search.words.count; i++)
        search.missing_bits |= word_bit(i);
    search.song = SEARCHING;
    if (search_text(search.title, (int)strlen(search.title), ~0u))
        list_song(dialog);
}

// A body line as the viewer shows it: through the markup filter (on a copy,
// keeping the record whole for a heading in it); a marked chord row, as the
// viewer tells one, is not searched.
static void search_body_line(UiWindow dialog, const char* record, int len, uint32_t kind)
{
    // a '<' in a line no longer than the viewer's rows marks a chord row
    if ((kind & (HAS_CHORD | HAS_MARKUP)) == HAS_CHORD && len < LINE_WIDTH)
        return;
    // most lines hold no anchor byte of any missing word: nothing to compare
    bool all_bits = search.words.count <= 32 - FIRST_WORD_BIT;
    if (!(kind & (search.missing_bits | HAS_MARKUP)) && all_bits)
        return;
    const char* text = record;
    if (kind & HAS_MARKUP) {
        copy_bounded(search.line, SCAN_TEXT, record);
        strip_markup_text(search.line);
        text = search.line;
        len = (int)strlen(text);
        kind |= ~(uint32_t)HAS_CHORD;    // the filter adds no '<', but moves words
    }
    if ((kind & HAS_CHORD) && is_chord_row(text, ROW_COLUMNS))
        return;
    if (search_text(text, len, kind))
        list_song(dialog);
}

static void search_library(UiWindow dialog, const char* file_name)
{
    search.found = 0;
    search.song = NO_SONG;
    search.have_section = false;
    search.have_pending = false;
    search.section_listed = false;
    if (song_file_open(&search.file, file_name) != 0)
        return;
    char* record = search.record;
    while (read_record(&search.file, record) == 0) {
        int len = search.file.record_len;
        uint32_t kind = classify((const unsigned char*)record, len, search.byte_class);
        if (kind & HAS_ZERO) {
            // every reader sees the line up to its first zero byte
            len = (int)strlen(record);
            kind = classify((const unsigned char*)record, len, search.byte_class);
        }
        bool star = (kind & HAS_MARK) && strchr(record, '*');
        if (star && is_end_of_book(record))
            break;
        if ((kind & HAS_MARK) && is_title_line(record)) {
            start_song(dialog, record, star);
            continue;
        }
        if (search.song == SEARCHING)
            search_body_line(dialog, record, len, kind);
        if (star)
            take_heading(record);
    }
    song_file_close(&search.file);
}

int find_songs_by_words(UiWindow dialog, const char* file_name, const char* words)
{
    split_words(words, &search.words);
    if (search.words.count == 0) {
        fill_title_list(dialog, file_name);
        ui_set_status(" ");
        return -1;
    }
    build_byte_class(&search.words, search.byte_class);
    ui_title_list_reset(dialog);
    search_library(dialog, file_name);
    ui_title_list_done(dialog);
    if (search.found == 0) {
        ui_set_status("Song Not Found");
    } else {
        char status[32];
        snprintf(status, sizeof status, "%d found", search.found);
        ui_set_status(status);
    }
    return search.found;
}
