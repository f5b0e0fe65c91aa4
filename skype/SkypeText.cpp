#include "skype/SkypeText.h"

#include <cstdint>

namespace vocamo {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at `text[pos]`. Returns the bytes it takes; an
// ill-formed sequence yields U+FFFD and takes its maximal valid prefix (at
// least one byte), as the Unicode standard recommends.
size_t DecodeOne(std::string_view text, size_t pos, char32_t &cp, bool &valid)
{
    valid = false;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(pos);
    if (lead < 0x80) {
        cp = lead;
        valid = true;
        return 1;
    }
    size_t need;
    uint8_t lo = 0x80, hi = 0xBF; // range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        need = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        need = 2;
        cp = lead & 0x0F;
        if (lead == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (lead == 0xED)
            hi = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        need = 3;
        cp = lead & 0x07;
        if (lead == 0xF0)
            lo = 0x90;
        else if (lead == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        cp = kReplacement;
        return 1;
    }
    for (size_t k = 1; k <= need; ++k) {
        const size_t i = pos + k;
        if (i >= text.size()) {
            cp = kReplacement;
            return k;
        }
        const uint8_t b = byte(i);
        const bool ok = k == 1 ? (b >= lo && b <= hi) : (b >= 0x80 && b <= 0xBF);
        if (!ok) {
            cp = kReplacement;
            return k;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    valid = true;
    return need + 1;
}

void Encode(char32_t cp, std::string &out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

bool IsValidUtf8(std::string_view text)
{
    size_t pos = 0;
    while (pos < text.size()) {
        if (static_cast<uint8_t>(text[pos]) < 0x80) {
            ++pos;
            continue;
        }
        char32_t cp;
        bool valid;
        pos += DecodeOne(text, pos, cp, valid);
        if (!valid)
            return false;
    }
    return true;
}

std::string MakeValidUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp;
        bool valid;
        pos += DecodeOne(text, pos, cp, valid);
        Encode(cp, out);
    }
    return out;
}

std::string CutToUtf16Units(std::string_view text, size_t units)
{
    std::string out;
    out.reserve(text.size() < units * 3 ? text.size() : units * 3);
    size_t used = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t cp;
        bool valid;
        const size_t len = DecodeOne(text, pos, cp, valid);
        const size_t width = cp >= 0x10000 ? 2 : 1;
        if (used + width > units)
            break;
        used += width;
        pos += len;
        Encode(cp, out);
    }
    return out;
}

} // namespace vocamo
