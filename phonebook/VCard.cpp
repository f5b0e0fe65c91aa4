#include "phonebook/VCard.h"

#include "core/Text.h"
#include "phonebook/IniFile.h"
#include "platform/profile/Profile.h"
#include "platform/profile/ProfileText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iconv.h>
#include <iterator>
#include <sys/stat.h>
#include <unordered_map>

namespace vocamo {

namespace {

// Far more than any address book; a larger file is not one.
constexpr size_t kMaxVcfBytes = 64u << 20;

// The phonebook's three numbers, in the order free ones are filled.
constexpr std::array<const char *, 3> kSlotKeys = {"Phone_Home", "Phone_Office", "Phone_Mobile"};

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAscii);
    return out;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

std::string ErrorText(const std::string &path, int error)
{
    return path + ": " + std::strerror(error);
}

// One property after unfolding: name and parameters understood, value raw.
struct ContentLine {
    std::string name; // lower case, group dropped
    std::vector<std::string> types;
    std::string encoding, charset, valueType;
    std::string_view value;
};

void AddTypes(std::vector<std::string> &types, std::string_view list)
{
    while (!list.empty()) {
        const size_t comma = list.find(',');
        std::string_view one = list.substr(0, comma);
        if (one.size() >= 2 && one.front() == '"' && one.back() == '"')
            one = one.substr(1, one.size() - 2);
        if (!one.empty())
            types.push_back(Lower(TrimBlanks(one)));
        list = comma == list.npos ? std::string_view() : list.substr(comma + 1);
    }
}

ContentLine ParseContentLine(std::string_view line)
{
    ContentLine out;
    // The value starts at the first colon outside a quoted parameter value.
    size_t colon = line.npos;
    bool quoted = false;
    for (size_t i = 0; i < line.size() && colon == line.npos; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon == line.npos)
        return out;
    out.value = line.substr(colon + 1);
    std::string_view head = line.substr(0, colon);
    size_t semicolon = head.find(';');
    std::string_view name = head.substr(0, semicolon);
    if (const size_t dot = name.rfind('.'); dot != name.npos)
        name.remove_prefix(dot + 1);
    out.name = Lower(TrimBlanks(name));
    while (semicolon != head.npos) {
        head.remove_prefix(semicolon + 1);
        semicolon = head.find(';');
        const std::string_view param = head.substr(0, semicolon);
        const size_t equals = param.find('=');
        if (equals == param.npos) {
            // vCard 2.1 names types and encodings bare: TEL;HOME;VOICE.
            const std::string bare = Lower(TrimBlanks(param));
            if (bare == "quoted-printable" || bare == "base64" || bare == "8bit")
                out.encoding = bare;
            else
                AddTypes(out.types, bare);
            continue;
        }
        const std::string key = Lower(TrimBlanks(param.substr(0, equals)));
        std::string_view value = TrimBlanks(param.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (key == "type")
            AddTypes(out.types, value);
        else if (key == "encoding")
            out.encoding = Lower(value);
        else if (key == "charset")
            out.charset = Lower(value);
        else if (key == "value")
            out.valueType = Lower(value);
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = LowerAscii(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

std::string DecodeQuotedPrintable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
            HexDigit(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool IsUtf8(std::string_view text)
{
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (!length || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

// The bytes in UTF-8. Text without a CHARSET that is not UTF-8 is taken
// as Windows-1252, what older programs wrote; a charset iconv does not know
// is treated the same way.
std::string ToUtf8(std::string bytes, std::string charset)
{
    if ((charset.empty() || charset == "utf-8") && IsUtf8(bytes))
        return bytes;
    if (charset.empty() || charset == "utf-8")
        charset = "windows-1252";
    iconv_t converter = iconv_open("UTF-8", charset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        converter = iconv_open("UTF-8", "WINDOWS-1252");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return bytes;
    std::string out(bytes.size() * 4 + 4, '\0');
    char *in = bytes.data();
    size_t inLeft = bytes.size();
    char *to = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<size_t>(-1))
            break;
        if (errno != EILSEQ && errno != EINVAL)
            break;
        // A byte the charset does not have is dropped.
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

std::string DecodedValue(const ContentLine &line)
{
    std::string bytes = line.encoding == "quoted-printable" ? DecodeQuotedPrintable(line.value)
                                                            : std::string(line.value);
    return ToUtf8(std::move(bytes), line.charset);
}

// Splits at unescaped semicolons and undoes the text escapes.
std::vector<std::string> Components(std::string_view value)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            parts.back().push_back(next == 'n' || next == 'N' ? '\n' : next);
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back().push_back(value[i]);
        }
    }
    return parts;
}

std::string Unescaped(std::string_view value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            out.push_back(next == 'n' || next == 'N' ? '\n' : next);
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

// A section name: one line, blanks collapsed, no control characters.
std::string CleanName(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const bool blank = static_cast<unsigned char>(c) < 0x20 || c == ' ' || c == 0x7F;
        if (!blank)
            out.push_back(c);
        else if (!out.empty() && out.back() != ' ')
            out.push_back(' ');
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string JoinWords(const std::vector<std::string> &words)
{
    std::string out;
    for (const std::string &word : words) {
        if (word.empty())
            continue;
        if (!out.empty())
            out.push_back(' ');
        out += word;
    }
    return out;
}

// A number as the modem dials it: visual separators dropped, a leading +
// kept; empty for anything that is not a phone number (letters, an
// extension written as "x12").
std::string DialString(std::string text)
{
    if (StartsWithNoCase(text, "tel:")) {
        text.erase(0, 4);
        text = text.substr(0, text.find(';')); // ;ext=..., ;phone-context=...
    }
    // "+49 (0)30 ...": the (0) is dialled only from inside the country.
    if (const size_t zero = text.find("(0)"); zero != text.npos && text.find('+') < zero)
        text.erase(zero, 3);
    std::string out;
    bool digits = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= '0' && c <= '9') || c == '*' || c == '#' || c == ',') {
            out.push_back(c);
            digits = digits || (c >= '0' && c <= '9');
        } else if (c == '+' && out.empty()) {
            out.push_back(c);
        } else if (c == '\xC2' && i + 1 < text.size() && text[i + 1] == '\xA0') {
            ++i; // a no-break space
        } else if (!std::strchr(" \t-.()/[]", c)) {
            return {};
        }
    }
    return digits ? out : std::string();
}

VCardContact::Slot SlotOf(const std::vector<std::string> &types)
{
    const auto has = [&](const char *type) {
        return std::find(types.begin(), types.end(), type) != types.end();
    };
    if (has("cell") || has("mobile") || has("iphone"))
        return VCardContact::Slot::Mobile;
    if (has("work"))
        return VCardContact::Slot::Office;
    if (has("home"))
        return VCardContact::Slot::Home;
    return VCardContact::Slot::Any;
}

bool IsVoiceless(const std::vector<std::string> &types)
{
    const auto has = [&](const char *type) {
        return std::find(types.begin(), types.end(), type) != types.end();
    };
    return (has("fax") || has("pager")) && !has("voice") && !has("cell");
}

class CCardReader {
public:
    void Take(const ContentLine &line)
    {
        if (line.name == "fn" && m_fn.empty())
            m_fn = CleanName(Unescaped(DecodedValue(line)));
        else if (line.name == "n" && m_n.empty())
            m_n = NameFromN(Components(DecodedValue(line)));
        else if (line.name == "org" && m_org.empty())
            m_org = CleanName(Components(DecodedValue(line)).front());
        else if (line.name == "tel")
            TakeNumber(line);
    }

    VCardContact Finish()
    {
        m_contact.name = !m_fn.empty() ? m_fn : !m_n.empty() ? m_n : m_org;
        return std::move(m_contact);
    }

private:
    static std::string NameFromN(std::vector<std::string> parts)
    {
        parts.resize(5); // family; given; additional; prefixes; suffixes
        for (std::string &part : parts)
            std::replace(part.begin(), part.end(), ',', ' ');
        return CleanName(JoinWords({parts[3], parts[1], parts[2], parts[0], parts[4]}));
    }

    void TakeNumber(const ContentLine &line)
    {
        if (IsVoiceless(line.types))
            return;
        const std::string text = CleanName(Unescaped(DecodedValue(line)));
        if (text.empty())
            return;
        if (std::string digits = DialString(text); !digits.empty())
            m_contact.numbers.push_back({std::move(digits), SlotOf(line.types)});
        else
            m_contact.unusable.push_back(text);
    }

    VCardContact m_contact;
    std::string m_fn, m_n, m_org;
};

bool IsQuotedPrintable(std::string_view line)
{
    const std::string head = Lower(line.substr(0, line.find(':')));
    return head.find("quoted-printable") != head.npos;
}

} // namespace

std::vector<VCardContact> ParseVCards(std::string_view text)
{
    std::vector<VCardContact> cards;
    std::optional<CCardReader> card;
    int depth = 0; // a card inside a card (2.1's AGENT) is not read
    const auto take = [&](const std::string &logical) {
        const ContentLine line = ParseContentLine(logical);
        if (line.name == "begin" && Lower(TrimBlanks(line.value)) == "vcard") {
            if (depth++ == 0)
                card.emplace();
        } else if (line.name == "end" && Lower(TrimBlanks(line.value)) == "vcard") {
            if (depth > 0 && --depth == 0) {
                cards.push_back(card->Finish());
                card.reset();
            }
        } else if (card && depth == 1) {
            card->Take(line);
        }
    };

    std::string logical;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view physical = text.substr(0, end);
        size_t next = end == text.npos ? text.size() : end + 1;
        if (end != text.npos && text[end] == '\r' && next < text.size() && text[next] == '\n')
            ++next;
        text.remove_prefix(next);

        if (!logical.empty() && logical.back() == '=' && IsQuotedPrintable(logical)) {
            logical.pop_back(); // a soft line break
            logical += physical;
        } else if (!physical.empty() && (physical.front() == ' ' || physical.front() == '\t')) {
            logical += physical.substr(1);
        } else {
            if (!logical.empty())
                take(logical);
            logical = physical;
        }
    }
    if (!logical.empty())
        take(logical);
    // A card the file ends in before its END is kept.
    if (card)
        cards.push_back(card->Finish());
    return cards;
}

namespace {

// One phonebook entry while the import plans it.
struct PlannedEntry {
    std::string name;
    std::array<std::string, 3> numbers;
    std::array<bool, 3> set{};
    bool isNew = false;
};

// Compares numbers as dialled: "+49 30 1234" is "+49301234".
bool SameNumber(std::string_view stored, std::string_view number)
{
    return !stored.empty() && DialString(std::string(stored)) == number;
}

std::string_view StripQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

class CImportPlan {
public:
    CImportPlan(const std::vector<VCardContact> &cards, VCardImportReport &report)
        : m_cards(cards), m_report(report)
    {
    }

    std::vector<ProfileSectionKeys> operator()(const CProfileText &file)
    {
        m_report = {};
        m_entries.clear();
        m_byName.clear();
        for (const VCardContact &card : m_cards)
            Merge(file, card);
        std::vector<ProfileSectionKeys> sections;
        for (const PlannedEntry &entry : m_entries) {
            ProfileSectionKeys keys{entry.name, {}};
            for (size_t slot = 0; slot < kSlotKeys.size(); ++slot) {
                if (entry.set[slot] || entry.isNew)
                    keys.keys.emplace_back(kSlotKeys[slot], entry.numbers[slot]);
            }
            if (std::find(entry.set.begin(), entry.set.end(), true) == entry.set.end())
                continue;
            (entry.isNew ? m_report.added : m_report.filled).push_back(entry.name);
            sections.push_back(std::move(keys));
        }
        return sections;
    }

private:
    PlannedEntry &EntryFor(const CProfileText &file, const std::string &name)
    {
        const auto [it, fresh] = m_byName.try_emplace(Lower(name), m_entries.size());
        if (!fresh)
            return m_entries[it->second];
        PlannedEntry &entry = m_entries.emplace_back();
        entry.name = name;
        const CProfileText::Section *section = file.FindSection(name);
        entry.isNew = !section;
        if (section) {
            entry.name = std::string(file.Name(*section));
            for (size_t slot = 0; slot < kSlotKeys.size(); ++slot) {
                if (const CProfileText::Key *key = file.FindKey(*section, kSlotKeys[slot]))
                    entry.numbers[slot] = StripQuotes(file.Value(*key));
            }
        }
        return entry;
    }

    void Merge(const CProfileText &file, const VCardContact &card)
    {
        if (card.name.empty()) {
            const std::string number =
                !card.numbers.empty() ? card.numbers.front().digits : std::string("no number");
            m_report.skipped.push_back("a card without a name (" + number + ")");
            return;
        }
        for (const std::string &text : card.unusable)
            m_report.skipped.push_back(card.name + " (\"" + text + "\" is not a phone number)");
        if (card.numbers.empty()) {
            if (card.unusable.empty())
                m_report.skipped.push_back(card.name + " (no phone number)");
            return;
        }
        PlannedEntry &entry = EntryFor(file, card.name);
        std::vector<const VCardContact::Number *> pending;
        for (const VCardContact::Number &number : card.numbers) {
            const bool known = std::any_of(
                entry.numbers.begin(), entry.numbers.end(),
                [&](const std::string &stored) { return SameNumber(stored, number.digits); });
            if (!known && std::none_of(pending.begin(), pending.end(), [&](const auto *other) {
                    return other->digits == number.digits;
                }))
                pending.push_back(&number);
        }
        if (pending.empty()) {
            if (!entry.isNew)
                m_report.skipped.push_back(entry.name + " (already in the phonebook)");
            return;
        }
        // Each number to the slot its type names, then what is left to the
        // free slots in order.
        const auto place = [&](const VCardContact::Number *&number, size_t slot) {
            if (!number || !entry.numbers[slot].empty())
                return;
            entry.numbers[slot] = number->digits;
            entry.set[slot] = true;
            number = nullptr;
        };
        for (const VCardContact::Number *&number : pending) {
            if (number->slot != VCardContact::Slot::Any)
                place(number, static_cast<size_t>(number->slot) - 1);
        }
        for (const VCardContact::Number *&number : pending) {
            for (size_t slot = 0; slot < kSlotKeys.size(); ++slot)
                place(number, slot);
        }
        std::string left;
        for (const VCardContact::Number *number : pending) {
            if (number)
                left += (left.empty() ? "" : ", ") + number->digits;
        }
        if (!left.empty())
            m_report.skipped.push_back(entry.name + " (three numbers already; " + left +
                                       " not added)");
    }

    const std::vector<VCardContact> &m_cards;
    VCardImportReport &m_report;
    std::vector<PlannedEntry> m_entries;
    std::unordered_map<std::string, size_t> m_byName;
};

bool ReadFile(const std::string &path, std::string &bytes, std::string *error)
{
    std::ifstream in(path, std::ios::binary);
    struct stat st {};
    if (!in || stat(path.c_str(), &st) != 0) {
        if (error)
            *error = ErrorText(path, errno ? errno : ENOENT);
        return false;
    }
    if (S_ISDIR(st.st_mode) || static_cast<size_t>(st.st_size) > kMaxVcfBytes) {
        if (error)
            *error = ErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : EFBIG);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error)
            *error = ErrorText(path, EIO);
        return false;
    }
    return true;
}

// A text value as vCard 4.0 writes it.
std::string Escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == ',' || c == ';')
            out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// Lines of at most 75 bytes, continued after CRLF and a space, never inside
// a UTF-8 character.
void AppendFolded(std::string &out, std::string_view line)
{
    size_t limit = 75;
    while (line.size() > limit) {
        size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        limit = 74;
    }
    out.append(line);
    out += "\r\n";
}

} // namespace

