#pragma once

#include "phonebook/Bookmark.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vocamo {

// The in-memory phonebook; owns its entries.
class CBookmarkList {
public:
    CBookmarkList() { m_entries.reserve(100); }
    virtual ~CBookmarkList() = default;

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // Searches from the back; null when no entry has that index.
    CBookmark *FindByIndex(uint32_t index) const;
    void Append(CBookmark *entry); // takes ownership; null is ignored

private:
    std::vector<std::unique_ptr<CBookmark>> m_entries;
};

} // namespace vocamo
