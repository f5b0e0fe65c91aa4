// Names and numbers from the phonebook file and from Skype reach the skin's
// text cutting as arbitrary bytes.
#include "skin/SkinText.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const std::string shown = vocamo::Ellipsize(text);
    // Line by line: each kept, or a prefix cut where a character starts,
    // then the dots.
    for (std::size_t from = 0, at = 0;;) {
        const std::size_t textEnd = std::min(text.find('\n', from), text.size());
        const std::size_t shownEnd = std::min(shown.find('\n', at), shown.size());
        const std::string_view line = text.substr(from, textEnd - from);
        const std::string_view cut = std::string_view(shown).substr(at, shownEnd - at);
        if (cut != line) {
            if (cut.size() < 3 || cut.substr(cut.size() - 3) != "...")
                std::abort();
            const std::size_t kept = cut.size() - 3;
            if (kept > line.size() || line.substr(0, kept) != cut.substr(0, kept))
                std::abort();
            if (kept < line.size() && (static_cast<unsigned char>(line[kept]) & 0xC0) == 0x80 &&
                kept > 0 && static_cast<unsigned char>(line[kept - 1]) >= 0xC0 &&
                static_cast<unsigned char>(line[kept - 1]) <= 0xF7)
                std::abort(); // cut right after a lead byte
        }
        if ((textEnd == text.size()) != (shownEnd == shown.size()))
            std::abort(); // as many lines as the text has
        if (textEnd == text.size())
            break;
        from = textEnd + 1;
        at = shownEnd + 1;
    }
    if (vocamo::Ellipsize(shown) != shown)
        std::abort();

    const QString drawn = vocamo::ToDrawText(text);
    if (drawn.size() > vocamo::kDrawTextUnits ||
        (!drawn.isEmpty() && drawn.back().isHighSurrogate()))
        std::abort();
    return 0;
}
