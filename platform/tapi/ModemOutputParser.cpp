#include "platform/tapi/ModemOutputParser.h"

#include "core/Text.h"

#include <algorithm>
#include <cctype>

namespace vocamo {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    }
    return true;
}

} // namespace

void CModemOutputParser::Feed(std::string_view bytes,
                              const std::function<void(const ModemOutput &)> &emit)
{
    for (char c : bytes) {
        if (m_afterDle) {
            m_afterDle = false;
            // DLE DLE is a shielded data byte, not an event.
            if (c != DLE) {
                ModemOutput out;
                out.kind = ModemOutput::Dle;
                out.code = c;
                emit(out);
            }
            continue;
        }
        if (c == DLE) {
            m_afterDle = true;
            continue;
        }
        const auto u = static_cast<unsigned char>(c);
        if (m_escape == Escape::Started && c == '[') {
            m_escape = Escape::Sequence;
            continue;
        }
        if (m_escape == Escape::Sequence && u >= 0x20 && u <= 0x7E) {
            if (u >= 0x40) // the final byte
                m_escape = Escape::None;
            continue;
        }
        m_escape = c == 0x1B ? Escape::Started : Escape::None;
        if (c == '\r' || c == '\n') {
            const bool overlong = m_overlong;
            m_overlong = false;
            std::string_view text = TrimBlanks(m_line);
            if (!overlong && !text.empty()) {
                ModemOutput out;
                out.kind = ModemOutput::Line;
                out.text = std::string(text);
                emit(out);
            }
            m_line.clear();
            continue;
        }
        if (u < 0x20 && c != '\t')
            continue;
        if (m_overlong)
            continue;
        if (m_line.size() >= kMaxLine) {
            m_overlong = true;
            m_line.clear();
            continue;
        }
        m_line.push_back(c);
    }
}

void CModemOutputParser::Reset()
{
    m_line.clear();
    m_afterDle = false;
    m_overlong = false;
    m_escape = Escape::None;
}

ModemResult ClassifyModemLine(std::string_view line)
{
    line = TrimBlanks(line);
    if (StartsWithNoCase(line, "AT"))
        return ModemResult::Echo;
    // Longer words first where one result is the prefix of another.
    if (StartsWithNoCase(line, "RINGING"))
        return ModemResult::Ringing;
    if (StartsWithNoCase(line, "RING"))
        return ModemResult::Ring;
    if (StartsWithNoCase(line, "OK"))
        return ModemResult::Ok;
    if (StartsWithNoCase(line, "ERROR"))
        return ModemResult::Error;
    if (StartsWithNoCase(line, "VCON"))
        return ModemResult::Vcon;
    if (StartsWithNoCase(line, "CONNECT"))
        return ModemResult::Connect;
    if (StartsWithNoCase(line, "BUSY"))
        return ModemResult::Busy;
    if (StartsWithNoCase(line, "NO ANSWER"))
        return ModemResult::NoAnswer;
    if (StartsWithNoCase(line, "NO DIALTONE") || StartsWithNoCase(line, "NO DIAL TONE"))
        return ModemResult::NoDialtone;
    if (StartsWithNoCase(line, "NO CARRIER"))
        return ModemResult::NoCarrier;
    std::string tag, value;
    if (ParseCallerIdLine(line, tag, value))
        return ModemResult::CallerId;
    return ModemResult::Other;
}

bool ParseCallerIdLine(std::string_view line, std::string &tag, std::string &value)
{
    line = TrimBlanks(line);
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0)
        return false;
    std::string_view name = TrimBlanks(line.substr(0, eq));
    if (name.empty() || name.size() > 16)
        return false;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (!(std::isupper(u) || std::isdigit(u) || c == '_'))
            return false;
    }
    if (!std::isupper(static_cast<unsigned char>(name.front())))
        return false;
    tag = std::string(name);
    value = std::string(TrimBlanks(line.substr(eq + 1)));
    return true;
}

std::vector<int> ParseCapabilityList(const std::vector<std::string> &lines)
{
    std::vector<int> result;
    auto add = [&](int v) {
        if (std::find(result.begin(), result.end(), v) == result.end())
            result.push_back(v);
    };
    for (const std::string &raw : lines) {
        std::string_view line = raw;
        // A V.253 label line ('7,"ST",00000000,...') names one label: its first field.
        if (line.find('"') != std::string_view::npos) {
            const size_t comma = line.find(',');
            line = line.substr(0, comma);
        }
        size_t i = 0;
        while (i < line.size()) {
            if (!std::isdigit(static_cast<unsigned char>(line[i]))) {
                ++i;
                continue;
            }
            long first = 0;
            while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
                first = std::min(first * 10 + (line[i] - '0'), 100000L);
                ++i;
            }
            long last = first;
            if (i + 1 < line.size() && line[i] == '-' &&
                std::isdigit(static_cast<unsigned char>(line[i + 1]))) {
                ++i;
                last = 0;
                while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i]))) {
                    last = std::min(last * 10 + (line[i] - '0'), 100000L);
                    ++i;
                }
            }
            if (first <= 255)
                for (long v = first; v <= std::min(last, 255L); ++v)
                    add(static_cast<int>(v));
        }
    }
    return result;
}

} // namespace vocamo
