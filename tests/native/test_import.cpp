// Importing ChordPro files and chord sheets (cases in tests/cases/import.txt): the
// songs each file becomes, where they go in the library, and every other byte kept.
#include "chordpro/import_files.h"

#include <sys/stat.h>

#include "store/add_songs.h"
#include "store/index.h"
#include "tests/support/test_files.h"

namespace {

ImportRun run;

// The fields' list "a, b, c" as names.
std::vector<std::string> names_of(const std::string& list)
{
    std::vector<std::string> names;
    for (size_t at = 0, end; at < list.size(); at = end + 2)
        names.push_back(list.substr(at, (end = std::min(list.find(", ", at), list.size())) - at));
    return names;
}

using ImportSongFiles = InTempDir;

// The library must become the case's with <songs> replaced by the songs of the
// files named; a library that changed has its backup.
TABLE_TEST(ImportSongFiles, AddsTheSongsOfTheTable, "import", "import")
{
    std::string library = c[0], songs, folder = std::string(CANTORIA_SOURCE) + "/tests/import/";
    size_t at = library.find("<songs>");
    library.erase(at, 7);
    for (const std::string& name : names_of(c[2]))
        songs += source_file("tests/import/" + name + ".cnr");
    write_file(LIBRARY_FILE, library);
    remove(BACKUP_FILE);
    if (c.size() == 5)
        mkdir(c[3].c_str(), 0700);
    std::vector<std::string> files = names_of(c[1]);
    std::vector<const char*> names;
    for (const std::string& f : files)
        names.push_back(f.c_str());
    int added = import_song_files(&run, folder.c_str(), names.data(), (int)names.size(), nullptr, nullptr);
    EXPECT_EQ(read_file(LIBRARY_FILE), std::string(library).insert(at, songs)) << c[1];
    EXPECT_EQ(read_file(BACKUP_FILE), added > 0 ? library : "") << c[1];
    EXPECT_EQ(file_exists(TEMP_FILE), c.size() == 5);
    return std::string(run.summary);
}

}  // namespace
