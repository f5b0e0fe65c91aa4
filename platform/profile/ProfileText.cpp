#include "platform/profile/ProfileText.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <unordered_map>
#include <utility>

namespace vocamo {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

template <typename Offset> void TrimRange(const char *bytes, Offset &begin, Offset &end)
{
    while (begin < end && IsBlank(bytes[begin]))
        ++begin;
    while (end > begin && IsBlank(bytes[end - 1]))
        --end;
}

uint64_t HashName(std::string_view name)
{
    uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(LowerAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

// Joins pieces without operator+, which trips a false -Wrestrict in GCC 12.
std::string Concat(std::initializer_list<std::string_view> pieces)
{
    size_t length = 0;
    for (const std::string_view piece : pieces)
        length += piece.size();
    std::string text;
    text.reserve(length);
    for (const std::string_view piece : pieces)
        text.append(piece);
    return text;
}

const char *FindLast(const char *from, char c, size_t length)
{
    for (size_t i = length; i > 0; --i) {
        if (from[i - 1] == c)
            return from + i - 1;
    }
    return nullptr;
}

} // namespace

CProfileText::CProfileText(std::string bytes) : m_bytes(std::move(bytes))
{
    Parse();
}

std::string_view CProfileText::Trim(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    TrimRange(text.data(), begin, end);
    return text.substr(begin, end - begin);
}

bool CProfileText::SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

void CProfileText::Parse()
{
    const char *b = m_bytes.data();
    const size_t n = m_bytes.size();
    if (n >= 3 && std::memcmp(b, "\xEF\xBB\xBF", 3) == 0)
        m_bomLength = 3;
    // The file keeps the line ending its first line has: LF, CRLF or a bare CR.
    if (const size_t at = std::string_view(m_bytes).find_first_of("\r\n"); at != m_bytes.npos) {
        if (b[at] == '\r')
            m_eol = at + 1 < n && b[at + 1] == '\n' ? "\r\n" : "\r";
    }

    if (n > kMaxBytes)
        return;
    // One key per line at most; reserving spares the copies of growing.
    size_t lines = 0;
    for (const char *p = b; (p = static_cast<const char *>(std::memchr(p, '\n', b + n - p))); ++p)
        ++lines;
    m_keys.reserve(std::min<size_t>(lines + 1, 1 << 20));

    bool commentsOpen = false; // still in the comments right below a header
    size_t pos = m_bomLength;
    while (pos < n) {
        const char *nl = static_cast<const char *>(std::memchr(b + pos, '\n', n - pos));
        size_t lineEnd = nl ? static_cast<size_t>(nl - b) : n;
        size_t next = nl ? lineEnd + 1 : n;
        // CR ends a line too, alone or before the LF.
        if (const void *cr = std::memchr(b + pos, '\r', lineEnd - pos)) {
            lineEnd = static_cast<size_t>(static_cast<const char *>(cr) - b);
            next = nl && lineEnd + 1 == static_cast<size_t>(nl - b) ? lineEnd + 2 : lineEnd + 1;
        }
        // A NUL ends the line's text: names and values are C strings.
        const char *nul = static_cast<const char *>(std::memchr(b + pos, '\0', lineEnd - pos));
        const size_t textEnd = nul ? static_cast<size_t>(nul - b) : lineEnd;
        size_t start = pos;
        while (start < textEnd && IsBlank(b[start]))
            ++start;

        const char *close = nullptr;
        if (start < textEnd && b[start] == '[')
            close = FindLast(b + start + 1, ']', textEnd - start - 1);

        if (start == textEnd) {
            commentsOpen = false;
        } else if (b[start] == ';') {
            if (commentsOpen && !m_sections.empty())
                m_sections.back().commentsEnd = next;
        } else if (close) {
            if (!m_sections.empty())
                m_sections.back().end = pos;
            Section section{};
            section.headerBegin = pos;
            section.bodyBegin = next;
            section.commentsEnd = next;
            section.end = n;
            section.nameBegin = start + 1;
            section.nameEnd = static_cast<uint32_t>(close - b);
            TrimRange(b, section.nameBegin, section.nameEnd);
            section.firstKey = m_keys.size();
            section.keyCount = 0;
            m_sections.push_back(section);
            commentsOpen = true;
        } else {
            commentsOpen = false;
            const char *eq =
                static_cast<const char *>(std::memchr(b + start, '=', textEnd - start));
            if (eq && !m_sections.empty()) {
                Key key{};
                key.lineBegin = pos;
                key.lineEnd = lineEnd;
                key.lineNext = next;
                key.nameBegin = start;
                key.nameEnd = static_cast<uint32_t>(eq - b);
                TrimRange(b, key.nameBegin, key.nameEnd);
                key.valueBegin = static_cast<uint32_t>(eq - b) + 1;
                key.valueEnd = textEnd;
                TrimRange(b, key.valueBegin, key.valueEnd);
                // "=value" has no name to look it up by: a stray line.
                if (key.nameEnd > key.nameBegin) {
                    m_keys.push_back(key);
                    ++m_sections.back().keyCount;
                }
            }
            // A line without "=" (or "[name" without "]") is kept, not read.
        }
        pos = next;
    }

    size_t slots = 8;
    while (slots < 2 * m_sections.size())
        slots *= 2;
    m_slots.assign(slots, 0);
    for (size_t i = 0; i < m_sections.size(); ++i) {
        const std::string_view name = Name(m_sections[i]);
        for (size_t slot = HashName(name) & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
            if (m_slots[slot] == 0) {
                m_slots[slot] = static_cast<uint32_t>(i + 1);
                break;
            }
            if (SameName(Name(m_sections[m_slots[slot] - 1]), name))
                break; // the first of that name stays the one found
        }
        // An empty name would end the double-NUL list early.
        if (!name.empty()) {
            m_nameList.append(name);
            m_nameList.push_back('\0');
        }
    }
}

std::string_view CProfileText::Name(const Section &section) const
{
    return std::string_view(m_bytes).substr(section.nameBegin, section.nameEnd - section.nameBegin);
}

std::string_view CProfileText::Name(const Key &key) const
{
    return std::string_view(m_bytes).substr(key.nameBegin, key.nameEnd - key.nameBegin);
}

std::string_view CProfileText::Value(const Key &key) const
{
    return std::string_view(m_bytes).substr(key.valueBegin, key.valueEnd - key.valueBegin);
}

const CProfileText::Section *CProfileText::FindSection(std::string_view name) const
{
    if (m_slots.empty())
        return nullptr;
    const std::string_view sought = Trim(name);
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = HashName(sought) & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
        const Section &section = m_sections[m_slots[slot] - 1];
        if (SameName(Name(section), sought))
            return &section;
    }
    return nullptr;
}

const CProfileText::Key *CProfileText::FindKey(const Section &section, std::string_view name) const
{
    const std::string_view sought = Trim(name);
    for (size_t i = 0; i < section.keyCount; ++i) {
        const Key &key = m_keys[section.firstKey + i];
        if (SameName(Name(key), sought))
            return &key;
    }
    return nullptr;
}

std::string CProfileText::KeyNameList(const Section &section) const
{
    std::string list;
    for (size_t i = 0; i < section.keyCount; ++i) {
        list.append(Name(m_keys[section.firstKey + i]));
        list.push_back('\0');
    }
    return list;
}

void CProfileText::AppendLines(std::string &out, const std::vector<std::string> &lines) const
{
    if (lines.empty())
        return;
    if (out.size() > m_bomLength && out.back() != '\n' && out.back() != '\r')
        out += m_eol;
    for (const std::string &line : lines) {
        out += line;
        out += m_eol;
    }
}

std::string CProfileText::WithValues(std::string_view section, const KeyValues &values) const
{
    return WithSectionValues({{section, values}});
}

std::string CProfileText::WithoutKey(std::string_view section, std::string_view key) const
{
    const Section *found = FindSection(section);
    const Key *existing = found ? FindKey(*found, key) : nullptr;
    if (!existing)
        return m_bytes;
    std::string out = m_bytes;
    out.erase(existing->lineBegin, existing->lineNext - existing->lineBegin);
    return out;
}

std::string CProfileText::WithoutSection(std::string_view section) const
{
    const Section *found = FindSection(section);
    if (!found)
        return m_bytes;
    std::string out = m_bytes;
    out.erase(found->headerBegin, found->end - found->headerBegin);
    return out;
}

std::string CProfileText::WithSection(std::string_view section,
                                      const std::vector<std::string> &lines) const
{
    const Section *found = FindSection(section);
    if (!found) {
        std::vector<std::string> all;
        all.reserve(lines.size() + 1);
        all.push_back(Concat({"[", section, "]"}));
        all.insert(all.end(), lines.begin(), lines.end());
        std::string out = m_bytes;
        AppendLines(out, all);
        return out;
    }
    // The section's comments and other lines stay; only its keys are replaced.
    std::string out = m_bytes.substr(0, found->commentsEnd);
    AppendLines(out, lines);
    size_t pos = found->commentsEnd;
    for (size_t i = 0; i < found->keyCount; ++i) {
        const Key &key = m_keys[found->firstKey + i];
        out.append(m_bytes, pos, key.lineBegin - pos);
        pos = key.lineNext;
    }
    out.append(m_bytes, pos, std::string::npos);
    return out;
}

std::string CProfileText::WithSectionValues(const SectionValues &sections) const
{
    // Sections by name, as FindSection matches them; the first spelling stays.
    std::vector<std::pair<std::string_view, KeyValues>> merged;
    std::unordered_map<std::string, size_t> byName;
    for (const auto &[section, values] : sections) {
        std::string folded(Trim(section));
        std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
        const auto [it, fresh] = byName.try_emplace(std::move(folded), merged.size());
        if (fresh)
            merged.emplace_back(section, KeyValues());
        KeyValues &into = merged[it->second].second;
        into.insert(into.end(), values.begin(), values.end());
    }

    struct Edit {
        size_t begin, end;
        std::string text;               // a key line's new text
        std::vector<std::string> lines; // or whole lines put in at begin
    };
    std::vector<Edit> edits;
    std::vector<std::string> appended; // new sections, at the end of the file
    for (const auto &group : merged) {
        const std::string_view section = group.first;
        const KeyValues &values = group.second;
        const Section *found = FindSection(section);
        std::vector<std::string> added;
        if (!found)
            added.push_back(Concat({"[", section, "]"}));
        for (size_t i = 0; i < values.size(); ++i) {
            const auto &[key, value] = values[i];
            if (std::any_of(values.begin() + i + 1, values.end(), [&](const auto &later) {
                    return SameName(Trim(later.first), Trim(values[i].first));
                }))
                continue;
            if (const Key *existing = found ? FindKey(*found, key) : nullptr) {
                if (Value(*existing) != Trim(value))
                    edits.push_back({existing->lineBegin,
                                     existing->lineEnd,
                                     Concat({Name(*existing), "=", value}),
                                     {}});
            } else {
                added.push_back(Concat({key, "=", value}));
            }
        }
        if (!found) {
            appended.insert(appended.end(), added.begin(), added.end());
        } else if (!added.empty()) {
            const size_t at = found->keyCount
                                  ? m_keys[found->firstKey + found->keyCount - 1].lineNext
                                  : found->commentsEnd;
            edits.push_back({at, at, {}, std::move(added)});
        }
    }
    // Lines put in before a key line that starts at the same place.
    std::stable_sort(edits.begin(), edits.end(), [](const Edit &a, const Edit &b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end == a.begin && b.end != b.begin;
    });
    std::string out;
    out.reserve(m_bytes.size() + 32 * appended.size());
    size_t pos = 0;
    for (const Edit &edit : edits) {
        out.append(m_bytes, pos, edit.begin - pos);
        if (edit.end == edit.begin)
            AppendLines(out, edit.lines);
        else
            out += edit.text;
        pos = edit.end;
    }
    out.append(m_bytes, pos, std::string::npos);
    AppendLines(out, appended);
    return out;
}

} // namespace vocamo
