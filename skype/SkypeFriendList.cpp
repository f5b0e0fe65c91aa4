#include "skype/SkypeFriendList.h"

namespace vocamo {

CSkypeFriend *CSkypeFriendList::FindByIndex(uint32_t index) const
{
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
        if ((*it)->index == index)
            return it->get();
    }
    return nullptr;
}

CSkypeFriend *CSkypeFriendList::FindByHandle(std::string_view handle) const
{
    for (const auto &record : m_records) {
        if (record->handle == handle)
            return record.get();
    }
    return nullptr;
}

void CSkypeFriendList::Append(CSkypeFriend *record)
{
    if (record)
        m_records.emplace_back(record);
}

void CSkypeFriendList::Clear()
{
    // Records go in list order, as the rows that point at them were built.
    for (auto &record : m_records)
        record.reset();
    m_records.clear();
}

} // namespace vocamo
