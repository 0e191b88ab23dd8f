// Case files: tables of cases and lists of steps kept as text, read by the native
// tests and by the GUI journeys alike.
#pragma once

#include <string>
#include <vector>

// One case a line, fields separated by " | ", the first naming the function (or
// the step); '#' starts a comment line. Escapes: \r \n \t \0 \xHH \\, \s a blank
// (for blanks at a field's ends), \e nothing (an empty field). A field "@path" is
// the bytes of that file of the source tree, which read_source gives.
typedef std::vector<std::string> Case;
std::vector<Case> parse_cases(const std::string& text, std::string (*read_source)(const std::string& path));
