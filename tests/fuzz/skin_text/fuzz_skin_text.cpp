// Names and numbers from the phonebook file and from Skype reach the skin's
// text cutting as arbitrary bytes.
#include "skin/SkinText.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    const std::string shown = vocamo::Ellipsize(text);
    if (shown != text) {
        // A prefix of the text cut where a character starts, then the dots.
        if (shown.size() < 3 || shown.compare(shown.size() - 3, 3, "...") != 0)
            std::abort();
        const std::size_t kept = shown.size() - 3;
        if (kept > text.size() || text.compare(0, kept, shown, 0, kept) != 0)
            std::abort();
        if ((static_cast<unsigned char>(text[kept]) & 0xC0) == 0x80 && kept > 0 &&
            static_cast<unsigned char>(text[kept - 1]) >= 0xC0 &&
            static_cast<unsigned char>(text[kept - 1]) <= 0xF7)
            std::abort(); // cut right after a lead byte
        if (vocamo::Ellipsize(shown) != shown)
            std::abort();
    }

    const QString drawn = vocamo::ToDrawText(text);
    if (drawn.size() > vocamo::kDrawTextUnits ||
        (!drawn.isEmpty() && drawn.back().isHighSurrogate()))
        std::abort();
    return 0;
}
