#pragma once

#include "phonebook/Bookmark.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vocamo {

// The in-memory phonebook; owns its entries. Window thread only.
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
    bool m_inOrder = true; // every entry's index is its place in the list
    // A caller's name is looked up at every call: by the hash of each
    // number, with its entry's place, sorted at the first look-up after a
    // change. Smaller than a hash table of the numbers themselves.
    mutable std::vector<std::pair<std::size_t, uint32_t>> m_numbers;
    mutable bool m_numbersSorted = true;
};

} // namespace vocamo
