#pragma once

#include <string>
#include <string_view>

namespace vocamo {

// The text without the blanks around it: spaces, tabs, line and page ends.
// For a name or a handle as typed or read, and for a record read from a file.
std::string Trimmed(std::string_view text);

} // namespace vocamo
