// The record reader and the text routines of the song library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/record.h"
#include "tests/support/test_files.h"

namespace {

class ReadRecord : public InTempDir {
protected:
    // Every record the reader delivers from a file holding these bytes.
    std::vector<std::string> records_of(const std::string& bytes)
    {
        write_file("input.txt", bytes);
        std::vector<std::string> out;
        SongFile file;
        EXPECT_EQ(song_file_open(&file, "input.txt"), 0);
        char buf[RECORD_MAX + 1];
        while (read_record(&file, buf) == 0)
            out.push_back(buf);
        // the end is the end: further reads deliver nothing
        EXPECT_EQ(read_record(&file, buf), -1);
        song_file_close(&file);
        return out;
    }
};

typedef std::vector<std::string> Records;

TEST_F(ReadRecord, LineEndsLfCrLfAndCrCrLfGiveTheSameRecords)
{
    for (const char* end : {"\n", "\r\n", "\r\r\n"}) {
        std::string bytes = std::string("one") + end + "two" + end + end;
        EXPECT_EQ(records_of(bytes), (Records{"one", "two", ""})) << "line end " << end;
    }
}

TEST_F(ReadRecord, CrInsideALineIsDropped)
{
    EXPECT_EQ(records_of("a\rb\r\rc\n"), (Records{"abc"}));
}

TEST_F(ReadRecord, CommentLinesAreNeverDelivered)
{
    EXPECT_EQ(records_of(";first\n;second\nsong\n;between\r\n;\nlast\n;at the end\n"),
              (Records{"song", "last"}));
    // a blank before the ';' makes it a plain line
    EXPECT_EQ(records_of(" ;not a comment\n"), (Records{" ;not a comment"}));
}

TEST_F(ReadRecord, UnterminatedLastLineIsNotDelivered)
{
    EXPECT_EQ(records_of("one\ntwo"), (Records{"one"}));
    EXPECT_EQ(records_of(""), Records{});
    EXPECT_EQ(records_of("no line end at all"), Records{});
}

TEST_F(ReadRecord, LongLinesComeInPiecesOf991)
{
    struct Case { size_t length; std::vector<size_t> pieces; } cases[] = {
        {990, {990}},
        {991, {991, 0}},
        {992, {991, 1}},
        {2000, {991, 991, 18}},
    };
    for (const Case& c : cases) {
        std::string line;
        for (size_t i = 0; i < c.length; i++)
            line += (char)('a' + i % 26);
        Records got = records_of(line + "\r\n");
        ASSERT_EQ(got.size(), c.pieces.size()) << "length " << c.length;
        size_t at = 0;
        for (size_t i = 0; i < got.size(); i++) {
            EXPECT_EQ(got[i], line.substr(at, c.pieces[i])) << "length " << c.length << " piece " << i;
            at += c.pieces[i];
        }
    }
}

TEST_F(ReadRecord, CtrlZEndsTheInput)
{
    EXPECT_EQ(records_of("one\n\x1A::::: HIDDEN :::::\nmore\n"), (Records{"one"}));
    EXPECT_EQ(records_of("par\x1Atial\n"), Records{});
}

TEST_F(ReadRecord, RecordsAcrossTheReadBufferAreWhole)
{
    // lines of every length around the reader's buffer size, CRs in between
    std::string bytes;
    Records want;
    for (int n = 0; n < 3000; n++) {
        std::string line(n % 991, (char)('A' + n % 26));
        bytes += line + (n % 3 ? "\r\n" : "\n");
        want.push_back(line);
    }
    EXPECT_EQ(records_of(bytes), want);
}

TEST_F(ReadRecord, RecordStartIsTheOffsetOfTheDeliveredLine)
{
    write_file("input.txt", ";skip\r\nab\r\ncd\n");
    SongFile file;
    ASSERT_EQ(song_file_open(&file, "input.txt"), 0);
    char buf[RECORD_MAX + 1];
    ASSERT_EQ(read_record(&file, buf), 0);
    EXPECT_EQ(file.record_start, 7);
    EXPECT_EQ(song_file_offset(&file), 11);
    ASSERT_EQ(read_record(&file, buf), 0);
    EXPECT_EQ(file.record_start, 11);
    song_file_close(&file);
}

TEST(SongFileOpen, MissingFileFails)
{
    SongFile file;
    EXPECT_EQ(song_file_open(&file, "/nonexistent/folder/songbook.cnr"), -1);
}

TEST(TrimTrailing, ByteCases)
{
    struct Case { const char* in; const char* out; } cases[] = {
        {"X \r\n", "X"},
        {" ", " "},              // the first character is never examined
        {"AB \t", "AB"},         // the tab is passed over, the blank before it ends the text
        {"AB\t ", "AB\t"},
        {"AB\t", "AB\t"},
        {"A \xC9", "A"},         // bytes above 0x7F are passed over too
        {"TITLE   ", "TITLE"},
        {"", ""},
        {"  ", " "},
    };
    for (const Case& c : cases) {
        char text[32];
        copy_bounded(text, sizeof text, c.in);
        trim_trailing(text);
        EXPECT_STREQ(text, c.out) << "input [" << c.in << "]";
    }
}

TEST(UpperCase, ChangesOnlyTheLettersAToZ)
{
    char text[] = "az AZ 09 !{}~ \xE9\xFF m";
    upper_case(text);
    EXPECT_STREQ(text, "AZ AZ 09 !{}~ \xE9\xFF M");
}

TEST(ExtractTitle, OddTitleLines)
{
    struct Case { const char* line; TitleBlanks blanks; const char* title; } cases[] = {
        {"::::: AMAZING GRACE :::::", SKIP_ALL_BLANKS, "AMAZING GRACE "},
        {"before :::::::   Title:after", SKIP_ALL_BLANKS, "Title"},
        {"::::: /Hidden :::::", SKIP_ALL_BLANKS, "/Hidden "},
        {"::::: NO CLOSING COLON", SKIP_ALL_BLANKS, "NO CLOSING COLON"},
        {":::::", SKIP_ALL_BLANKS, ""},
        {":::::   ", SKIP_ALL_BLANKS, ""},
        {":::::  ::::: KEY=xx", SKIP_ONE_BLANK, " "},
        {":::::  ::::: KEY=xx", SKIP_ALL_BLANKS, ":"},
        {"::::: SONG ::::: KEY=xx", SKIP_ONE_BLANK, "SONG "},
        {":::::   Two blanks", SKIP_ONE_BLANK, "  Two blanks"},
        {"::::::", SKIP_ALL_BLANKS, ""},
        {"::::: :", SKIP_ALL_BLANKS, ":"},
        {"::::::x:", SKIP_ALL_BLANKS, "x"},
    };
    for (const Case& c : cases) {
        char line[64];
        copy_bounded(line, sizeof line, c.line);
        EXPECT_STREQ(extract_title(line, c.blanks), c.title) << "line [" << c.line << "]";
    }
}

TEST(SameTitle, IgnoresCaseAndTrailingBlanks)
{
    char a[32] = "Amazing Grace  ", b[32] = "AMAZING GRACE";
    EXPECT_TRUE(same_title(a, b));
    char c[32] = "AMAZING GRACE", d[32] = " AMAZING GRACE";
    EXPECT_FALSE(same_title(c, d));
}

TEST(CopyBounded, CutsAndTerminates)
{
    char small[4];
    copy_bounded(small, sizeof small, "abcdef");
    EXPECT_STREQ(small, "abc");
    copy_bounded(small, sizeof small, "");
    EXPECT_STREQ(small, "");
}

}
