#include "platform/tapi/DialString.h"

#include <cctype>

namespace vocamo {

std::optional<std::string> FilterDialString(std::string_view address)
{
    std::string digits;
    for (char c : address) {
        const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if ((c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+' || c == ',' || c == '!' ||
            upper == 'W' || upper == 'P' || upper == 'T') {
            digits.push_back(upper);
        } else if (c == ' ' || c == '-' || c == '.' || c == '(' || c == ')' || c == '[' ||
                   c == ']') {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty() || digits.size() > kMaxDialDigits)
        return std::nullopt;
    return digits;
}

} // namespace vocamo
