#include "skin/ContactItem.h"

#include "phonebook/Bookmark.h"
#include "skin/SkinText.h"
#include "skype/SkypeFriend.h"

namespace vocamo {

namespace {

const std::string &FriendLabel(const CSkypeFriend &f)
{
    if (!f.displayName.empty())
        return f.displayName;
    if (!f.fullName.empty())
        return f.fullName;
    return f.handle;
}

} // namespace

CContactItem::CContactItem(const CSkinImage *image, const CBookmark *bookmark,
                           CContactItem *previous)
    : CSkinItem(image), m_bookmark(bookmark), m_previous(previous)
{
    SetText(Ellipsize(bookmark ? bookmark->name : std::string()));
}

CContactItem::CContactItem(const CSkinImage *image, const CSkypeFriend *skypeFriend,
                           CContactItem *previous)
    : CSkinItem(image), m_friend(skypeFriend), m_previous(previous)
{
    SetText(Ellipsize(skypeFriend ? FriendLabel(*skypeFriend) : std::string()));
}

void CContactItem::Layout()
{
    CSkinItem::Layout();
    if (m_previous)
        MoveTo(m_previous->GetWholeRect().left, m_previous->GetWholeRect().bottom + 5);
}

void CContactItem::SetChainHidden(bool hidden)
{
    for (CContactItem *row = this; row; row = row->m_next) {
        row->SetHidden(hidden);
        if (row->m_next == this)
            break; // a chain that loops back is walked once
    }
}

std::string CContactItem::GetName() const
{
    if (m_friend)
        return m_friend->handle;
    if (m_bookmark)
        return m_bookmark->name;
    return {};
}

std::string CContactItem::GetFirstNumber() const
{
    if (!m_bookmark)
        return {};
    if (!m_bookmark->home.empty())
        return m_bookmark->home;
    if (!m_bookmark->office.empty())
        return m_bookmark->office;
    return m_bookmark->mobile;
}

std::string CContactItem::GetNumber(std::string_view kind) const
{
    if (!m_bookmark)
        return {};
    if (kind == "Home")
        return m_bookmark->home;
    if (kind == "Office")
        return m_bookmark->office;
    if (kind == "Mobile")
        return m_bookmark->mobile;
    return {};
}

} // namespace vocamo
