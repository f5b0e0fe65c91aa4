#pragma once

#include "platform/tapi/Tapi.h"

#include <cstring>
#include <initializer_list>
#include <string>

namespace vocamo {

// One text to place behind a TAPI structure's fixed part, with the size and
// offset members that describe it.
struct VarText {
    const std::string *text;
    DWORD *size;
    DWORD *offset;
};

// Fills the variable part of a TAPI structure whose first three members are
// dwTotalSize, dwNeededSize and dwUsedSize, the fixed part already filled.
// Texts go in with their NUL, all of them or (when they do not all fit) none,
// and dwNeededSize says how much room they need, as TAPI does.
inline void FillVarStruct(void *structure, DWORD fixedSize, std::initializer_list<VarText> texts)
{
    auto *base = static_cast<unsigned char *>(structure);
    DWORD total;
    std::memcpy(&total, base, sizeof total);
    DWORD needed = fixedSize;
    for (const VarText &t : texts)
        if (!t.text->empty())
            needed += static_cast<DWORD>(t.text->size() + 1);
    DWORD used = fixedSize;
    if (needed <= total) {
        for (const VarText &t : texts) {
            if (t.text->empty())
                continue;
            const auto size = static_cast<DWORD>(t.text->size() + 1);
            std::memcpy(base + used, t.text->c_str(), size);
            *t.size = size;
            *t.offset = used;
            used += size;
        }
    }
    std::memcpy(base + 4, &needed, sizeof needed);
    std::memcpy(base + 8, &used, sizeof used);
}

// Checks dwTotalSize against the fixed part; on failure reports the size
// needed where the structure has room for it.
inline bool FixedPartFits(void *structure, DWORD fixedSize, DWORD neededSize)
{
    auto *base = static_cast<unsigned char *>(structure);
    DWORD total;
    std::memcpy(&total, base, sizeof total);
    if (total >= fixedSize)
        return true;
    if (total >= 2 * sizeof(DWORD))
        std::memcpy(base + 4, &neededSize, sizeof neededSize);
    return false;
}

} // namespace vocamo
