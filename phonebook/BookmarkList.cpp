#include "phonebook/BookmarkList.h"

namespace vocamo {

CBookmark *CBookmarkList::FindByIndex(uint32_t index) const
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if ((*it)->index == index)
            return it->get();
    }
    return nullptr;
}

void CBookmarkList::Append(CBookmark *entry)
{
    if (entry)
        m_entries.emplace_back(entry);
}

} // namespace vocamo
