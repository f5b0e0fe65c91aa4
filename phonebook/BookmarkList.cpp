#include "phonebook/BookmarkList.h"

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
    const auto found = m_byNumber.find(number);
    return found == m_byNumber.end() ? nullptr : found->second;
}

void CBookmarkList::Append(CBookmark *entry)
{
    if (!entry)
        return;
    m_inOrder = m_inOrder && entry->index == m_entries.size();
    m_entries.emplace_back(entry);
    // A blank field is nobody's number.
    for (const std::string *number : {&entry->home, &entry->mobile, &entry->office}) {
        if (!number->empty())
            m_byNumber.try_emplace(*number, entry);
    }
}

} // namespace vocamo
