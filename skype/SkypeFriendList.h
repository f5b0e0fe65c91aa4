#pragma once

#include "skype/SkypeFriend.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace vocamo {

// The user's Skype friends, rebuilt as a whole from each friends-list
// notification; owns its records.
class CSkypeFriendList {
public:
    CSkypeFriendList() { m_records.reserve(100); }
    virtual ~CSkypeFriendList() { Clear(); }

    int GetCount() const { return static_cast<int>(m_records.size()); }
    // The record at that position, in list order; null outside the list.
    CSkypeFriend *GetAt(int position) const
    {
        return position >= 0 && position < GetCount() ? m_records[position].get() : nullptr;
    }
    // Searches from the back; null when no record has that index.
    CSkypeFriend *FindByIndex(uint32_t index) const;
    // Searches from the front, byte for byte; null when none.
    CSkypeFriend *FindByHandle(std::string_view handle) const;
    void Append(CSkypeFriend *record); // takes ownership; null is ignored
    void Clear();                      // destroys every record, first to last

private:
    std::vector<std::unique_ptr<CSkypeFriend>> m_records;
};

} // namespace vocamo
