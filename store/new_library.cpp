// The library written at the first run: comment lines and the example song.
#include "store/new_library.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#define CREATE_FLAGS (_O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY)
#define CREATE_MODE (_S_IREAD | _S_IWRITE)
#else
#include <unistd.h>
#define CREATE_FLAGS (O_WRONLY | O_CREAT | O_EXCL)
#define CREATE_MODE 0644
#endif

// Chord lines stand 18 blanks in (19 in the last two pairs), lyric lines 10
// (18 for the second of the last pair); each chord line ends with its "<" mark.
static const char* const example_lines[20] = {
    "::::: AMAZING MORNING :::::",
    "                  g        e        am7< ",
    "          MORNING HAS COME WITH THE LIGHT ",
    "                  a        g        bm7< ",
    "          SING TO THE DAY THAT IS NEW ",
    "                  cm7      g        e< ",
    "          BIRDS IN THE BRANCHES ARE SINGING ",
    "                  am7      g        a< ",
    "          ALL OF THE VALLEY IS BRIGHT ",
    " ",
    "          EVERY ONE WAKING ",
    "          EVERY ONE SINGING ",
    "          MORNING HAS COME ",
    "          LIGHT FOR THE DAY ",
    "           ",
    "                   g         e       am7< ",
    "          SING WITH THE MORNING ",
    "                   a         bm7     g< ",
    "                  SING WITH THE LIGHT ",
    "           ",
};

int write_example_song(FILE* file)
{
    for (const char* line : example_lines) {
        if (fputs(line, file) == EOF || fputs("\r\n", file) == EOF)
            return -1;
    }
    return 0;
}

NewLibraryResult ensure_library(const char* name)
{
    FILE* probe = fopen(name, "rb");
    if (probe) {
        fclose(probe);
        return LIBRARY_PRESENT;
    }
    // create-exclusive: a library that exists but cannot be read is never replaced
    int fd = open(name, CREATE_FLAGS, CREATE_MODE);
    if (fd < 0)
        return errno == EEXIST ? LIBRARY_UNREADABLE : LIBRARY_NOT_CREATED;
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        remove(name);
        return LIBRARY_NOT_CREATED;
    }
    int failed = 0;
    if (fputs(";Cantoria song library: songs are title lines \"::::: TITLE :::::\" and their lines\r\n", file) == EOF ||
        fputs(";chord lines end with a < mark after the last chord; lines starting with ; are comments\r\n", file) == EOF ||
        fputs("Example Song:\r\n", file) == EOF)
        failed = 1;
    if (!failed && write_example_song(file) != 0)
        failed = 1;
    if (fflush(file) != 0)
        failed = 1;
    if (fclose(file) != 0)
        failed = 1;
    if (failed) {
        // a half-written library would hide the example at the next start
        remove(name);
        return LIBRARY_NOT_CREATED;
    }
    return LIBRARY_CREATED;
}

const char* new_library_message(NewLibraryResult result)
{
    switch (result) {
    case LIBRARY_UNREADABLE:
        return "The song library SONGBOOK.CNR exists but cannot be opened.\r"
               "Another program may be using it, or it may not be readable.\r"
               "It was left as it is; close the other program and start again.";
    case LIBRARY_NOT_CREATED:
        return "A new song library SONGBOOK.CNR could not be created here.\r"
               "The folder may be read-only or the disk full.\r"
               "Songs cannot be listed or saved until it exists.";
    default:
        return "";
    }
}
