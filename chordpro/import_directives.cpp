// ChordPro directives: titles, sections, comments and the song's details.
#include "chordpro/import_work.h"

#include <cstring>

// A directive: a line that is "{name}" or "{name: value}" (a blank may stand for
// the colon). Cuts out the name (lower case) and the value.
bool read_directive(const char* line, int len, char* name, const char** value, int* value_len)
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
static void put_section_start(ImportWork* cv, const char* section, const char* value, int value_len)
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
    cv->describing = true;
    put_plain(cv, text, n);
    cv->describing = false;
}

// "Key: G" for {key: G}, "Artist: ..." for {artist: ...}.
static void put_meta(ImportWork* cv, const char* name, const char* value, int value_len)
{
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
    cv->describing = true;
    put_plain(cv, text, n + value_len);
    cv->describing = false;
}

// {meta: NAME VALUE} (or {meta: NAME: VALUE}) means what {NAME: VALUE} means:
// "{meta: title Amazing Grace}" titles the song.
static void handle_meta(ImportWork* cv, const char* value, int value_len)
{
    char name[DIRECTIVE_NAME_MAX + 1];
    int n = 0;
    while (n < value_len && value[n] != ' ' && value[n] != ':' && n < DIRECTIVE_NAME_MAX) {
        char c = value[n];
        name[n++] = c >= 'A' && c <= 'Z' ? (char)(c + 32) : c;
    }
    name[n] = 0;
    if (n < value_len && value[n] == ':')
        n++;
    while (n < value_len && value[n] == ' ')
        n++;
    if (name[0] != 0 && strcmp(name, "meta") != 0)
        handle_directive(cv, name, value + n, value_len - n);
}

void handle_directive(ImportWork* cv, const char* name, const char* value, int value_len)
{
    if (strcmp(name, "meta") == 0) {
        handle_meta(cv, value, value_len);
    } else if (strcmp(name, EXACT_COLUMNS_DIRECTIVE) == 0) {
        cv->exact_columns = value_len == 5 && strncmp(value, "exact", 5) == 0;
    } else if (strcmp(name, "title") == 0 || strcmp(name, "t") == 0) {
        if (cv->open && cv->titled)
            put_plain(cv, value, value_len);
        else
            set_title(cv, value, value_len);
    } else if (strcmp(name, "new_song") == 0 || strcmp(name, "ns") == 0) {
        finish_song(cv);
        cv->verbatim = false;
    } else if (is_one_of(name, plain_directives)) {
        put_plain(cv, value, value_len);
    } else if (strcmp(name, "chorus") == 0) {
        char text[IMPORT_LINE_MAX + 3] = "(Chorus)";
        if (value_len > 0) {
            text[0] = '(';
            memcpy(text + 1, value, (size_t)value_len);
            text[value_len + 1] = ')';
            text[value_len + 2] = 0;
        }
        put_plain(cv, text, (int)strlen(text));
    } else if (const char* section = section_name(name)) {
        if (is_section_end(name)) {
            cv->verbatim = false;
        } else {
            put_section_start(cv, section, value, value_len);
            // tabs, grids and any other kind of section are kept as they stand
            cv->verbatim = strcmp(section, "chorus") != 0 && strcmp(section, "verse") != 0 &&
                          strcmp(section, "bridge") != 0;
        }
    } else if (strncmp(name, "x_", 2) != 0 && !is_one_of(name, layout_directives)) {
        // x_ directives are private to some other program
        put_meta(cv, name, value, value_len);
    }
}
