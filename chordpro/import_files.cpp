// Importing chosen files into the library: reading, converting, adding, and the summary for the user.
#include "chordpro/import_files.h"

#include <cstdio>
#include <cstring>

#include "chordpro/import.h"
#include "store/add_songs.h"
#include "store/index.h"
#include "store/record.h"

enum {
    PATH_SIZE = 2048,
    SUMMARY_LINE_SIZE = 256,
    SUMMARY_RESERVE = 48           // room kept for the closing "(and n more)"
};

#ifdef _WIN32
static const char FOLDER_SEPARATOR = '\\';
#else
static const char FOLDER_SEPARATOR = '/';
#endif

static const char* base_name(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; p++) {
        if (*p == '/' || *p == '\\')
            name = p + 1;
    }
    return name;
}

// folder and name joined; false when the path does not fit.
static bool join_path(char* path, const char* folder, const char* name)
{
    int folder_len = (int)strlen(folder);
    int name_len = (int)strlen(name);
    if (folder_len + name_len + 2 > PATH_SIZE)
        return false;
    memcpy(path, folder, (size_t)folder_len);
    if (folder_len > 0 && folder[folder_len - 1] != '/' && folder[folder_len - 1] != '\\')
        path[folder_len++] = FOLDER_SEPARATOR;
    memcpy(path + folder_len, name, (size_t)name_len + 1);
    return true;
}

static FileVerdict read_song_file(ImportRun* run, const char* path, int* len)
{
    FILE* file = fopen(path, "rb");
    if (!file)
        return FILE_CANNOT_OPEN;
    size_t n = fread(run->file_bytes, 1, sizeof run->file_bytes, file);
    bool failed = ferror(file) != 0;
    fclose(file);
    if (failed)
        return FILE_CANNOT_OPEN;
    if (n > IMPORT_FILE_MAX)
        return FILE_TOO_LARGE;
    *len = (int)n;
    return FILE_READ;
}

static FileVerdict import_one_file(ImportRun* run, const char* folder, const char* name, int source)
{
    char path[PATH_SIZE];
    if (!join_path(path, folder, name))
        return FILE_CANNOT_OPEN;
    int len = 0;
    FileVerdict verdict = read_song_file(run, path, &len);
    if (verdict != FILE_READ)
        return verdict;
    return convert_song_file(run->file_bytes, len, base_name(name), format_of_name(name), source, &run->batch,
                             &run->work);
}

// ---- the summary -----------------------------------------------------------------

struct Summary {
    char* text;     // IMPORT_SUMMARY_SIZE bytes
    int used;
    int hidden;     // lines left out of a summary that would not fit
};

static void summary_line(Summary* s, const char* line)
{
    int len = (int)strlen(line);
    if (s->used + 1 + len + SUMMARY_RESERVE >= IMPORT_SUMMARY_SIZE) {
        s->hidden++;
        return;
    }
    if (s->used > 0)
        s->text[s->used++] = '\r';
    memcpy(s->text + s->used, line, (size_t)len + 1);
    s->used += len;
}

static const char* file_reason(FileVerdict verdict)
{
    switch (verdict) {
    case FILE_READ: return "";
    case FILE_CANNOT_OPEN: return "cannot be opened";
    case FILE_EMPTY: return "is empty";
    case FILE_NOT_TEXT: return "is not a text file";
    case FILE_NO_SONG: return "holds no song";
    case FILE_TOO_LARGE: return "is larger than 1 MB";
    case FILE_NO_ROOM: return "does not fit into this import; import it on its own";
    }
    return "";
}

static const char* failure_reason(RewriteResult result, WriteResult why)
{
    if (result == REWRITE_NO_LIBRARY)
        return "the song library SONGBOOK.CNR cannot be opened or read";
    return write_failure_text(why);
}

static void headline(Summary* s, RewriteResult result, WriteResult why, int added)
{
    char line[SUMMARY_LINE_SIZE];
    if (result != REWRITE_OK) {
        snprintf(line, sizeof line, "No song was added: %s.", failure_reason(result, why));
        summary_line(s, line);
        summary_line(s, "The library SONGBOOK.CNR was left unchanged.");
    } else if (added == 0) {
        summary_line(s, "No song was added to the library.");
    } else {
        snprintf(line, sizeof line, added == 1 ? "%d song was added to the library." :
                                                 "%d songs were added to the library.", added);
        summary_line(s, line);
    }
}

