#pragma once

#include "skin/SkinItem.h"

#include <string>
#include <string_view>

namespace vocamo {

class CBookmark;
class CSkypeFriend;

// One row of a contact list: a phonebook entry or a Skype friend. Rows form
// a chain through previous and next; each row keeps 5 pixels below the one
// before it, so moving the first row moves the list.
//
// A row copies what it shows and dials: its list may be rebuilt, and the
// records destroyed, before the window has rebuilt its rows.
class CContactItem : public CSkinItem {
public:
    // The row's text is the entry's name, shortened by the ellipsis rule.
    CContactItem(const CSkinImage *image, const CBookmark *bookmark, CContactItem *previous);
    // The row's text is the first non-empty of display name, full name and handle.
    CContactItem(const CSkinImage *image, const CSkypeFriend *skypeFriend, CContactItem *previous);

    void Layout() override;

    CContactItem *GetPrevious() const { return m_previous; }
    void SetPrevious(CContactItem *previous) { m_previous = previous; }
    CContactItem *GetNext() const { return m_next; }
    void SetNext(CContactItem *next) { m_next = next; }
    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected) { m_selected = selected; }

    // Hides or shows this row and every row after it.
    void SetChainHidden(bool hidden);

    // The friend's handle or the entry's name.
    std::string GetName() const;
    // Home, else office, else mobile; empty for a friend.
    std::string GetFirstNumber() const;
    // kind "Home", "Office" or "Mobile"; empty for a friend or another kind.
    std::string GetNumber(std::string_view kind) const;

private:
    std::string m_name; // the friend's handle or the entry's name
    std::string m_home;
    std::string m_office;
    std::string m_mobile;
    CContactItem *m_previous;
    CContactItem *m_next = nullptr;
    bool m_selected = false;
};

} // namespace vocamo
