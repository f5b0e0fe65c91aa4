#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vocamo {

// The longest dial string a modem command line is trusted with.
constexpr size_t kMaxDialDigits = 79;

// The dial string a modem may be sent for a destination address: the dial
// characters 0-9 * # + , W P T ! kept (W P T upper-cased), spaces, dashes,
// dots and brackets dropped. Anything else (a ';', a CR, another AT command)
// refuses the whole address; so does an address with no dial character or
// one longer than kMaxDialDigits.
std::optional<std::string> FilterDialString(std::string_view address);

} // namespace vocamo
