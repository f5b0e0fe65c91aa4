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
    : CSkinItem(image), m_previous(previous)
{
    if (bookmark) {
        m_name = bookmark->name;
        m_home = bookmark->home;
        m_office = bookmark->office;
        m_mobile = bookmark->mobile;
    }
    SetText(Ellipsize(m_name));
}

CContactItem::CContactItem(const CSkinImage *image, const CSkypeFriend *skypeFriend,
                           CContactItem *previous)
    : CSkinItem(image), m_previous(previous)
{
    if (skypeFriend)
        m_name = skypeFriend->handle;
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
    return m_name;
}

std::string CContactItem::GetFirstNumber() const
{
    if (!m_home.empty())
        return m_home;
    if (!m_office.empty())
        return m_office;
    return m_mobile;
}

std::string CContactItem::GetNumber(std::string_view kind) const
{
    if (kind == "Home")
        return m_home;
    if (kind == "Office")
        return m_office;
    if (kind == "Mobile")
        return m_mobile;
    return {};
}

} // namespace vocamo
