// Find: the songs of the library that hold every word typed, as entries for the title box.
#include "store/search.h"

#include <cstdio>
#include <cstring>

#include "store/book_format.h"
#include "store/index.h"

// How each byte of Windows-1252 compares: a letter as its plain lower-case form
// (so that "e", "E", "é" and "É" are one letter), an apostrophe not at all (0),
// and every other byte as a blank, which separates words.
struct FoldTable {
    unsigned char to[256];
};

// 0xC0-0xFF: accented letters as their plain letter; the ligatures and the
// letters with no plain letter (æ œ ß ð þ) keep their own lower-case form;
// × and ÷ are no letters.
static constexpr unsigned char upper_half[64] = {
    'a', 'a', 'a', 'a', 'a', 'a', 0xE6, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    0xF0, 'n', 'o', 'o', 'o', 'o', 'o', ' ', 'o', 'u', 'u', 'u', 'u', 'y', 0xFE, 0xDF,
    'a', 'a', 'a', 'a', 'a', 'a', 0xE6, 'c', 'e', 'e', 'e', 'e', 'i', 'i', 'i', 'i',
    0xF0, 'n', 'o', 'o', 'o', 'o', 'o', ' ', 'o', 'u', 'u', 'u', 'u', 'y', 0xFE, 'y',
};

static constexpr FoldTable make_fold_table()
{
    FoldTable t{};
    for (int b = 0; b < 256; b++)
        t.to[b] = ' ';
    for (int b = '0'; b <= '9'; b++)
        t.to[b] = (unsigned char)b;
    for (int b = 'a'; b <= 'z'; b++)
        t.to[b] = t.to[b - 32] = (unsigned char)b;
    for (int b = 0xC0; b < 0x100; b++)
        t.to[b] = upper_half[b - 0xC0];
    // the letters of 0x80-0xBF: Š š Ž ž Œ œ Ÿ, and ƒ ª µ º as themselves
    const unsigned char pairs[][2] = {
        {0x8A, 's'}, {0x9A, 's'}, {0x8E, 'z'}, {0x9E, 'z'}, {0x8C, 0x9C}, {0x9C, 0x9C}, {0x9F, 'y'},
        {0x83, 0x83}, {0xAA, 0xAA}, {0xB5, 0xB5}, {0xBA, 0xBA},
    };
    for (const auto& pair : pairs)
        t.to[pair[0]] = pair[1];
    t.to[(unsigned char)'\''] = t.to[0x92] = 0;
    return t;
}

static constexpr FoldTable fold = make_fold_table();

// A text folded into out as Find compares it (out may be text itself: the
// folded text is never longer).
static void fold_text(const char* text, char* out)
{
    for (; *text; text++) {
        unsigned char c = fold.to[(unsigned char)*text];
        if (c)
            *out++ = (char)c;
    }
    *out = 0;
}

// The typed text (at most SEARCH_TEXT_SIZE - 1 bytes of it) folded and cut
// into words at its blanks.
static void split_words(SearchWork* work, const char* typed)
{
    copy_bounded(work->folded, SEARCH_TEXT_SIZE, typed);
    fold_text(work->folded, work->folded);
    work->word_count = 0;
    for (char* p = work->folded; *p;) {
        if (*p == ' ') {
            *p++ = 0;
            continue;
        }
        work->word[work->word_count++] = p;
        while (*p && *p != ' ')
            p++;
    }
}

static void add_entry(FoundSongs* found, const char* text)
{
    int size = (int)strlen(text) + 1;
    if (found->used + size > FOUND_LIST_SIZE)
        return;
    memcpy(found->list + found->used, text, size);
    found->used += size;
    found->entries++;
}

// The song is listed as the full list lists it, after the heading entry it
// stands under (once for all the found songs under that heading).
static void list_song(SearchWork* work, FoundSongs* found)
{
    if (!work->section_listed) {
        add_entry(found, work->section);
        work->section_listed = true;
    }
    add_entry(found, work->title);
    found->found++;
    work->searching = false;
}

// Marks the words that the text holds and lists the song once every word was found.
static void search_text(SearchWork* work, FoundSongs* found, const char* text)
{
    fold_text(text, work->line);
    for (int i = 0; i < work->word_count; i++) {
        if (!work->word_found[i] && strstr(work->line, work->word[i])) {
            work->word_found[i] = true;
            work->missing--;
        }
    }
    if (work->missing == 0)
        list_song(work, found);
}

// A heading line's entry (cut out of the record in place) is kept for the
// songs after it; they stand under it from their title line on.
static void take_heading(SearchWork* work, char* record)
{
    char* entry = heading_entry(record);
    if (!entry)
        return;
    copy_bounded(work->pending, RECORD_MAX + 1, entry);
    work->have_pending = true;
}

static void start_song(SearchWork* work, FoundSongs* found, char* record, bool star)
{
    // extract_title cuts the record at the title's end, so only a heading
    // before the colons is seen below, as in the full list
    char* title = extract_title(record, SKIP_ALL_BLANKS);
    copy_bounded(work->title, RECORD_MAX + 1, title);
    if (star)
        take_heading(work, record);
    if (work->have_pending) {
        memcpy(work->section, work->pending, sizeof work->section);
        work->have_pending = false;
        work->section_listed = false;
    }
    work->searching = title_listed(work->title);
    if (!work->searching)
        return;
    memset(work->word_found, 0, sizeof work->word_found);
    work->missing = work->word_count;
    search_text(work, found, work->title);
}

// A body line as the viewer shows it: through the markup filter (on a copy,
// keeping the record whole for a heading in it), and not a chord row. The
// filter only takes characters out, so a row that is a chord row before it is
// one after it too: most chord rows are passed over without a copy.
static void search_body_line(SearchWork* work, FoundSongs* found, const char* record)
{
    if (is_chord_row(record, ROW_COLUMNS))
        return;
    if (strpbrk(record, "\\&")) {
        copy_bounded(work->line, RECORD_MAX + 1, record);
        strip_markup_text(work->line);
        if (is_chord_row(work->line, ROW_COLUMNS))
            return;
        record = work->line;
    }
    search_text(work, found, record);
}

static void search_library(SearchWork* work, FoundSongs* found, const char* file_name)
{
    // before the first heading entry there is none to list
    work->section_listed = true;
    work->have_pending = work->searching = false;
    if (song_file_open(&work->file, file_name) != 0)
        return;
    char* record = work->record;
    while (read_record(&work->file, record) == 0) {
        bool star = strchr(record, '*') != nullptr;
        if (star && is_end_of_book(record))
            break;
        if (is_title_line(record)) {
            start_song(work, found, record, star);
            continue;
        }
        if (work->searching)
            search_body_line(work, found, record);
        if (star)
            take_heading(work, record);
    }
    song_file_close(&work->file);
}

int find_songs_by_words(SearchWork* work, FoundSongs* found, const char* file_name, const char* words)
{
    found->found = found->entries = found->used = 0;
    split_words(work, words);
    if (work->word_count == 0) {
        found->found = -1;
        copy_bounded(found->status, sizeof found->status, " ");
        return -1;
    }
    search_library(work, found, file_name);
    if (found->found == 0)
        copy_bounded(found->status, sizeof found->status, "Song Not Found");
    else
        snprintf(found->status, sizeof found->status, "%d found", found->found);
    return found->found;
}
