#pragma once

#include "phonebook/Bookmark.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace vocamo {

// The in-memory phonebook; owns its entries.
class CBookmarkList {
public:
    CBookmarkList() { m_entries.reserve(100); }
    virtual ~CBookmarkList() = default;

    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // The last entry appended with that index; null when none has it.
    CBookmark *FindByIndex(uint32_t index) const;
    // The first entry appended with any number equal to `number` byte for
    // byte; null for an empty number or when none has it.
    CBookmark *FindByNumber(const std::string &number) const;
    // Takes ownership; null is ignored. The entry's numbers are final.
    void Append(CBookmark *entry);

private:
    std::vector<std::unique_ptr<CBookmark>> m_entries;
    // A caller's name is looked up at every call: not by a walk through a
    // phonebook of any size.
    std::unordered_map<std::string, CBookmark *> m_byNumber;
    bool m_inOrder = true; // every entry's index is its place in the list
};

} // namespace vocamo
