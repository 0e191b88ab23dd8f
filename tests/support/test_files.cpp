// Working folders, case tables and child processes for the native tests.
#include "tests/support/test_files.h"
#include "store/index.h"

#include <cstring>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

TempDir::TempDir()
{
    std::error_code error;
    old_cwd_ = std::filesystem::current_path(error).string();
    std::string pattern = (std::filesystem::temp_directory_path(error) / "cantoria-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0)
        ADD_FAILURE() << "cannot make and enter a folder from " << pattern;
    else
        path_ = pattern;
}

// A test may have left its folder read-only: its rights come back first.
TempDir::~TempDir()
{
    std::error_code error;
    if (chdir(old_cwd_.c_str()) != 0)
        ADD_FAILURE() << "cannot go back to " << old_cwd_;
    if (!path_.empty() && (chmod(path_.c_str(), 0700), std::filesystem::remove_all(path_, error), error))
        ADD_FAILURE() << "cannot remove " << path_ << ": " << error.message();
}

std::string many_songs(int n)
{
    std::string library = ";generated\r\n";
    for (int i = 1; i <= n; i++) {
        library += "::::: SONG " + std::to_string(i) + " ::::: KEY=xx\r\r\n";
        for (int line = 0; line < 39; line++)
            library += line % 2 ? "Sing of mercy, sing of grace along the way \r\n" : "G      D/F#     Em   C#m7  <\r\n";
    }
    return library;
}

std::string source_file(const std::string& relative)
{
    return read_file((std::string(CANTORIA_SOURCE) + "/" + relative).c_str());
}

std::vector<std::string> title_entries()
{
    static TitleList list;
    read_title_list(LIBRARY_FILE, &list);
    std::vector<std::string> entries;
    for (int i = 0, at = 0; i < list.count; i++, at += (int)strlen(list.text + at) + 1)
        entries.push_back(list.text + at);
    return entries;
}

std::string titles_listed()
{
    std::string titles;
    for (const std::string& entry : title_entries())
        titles += entry + "\n";
    return titles;
}

std::vector<Case> case_lines(const std::string& relative)
{
    std::string text = source_file(relative);
    EXPECT_FALSE(text.empty()) << "no case file " << relative;
    return parse_cases(text, source_file);
}

std::vector<Case> cases(const char* table, const char* function)
{
    std::vector<Case> found;
    for (Case& c : case_lines(std::string("tests/cases/") + table + ".txt"))
        if (c[0] == function)
            found.push_back(Case(c.begin() + 1, c.end()));
    EXPECT_FALSE(found.empty()) << "no case of " << function << " in " << table;
    return found;
}

int run_in_child(int (*fn)(long), long arg, long file_limit)
{
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        struct rlimit rl = {(rlim_t)file_limit, (rlim_t)file_limit};
        if (file_limit >= 0 && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &rl) != 0))
            _exit(-1);
        _exit(fn(arg));
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
