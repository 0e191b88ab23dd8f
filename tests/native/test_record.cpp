// The record reader and the text routines of the song library (cases in tests/cases/record.txt).
#include "store/book_format.h"
#include "store/record.h"
#include "tests/support/test_files.h"

namespace {

// Every record the reader delivers from a file of these bytes, each followed by "\n".
std::string records_of(const std::string& bytes)
{
    write_file("input.txt", bytes);
    SongFile file;
    EXPECT_EQ(song_file_open(&file, "input.txt"), 0);
    std::string out;
    char buf[RECORD_MAX + 1];
    while (read_record(&file, buf) == 0)
        out += std::string(buf) + "\n";
    EXPECT_EQ(read_record(&file, buf), -1);   // the end stays the end
    song_file_close(&file);
    return out;
}

// A text routine run over a copy of the text.
std::string changed(void (*routine)(char*), const std::string& text)
{
    char buf[1000];
    copy_bounded(buf, sizeof buf, text.c_str());
    routine(buf);
    return buf;
}

using ReadRecord = InTempDir;
using TrimTrailing = InTempDir;
using UpperCase = InTempDir;
using ExtractTitle = InTempDir;
using SameTitle = InTempDir;

TABLE_TEST(ReadRecord, DeliversTheRecordsOfTheTable, "record", "read_record") { return records_of(c[0]); }
TABLE_TEST(TrimTrailing, TrimsTheTextsOfTheTable, "record", "trim_trailing") { return changed(trim_trailing, c[0]); }
TABLE_TEST(UpperCase, ChangesOnlyTheLettersAToZ, "record", "upper_case") { return changed(upper_case, c[0]); }

TABLE_TEST(ExtractTitle, CutsTheTitlesOfTheTable, "record", "extract_title")
{
    char line[1000];
    copy_bounded(line, sizeof line, c[0].c_str());
    return extract_title(line, c[1] == "one" ? SKIP_ONE_BLANK : SKIP_ALL_BLANKS);
}

TABLE_TEST(SameTitle, ComparesTitleLinesAsTheLookupDoes, "record", "title_line_matches")
{
    char key[1000];
    copy_bounded(key, sizeof key, c[1].c_str());
    make_title_key(key);
    return title_line_matches(c[0].c_str(), key) ? "1" : "0";
}

TEST_F(ReadRecord, KeepsRecordsWholeAcrossItsReadBuffer)
{
    std::string bytes, want;
    for (int n = 0; n < 3000; n++) {
        std::string line(n % 991, (char)('A' + n % 26));
        bytes += line + (n % 3 ? "\r\n" : "\n");
        want += line + "\n";
    }
    EXPECT_EQ(records_of(bytes), want);
}

}  // namespace
