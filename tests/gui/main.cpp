// The GUI test program: runs the cases of one suite against cantoria.exe.
//   gui_tests.exe SUITE PATH\TO\cantoria.exe
#include "tests/gui/harness.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: gui_tests SUITE CANTORIA_EXE\n");
        return 2;
    }
    const char* suite = argv[1];
    program_path = argv[2];
    int passed = 0, failed = 0;
    for (const GuiTestCase& test : gui_tests()) {
        if (strcmp(test.suite, suite) != 0)
            continue;
        printf("[ RUN  ] %s.%s\n", test.suite, test.name);
        fflush(stdout);
        DWORD start = GetTickCount();
        test.fn();
        bool bad = current_test_failed();
        printf("[ %s ] %s.%s (%lu ms)\n", bad ? "FAIL" : " OK ", test.suite, test.name,
               (unsigned long)(GetTickCount() - start));
        fflush(stdout);
        bad ? failed++ : passed++;
    }
    if (passed + failed == 0) {
        printf("no test in suite %s\n", suite);
        return 2;
    }
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
