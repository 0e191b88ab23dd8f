// The markup filter: word-processor control words and '&' taken out of a line.
#include "store/index.h"

#include <cstring>

#include "shell/shared_state.h"
#include "store/book_format.h"

// Control words that text pasted from a rich-text document leaves in a line.
// "\pard" must go before "\par" is searched and "\nowidctlpar" before "\now".
static const char* const markup_words[] = {
    "\\pard", "\\par", "\\nowidctlpar", "\\f0", "\\now", "\\tab", "\\page",
};

void strip_markup_text(char* line)
{
    if (strchr(line, '\\')) {
        for (const char* word : markup_words) {
            char* p = strstr(line, word);
            if (p)
                memset(p, '&', strlen(word));
        }
    }
    // every '&' goes, also one that belonged to the text
    char* out = line;
    for (char* in = line; *in; in++) {
        if (*in != '&')
            *out++ = *in;
    }
    *out = 0;
}
