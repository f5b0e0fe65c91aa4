#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vocamo {

// One profile file as it stands: its bytes, and where each section and key
// lies in them. Edits never rewrite the file from a model; they splice the
// changed lines into the original bytes, so comments, blank lines, stray
// lines, the byte-order mark and each line's own ending survive untouched.
class CProfileText {
public:
    struct Key {
        uint32_t lineBegin; // first byte of the line
        uint32_t lineEnd;   // end of the line's text, before its line ending
        uint32_t lineNext;  // first byte of the next line
        uint32_t nameBegin, nameEnd;
        uint32_t valueBegin, valueEnd;
    };
    struct Section {
        uint32_t headerBegin;
        uint32_t bodyBegin;   // the line after the header
        uint32_t commentsEnd; // end of the comment lines right below the header
        uint32_t end;         // the next header, or the end of the file
        uint32_t nameBegin, nameEnd;
        uint32_t firstKey, keyCount; // into Keys()
    };

    // Offsets are 32-bit; larger files are not read.
    static constexpr size_t kMaxBytes = 0xFFFFFFF0u;

    CProfileText() = default;
    explicit CProfileText(std::string bytes);

    const std::string &Bytes() const { return m_bytes; }
    const std::vector<Section> &Sections() const { return m_sections; }

    // The first section or key of that name (trimmed, ASCII case ignored).
    const Section *FindSection(std::string_view name) const;
    const Key *FindKey(const Section &section, std::string_view name) const;

    std::string_view Name(const Section &section) const;
    std::string_view Name(const Key &key) const;
    std::string_view Value(const Key &key) const;

    // Every non-empty section name in file order, each followed by a NUL.
    const std::string &SectionNameList() const { return m_nameList; }
    std::string KeyNameList(const Section &section) const;

    // The file's bytes after one change. Names and values come with their
    // leading blanks already dropped.
    using KeyValues = std::vector<std::pair<std::string_view, std::string_view>>;
    std::string WithValues(std::string_view section, const KeyValues &values) const;
    std::string WithoutKey(std::string_view section, std::string_view key) const;
    std::string WithoutSection(std::string_view section) const;
    std::string WithSection(std::string_view section, const std::vector<std::string> &lines) const;
    // WithValues for many sections at once, in one pass over the bytes; a
    // section named twice takes both lists, the later value winning.
    using SectionValues = std::vector<std::pair<std::string_view, KeyValues>>;
    std::string WithSectionValues(const SectionValues &sections) const;

    static std::string_view Trim(std::string_view text);
    static bool SameName(std::string_view a, std::string_view b);

private:
    void Parse();
    // Appends text as whole lines, first ending the line before it if needed.
    void AppendLines(std::string &out, const std::vector<std::string> &lines) const;

    std::string m_bytes;
    std::string m_eol = "\n";
    size_t m_bomLength = 0;
    std::vector<Section> m_sections;
    std::vector<Key> m_keys;
    // Open addressing on the name without regard to case: 1 + the index of
    // the first section of that name, 0 for a free slot.
    std::vector<uint32_t> m_slots;
    std::string m_nameList;
};

} // namespace vocamo
