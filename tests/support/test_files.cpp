// Working folders, case tables and child processes for the native tests.
#include "tests/support/test_files.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// Gives every folder back its owner's rights, so that a folder a test made
// read-only can be emptied; then the second walk removes depth first.
static int allow_removal(const char* path, const struct stat* st, int type, struct FTW*)
{
    if (type == FTW_D || type == FTW_DNR)
        chmod(path, (st->st_mode & 07777) | S_IRWXU);
    return 0;
}

static int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return remove(path), 0; }

TempDir::TempDir()
{
    char cwd[4096];
    old_cwd_ = getcwd(cwd, sizeof cwd) ? cwd : "";
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cantoria-test-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0)
        ADD_FAILURE() << "cannot make and enter a folder from " << pattern;
    else
        path_ = pattern;
}

TempDir::~TempDir()
{
    if (!old_cwd_.empty() && chdir(old_cwd_.c_str()) != 0)
        ADD_FAILURE() << "cannot go back to " << old_cwd_;
    if (!path_.empty()) {
        nftw(path_.c_str(), allow_removal, 16, FTW_PHYS);
        nftw(path_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    }
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

std::string titles_listed()
{
    std::string titles;
    for (int i = 0; i < fake_ui.title_count; i++)
        titles += std::string(fake_title(i)) + "\n";
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
