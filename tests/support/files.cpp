// Whole files for the native tests and the fuzz targets alike.
#include "tests/support/files.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

void write_file(const char* name, const std::string& bytes)
{
    FILE* f = fopen(name, "wb");
    bool ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (!f || fclose(f) != 0 || !ok) {
        fprintf(stderr, "cannot write %s\n", name);
        abort();
    }
}

std::string read_file(const char* name)
{
    std::string bytes;
    FILE* f = fopen(name, "rb");
    char chunk[65536];
    for (size_t n; f && (n = fread(chunk, 1, sizeof chunk, f)) > 0;)
        bytes.append(chunk, n);
    if (f)
        fclose(f);
    return bytes;
}

bool file_exists(const char* name)
{
    struct stat st;
    return stat(name, &st) == 0;
}
