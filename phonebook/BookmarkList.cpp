#include "phonebook/BookmarkList.h"

#include <algorithm>
#include <functional>

namespace vocamo {

CBookmark *CBookmarkList::FindByIndex(uint32_t index) const
{
    // A loaded phonebook has each entry at its own index, and the rows are
    // built by index; only a list put together otherwise is searched.
    if (m_inOrder)
        return index < m_entries.size() ? m_entries[index].get() : nullptr;
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if ((*it)->index == index)
            return it->get();
    }
    return nullptr;
}

CBookmark *CBookmarkList::FindByNumber(const std::string &number) const
{
    if (number.empty())
        return nullptr; // a blank field is nobody's number
    if (!m_numbersSorted) {
        std::sort(m_numbers.begin(), m_numbers.end());
        m_numbersSorted = true;
    }
    const std::size_t hash = std::hash<std::string>{}(number);
    // In order of place, so the first match is the first entry appended.
    for (auto it = std::lower_bound(m_numbers.begin(), m_numbers.end(), std::pair(hash, 0u));
         it != m_numbers.end() && it->first == hash; ++it) {
        CBookmark *entry = m_entries[it->second].get();
        if (number == entry->home || number == entry->mobile || number == entry->office)
            return entry;
    }
    return nullptr;
}

void CBookmarkList::Append(CBookmark *entry)
{
    if (!entry)
        return;
    const auto place = static_cast<uint32_t>(m_entries.size());
    m_inOrder = m_inOrder && entry->index == place;
    m_entries.emplace_back(entry);
    for (const std::string *number : {&entry->home, &entry->mobile, &entry->office}) {
        if (!number->empty())
            m_numbers.emplace_back(std::hash<std::string>{}(*number), place);
    }
    m_numbersSorted = false;
}

} // namespace vocamo
