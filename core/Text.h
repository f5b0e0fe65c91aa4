#pragma once

#include <string>
#include <string_view>

namespace vocamo {

// The text without the blanks around it: spaces, tabs, line and page ends.
// For a name or a handle as typed or read, and for a record read from a file.
std::string Trimmed(std::string_view text);

// The text without the spaces and tabs around it: for a line whose end is
// already cut, as a modem reply or a vCard line.
inline std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace vocamo