static void left_out_lines(Summary* s, const ImportRun* run, const char* const* names, int count, bool titles_checked)
{
    char line[SUMMARY_LINE_SIZE];
    bool heading = false;
    for (int f = 0; f < count; f++) {
        const char* name = base_name(names[f]);
        if (run->verdicts[f] != FILE_READ) {
            if (!heading)
                summary_line(s, "Left out:");
            heading = true;
            snprintf(line, sizeof line, "%s %s", name, file_reason(run->verdicts[f]));
            summary_line(s, line);
            continue;
        }
        for (int i = 0; titles_checked && i < run->batch.song_count; i++) {
            if (run->batch.source[i] != f || run->batch.songs[i].taken == TITLE_FREE)
                continue;
            if (!heading)
                summary_line(s, "Left out:");
            heading = true;
            snprintf(line, sizeof line, "%s, %s: %s", name, run->batch.songs[i].title,
                     run->batch.songs[i].taken == TITLE_IN_LIBRARY ? "the library already has a song of this title"
                                                              : "another song of this import has this title");
            summary_line(s, line);
        }
    }
}

static void changed_lines(Summary* s, const ImportBatch* batch, const char* const* names)
{
    char line[SUMMARY_LINE_SIZE];
    bool heading = false;
    for (int i = 0; i < batch->song_count; i++) {
        if (batch->songs[i].taken != TITLE_FREE || batch->altered[i] + batch->chord_marks[i] == 0)
            continue;
        if (!heading)
            summary_line(s, "Changed:");
        heading = true;
        const char* name = base_name(names[batch->source[i]]);
        if (batch->altered[i] > 0) {
            snprintf(line, sizeof line, "%s, %s: %d %s \":::::\", \"*****\" or \"#*#*#\", the library's marks;",
                     name, batch->songs[i].title, batch->altered[i], batch->altered[i] == 1 ? "line held" : "lines held");
            summary_line(s, line);
            summary_line(s, "their colons became ';' and their stars '+'.");
        }
        if (batch->chord_marks[i] > 0) {
            snprintf(line, sizeof line, "%s, %s: %d %s '<', which marks chord rows; it became '\x8B'.", name,
                     batch->songs[i].title, batch->chord_marks[i],
                     batch->chord_marks[i] == 1 ? "line of words held" : "lines of words held");
            summary_line(s, line);
        }
    }
}

static void write_summary(ImportRun* run, const char* const* names, int count, int beyond, RewriteResult result,
                          WriteResult why, int added)
{
    Summary s = {run->summary, 0, 0};
    run->summary[0] = 0;
    headline(&s, result, why, added);
    left_out_lines(&s, run, names, count, result == REWRITE_OK);
    char line[SUMMARY_LINE_SIZE];
    if (beyond > 0) {
        snprintf(line, sizeof line, "%d more files were not read: at most %d files at a time.", beyond,
                 IMPORT_FILES_MAX);
        summary_line(&s, line);
    }
    if (result == REWRITE_OK)
        changed_lines(&s, &run->batch, names);
    if (s.hidden > 0) {
        snprintf(line, sizeof line, "\r(and %d more)", s.hidden);
        copy_bounded(run->summary + s.used, IMPORT_SUMMARY_SIZE - s.used, line);
    }
}

int import_song_files(ImportRun* run, const char* folder, const char* const* names, int count,
                      ImportProgress progress, void* context)
{
    int beyond = count > IMPORT_FILES_MAX ? count - IMPORT_FILES_MAX : 0;
    count -= beyond;
    import_batch_reset(&run->batch);
    for (int f = 0; f < count; f++) {
        if (progress)
            progress(context, f, count);
        run->verdicts[f] = import_one_file(run, folder, names[f], f);
    }

    int added = 0;
    RewriteResult result = REWRITE_OK;
    WriteResult why = WRITE_OK;
    if (run->batch.song_count > 0)
        result = add_songs(run->batch.songs, run->batch.song_count, &added, &why, &run->adding);
    write_summary(run, names, count, beyond, result, why, added);
    return added;
}