std::optional<VCardImportReport>
ImportVCardFile(const std::string &vcfPath, const std::string &bookmarkPath, std::string *error)
{
    std::string bytes;
    if (!ReadFile(vcfPath, bytes, error))
        return std::nullopt;
    const std::vector<VCardContact> cards = ParseVCards(bytes);
    if (cards.empty()) {
        if (error)
            *error = vcfPath + ": no vCard in the file";
        return std::nullopt;
    }
    VCardImportReport report;
    CImportPlan plan(cards, report);
    if (!ChangeProfileSections(bookmarkPath.c_str(), std::ref(plan))) {
        if (error)
            *error = ErrorText(bookmarkPath, errno ? errno : EIO);
        return std::nullopt;
    }
    return report;
}

bool ExportVCardFile(const std::string &bookmarkPath, const std::string &vcfPath,
                     std::string *error)
{
    struct stat st {};
    if (stat(bookmarkPath.c_str(), &st) != 0) {
        if (error)
            *error = ErrorText(bookmarkPath, errno);
        return false;
    }
    CIniFile file;
    file.SetPathName(bookmarkPath.c_str());
    std::vector<std::string> names;
    file.GetSectionNames(names);
    std::string out;
    static constexpr std::array<const char *, 3> kTypes = {"home", "work", "cell"};
    for (const std::string &name : names) {
        std::string card;
        for (size_t slot = 0; slot < kSlotKeys.size(); ++slot) {
            const std::string number = file.GetString(name.c_str(), kSlotKeys[slot], "");
            if (!number.empty())
                AppendFolded(card, std::string("TEL;VALUE=text;TYPE=") + kTypes[slot] + ":" +
                                       Escaped(number));
        }
        if (card.empty())
            continue;
        out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
        AppendFolded(out, "FN:" + Escaped(name));
        out += card;
        out += "END:VCARD\r\n";
    }
    std::ofstream stream(vcfPath, std::ios::binary | std::ios::trunc);
    if (stream)
        stream.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (stream)
        stream.close();
    if (!stream) {
        if (error)
            *error = ErrorText(vcfPath, errno ? errno : EIO);
        return false;
    }
    return true;
}

} // namespace vocamo
