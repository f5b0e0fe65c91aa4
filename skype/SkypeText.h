#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vocamo {

// Texts from the Skype client are UTF-8, but nothing guarantees it.
bool IsValidUtf8(std::string_view text);

// The text with every ill-formed sequence replaced by U+FFFD.
std::string MakeValidUtf8(std::string_view text);

// The longest leading part of `text` that fits in `units` UTF-16 code units,
// cut between characters; ill-formed sequences become U+FFFD.
std::string CutToUtf16Units(std::string_view text, size_t units);

} // namespace vocamo
