// Record reader and text routines of the song library (and of the song list file).
#pragma once

#include <cstdint>

enum {
    RECORD_MAX = 991,          // characters of one record; buffers hold RECORD_MAX + 1
    SONG_FILE_BUF = 16384
};

// A library or song list file opened for reading in binary mode. It is read
// through a buffer of its own with plain descriptor reads: a record costs no
// library call per byte, and opening the file allocates nothing.
struct SongFile {
    int fd;
    long base;                 // file offset of buf[0]
    int pos;                   // next byte in buf
    int len;                   // bytes in buf
    int at_end;                // 1 once the end of the file (or a read error) was reached
    int stopped;               // 1 once a byte 0x1A ended the records
    int error;                 // 1 after a read error
    long record_start;         // file offset of the first byte of the last delivered record
    int record_len;            // bytes of the last delivered record before its terminating zero
    unsigned char buf[SONG_FILE_BUF];
};

// Opens a file for reading; returns 0, or -1 when it cannot be opened.
int song_file_open(SongFile* file, const char* name);
void song_file_close(SongFile* file);
// File offset of the next byte that read_record would take.
long song_file_offset(const SongFile* file);
// Moves to a file offset for raw reading; returns 0, or -1 on failure.
int song_file_seek(SongFile* file, long offset);
// Raw bytes from the current offset, whatever they are (0x1A included): returns
// the number read, 0 at the end of the file, -1 on a read error.
int song_file_read_bytes(SongFile* file, unsigned char* out, int size);

// Delivers the next line of the file into buf (at least RECORD_MAX + 1 bytes):
// CRs dropped, the LF removed, comment lines (first byte ';') skipped, lines
// longer than 991 characters cut into pieces. Returns 0, or -1 at the end of the
// input (end of file, a byte 0x1A, or a read error); an unterminated last line
// is never delivered.
int read_record(SongFile* file, char* buf);

// Removes trailing blanks, CRs and LFs in place; the first character is never
// examined, and bytes other than those three are passed over, as described at
// the definition.
void trim_trailing(char* text);
// Puts the small letters in capitals in place: a to z and the Windows-1252
// letters with accents (é to É, ë to Ë, ÿ to Ÿ, œ to Œ).
void upper_case(char* text);

// How extract_title skips blanks after the colon run.
enum TitleBlanks { SKIP_ALL_BLANKS, SKIP_ONE_BLANK };
// Cuts the title out of a title line (one containing ":::::") in place and
// returns where it starts; the title ends before the next ':' after its first byte.
char* extract_title(char* line, TitleBlanks blanks);

// Copies at most size - 1 bytes of src into dst and terminates it.
void copy_bounded(char* dst, int size, const char* src);
