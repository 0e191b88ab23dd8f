// Case files: tables of cases and lists of steps kept as text (see the header).
#include "tests/support/case_file.h"

#include <algorithm>
#include <cstdlib>

static std::string unescape(const std::string& field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); i++) {
        char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        switch (c = field[++i]) {
        case 'r': out += '\r'; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 's': out += ' '; break;
        case 'e': break;
        case 'x': out += (char)strtol(field.substr(i + 1, 2).c_str(), nullptr, 16), i += 2; break;
        default: out += c;
        }
    }
    return out;
}

std::vector<Case> parse_cases(const std::string& text, std::string (*read_source)(const std::string& path))
{
    std::vector<Case> lines;
    for (size_t at = 0, end; at < text.size(); at = end + 1) {
        end = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        Case fields;
        for (size_t from = 0, bar; from <= line.size(); from = bar + 3) {
            bar = std::min(line.find(" | ", from), line.size());
            std::string field = line.substr(from, bar - from);
            fields.push_back(from == 0 ? field : field[0] == '@' ? read_source(field.substr(1)) : unescape(field));
        }
        lines.push_back(fields);
    }
    return lines;
}
