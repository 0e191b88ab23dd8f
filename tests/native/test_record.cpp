// The record reader and the text routines of the song library (cases in tests/cases/record.txt).
#include <gtest/gtest.h>

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

using ReadRecord = InTempDir;

TEST_F(ReadRecord, DeliversTheRecordsOfTheTable)
{
    for (const Case& c : cases("record", "read_record"))
        EXPECT_EQ(records_of(c[0]), c[1]) << c[0];
}

TEST_F(ReadRecord, CutsLongLinesIntoPiecesOf991)
{
    for (size_t length : {990, 991, 992, 2000}) {
        std::string line, want;
        for (size_t i = 0; i < length; i++)
            line += (char)('a' + i % 26);
        // full pieces, then the rest at the line end, empty after an exact multiple
        for (size_t at = 0;; at += RECORD_MAX) {
            want += line.substr(at, RECORD_MAX) + "\n";
            if (length - at < RECORD_MAX)
                break;
        }
        EXPECT_EQ(records_of(line + "\r\n"), want) << length;
    }
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

TEST_F(ReadRecord, TellsWhereEachRecordStarts)
{
    write_file("input.txt", ";skip\r\nab\r\ncd\n");
    SongFile file;
    char buf[RECORD_MAX + 1];
    ASSERT_EQ(song_file_open(&file, "input.txt"), 0);
    ASSERT_EQ(read_record(&file, buf), 0);
    EXPECT_EQ(file.record_start, 7);
    EXPECT_EQ(song_file_offset(&file), 11);
    ASSERT_EQ(read_record(&file, buf), 0);
    EXPECT_EQ(file.record_start, 11);
    song_file_close(&file);
}

// Runs a text routine over a copy of text; returns the result.
std::string changed(void (*routine)(char*), const std::string& text)
{
    char buf[1000];
    copy_bounded(buf, sizeof buf, text.c_str());
    routine(buf);
    return buf;
}

TEST(TrimTrailing, TrimsTheTextsOfTheTable)
{
    for (const Case& c : cases("record", "trim_trailing"))
        EXPECT_EQ(changed(trim_trailing, c[0]), c[1]) << "[" << c[0] << "]";
}

TEST(UpperCase, ChangesOnlyTheLettersAToZ)
{
    for (const Case& c : cases("record", "upper_case"))
        EXPECT_EQ(changed(upper_case, c[0]), c[1]);
}

TEST(ExtractTitle, CutsTheTitlesOfTheTable)
{
    char line[1000];
    for (const Case& c : cases("record", "extract_title")) {
        copy_bounded(line, sizeof line, c[0].c_str());
        EXPECT_STREQ(extract_title(line, c[1] == "one" ? SKIP_ONE_BLANK : SKIP_ALL_BLANKS), c[2].c_str()) << c[0];
    }
}

TEST(SameTitle, IgnoresCaseAndTrailingBlanksOnly)
{
    char a[1000], b[1000];
    for (const Case& c : cases("record", "same_title")) {
        copy_bounded(a, sizeof a, c[0].c_str());
        copy_bounded(b, sizeof b, c[1].c_str());
        EXPECT_EQ(same_title(a, b), c[2] == "1") << c[0];
    }
}

}  // namespace
