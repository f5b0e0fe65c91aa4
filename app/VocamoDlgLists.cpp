// The contact lists' rows: built from the phonebook and the friends list,
// rebuilt in place, and removed with their line.
#include "app/VocamoDlg.h"
#include "core/Text.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"

namespace vocamo {

void CVocamoDlg::RemoveFriendRows()
{
    ForgetRemoved(35);
    m_items->RemoveByKind(35);
    m_selectedFriendRow = nullptr;
    m_firstFriendRow = nullptr;
    m_friendRows.clear();
    m_friendRowsOf = nullptr;
}

void CVocamoDlg::RemoveNameRows()
{
    ForgetRemoved(36);
    m_items->RemoveByKind(36);
    m_selectedNameRow = nullptr;
    m_firstNameRow = nullptr;
}

// The line is gone, and its list with it: nothing of it stays selected.
void CVocamoDlg::LoseList(int32_t line)
{
    if (line == LINE_SKYPE)
        RemoveFriendRows();
    else
        RemoveNameRows();
    m_lines.Select(line, {});
}

CVocamoDlg::ListPlace CVocamoDlg::PlaceOf(const CContactItem *first, int kind) const
{
    ListPlace place;
    place.hovered = m_hovered && m_hovered->GetKind() == kind;
    if (first) {
        place.valid = true;
        place.shown = !first->IsHidden();
        place.left = first->GetImageRect().left;
        place.top = first->GetImageRect().top;
    }
    return place;
}

// The rebuilt list starts where the old one stood, so it neither jumps nor
// scrolls back, and the row under the mouse is the hovered one again; the
// record selected before stays selected while it is there.
void CVocamoDlg::FinishRebuild(int32_t line, CContactItem *first, const ListPlace &place,
                               const std::vector<std::string> &records)
{
    if (first && place.valid) {
        first->MoveTo(place.left, place.top);
        first->SetChainHidden(!place.shown);
        for (CContactItem *row = first; row; row = row->GetNext())
            row->Layout();
    }
    if (place.hovered)
        m_hovered = m_items->HitTest(m_lastMove.x(), m_lastMove.y());
    const std::string &selected = m_lines.Reselect(line, records);
    for (CContactItem *row = first; row && !selected.empty(); row = row->GetNext()) {
        if (row->GetName() == selected) {
            SelectElement(row, 1);
            break;
        }
    }
}

// A new friends list is built as a whole; after that, a friend whose
// presence was reported has their row made anew, added or taken out, and
// the other rows stay as they are: a big list under a steady stream of
// presence changes would otherwise be rebuilt, and its names measured, for
// each one of them.
void CVocamoDlg::RebuildFriendRows()
{
    // The flag can only be found set re-entrantly on this thread, where a
    // wait would never end: try again once the current work is done.
    if (m_painting) {
        PostMessage(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS);
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    if (!m_bridge) {
        BuildFriendRows();
    } else {
        const std::vector<uint32_t> changed = m_bridge->TakeFriendChanges();
        if (m_friendRowsOf != m_bridge.get() ||
            m_friendRowsList != m_bridge->GetFriendListNumber() ||
            m_friendRows.size() != static_cast<size_t>(m_bridge->GetFriendCount())) {
            BuildFriendRows();
        } else {
            for (const uint32_t index : changed)
                PlaceFriendRow(index);
        }
    }
    SelectPartnerRow();
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::BuildFriendRows()
{
    m_painting = true;
    const ListPlace place = PlaceOf(m_firstFriendRow, 35);
    RemoveFriendRows();
    std::vector<std::string> handles;
    if (m_bridge) {
        m_friendRowsOf = m_bridge.get();
        m_friendRowsList = m_bridge->GetFriendListNumber();
        m_friendRows.assign(static_cast<size_t>(m_bridge->GetFriendCount()), nullptr);
        CContactItem *previous = nullptr;
        for (size_t i = 0; i < m_friendRows.size(); ++i) {
            CSkypeFriend *record = m_bridge->GetFriend(static_cast<uint32_t>(i));
            if (!record || record->onlineStatus == "OFFLINE")
                continue;
            previous = m_friendRows[i] = m_skin->AddFriendRow(*record, previous);
            handles.push_back(previous->GetName());
            if (!m_firstFriendRow)
                m_firstFriendRow = previous;
        }
    }
    m_painting = false;
    FinishRebuild(LINE_SKYPE, m_firstFriendRow, place, handles);
}

// Friend `index`'s row as the record now is: made anew in its place, or
// taken out for a friend who is offline. The list keeps its place, and the
// selected friend and the row under the mouse stay what they were while
// they are there.
void CVocamoDlg::PlaceFriendRow(uint32_t index)
{
    if (index >= m_friendRows.size())
        return;
    const ListPlace place = PlaceOf(m_firstFriendRow, 35);
    CContactItem *&slot = m_friendRows[index];
    CContactItem *previous = nullptr;
    for (uint32_t i = index; i-- > 0 && !previous;)
        previous = m_friendRows[i];
    CContactItem *next = slot ? slot->GetNext() : previous ? previous->GetNext() : m_firstFriendRow;
    const bool wasSelected = slot && slot == m_selectedFriendRow;
    const bool wasHovered = slot && slot == m_hovered;
    if (slot) {
        if (wasSelected)
            m_selectedFriendRow = nullptr;
        if (wasHovered)
            m_hovered = nullptr;
        m_items->Remove(slot);
        slot = nullptr;
    }
    const CSkypeFriend *record = m_bridge->GetFriend(index);
    if (record && record->onlineStatus != "OFFLINE") {
        slot = m_skin->AddFriendRow(*record, previous);
        slot->SetHidden(!place.shown);
    }
    CContactItem *before = slot ? slot : previous;
    if (before)
        before->SetNext(next);
    if (next)
        next->SetPrevious(before);
    if (!previous) {
        m_firstFriendRow = before ? before : next;
        if (m_firstFriendRow && place.valid)
            m_firstFriendRow->MoveTo(place.left, place.top);
    }
    for (CContactItem *row = previous ? previous->GetNext() : m_firstFriendRow; row;
         row = row->GetNext())
        row->Layout();

    if (wasHovered || place.hovered)
        m_hovered = m_items->HitTest(m_lastMove.x(), m_lastMove.y());
    if (wasSelected && slot) {
        SelectElement(slot, 1);
    } else if (!m_selectedFriendRow && m_firstFriendRow) {
        // The selected friend went offline, or nobody was there to select.
        SelectElement(m_firstFriendRow, 1);
    } else if (!m_firstFriendRow) {
        m_lines.Select(LINE_SKYPE, {});
    }
}

void CVocamoDlg::RebuildNameRows()
{
    if (m_painting) {
        PostMessage(WM_APP_EVENT, RECEIVER_WINDOW, EVT_BOOKMARKS_LOADED);
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    m_painting = true;
    const ListPlace place = PlaceOf(m_firstNameRow, 36);
    RemoveNameRows();
    std::vector<std::string> names;
    if (m_controller && m_controller->GetState() != INIT && m_controller->GetBookmarkCount() > 0) {
        CContactItem *previous = nullptr;
        for (int i = 0; i < m_controller->GetBookmarkCount(); ++i) {
            CBookmark *entry = m_controller->GetBookmark(static_cast<uint32_t>(i));
            if (!entry)
                continue;
            previous = m_skin->AddNameRow(*entry, previous);
            names.push_back(previous->GetName());
            if (!m_firstNameRow)
                m_firstNameRow = previous;
        }
    }
    m_painting = false;
    // Selecting a name fills the modem line's display only, whichever line
    // is shown.
    FinishRebuild(LINE_MODEM, m_firstNameRow, place, names);
    PostMessage(WM_REFRESH, 0, 0);
}

} // namespace vocamo
