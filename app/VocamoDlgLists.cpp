// Contact lists and the number panel.
#include "app/VocamoDlg.h"
#include "core/Text.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"

namespace vocamo {

namespace {
constexpr int kPageRows = 4;
} // namespace

bool CVocamoDlg::SelectElement(CSkinItem *element, int flag)
{
    if (!element)
        return true;
    switch (element->GetKind()) {
    case 34:
    case 52:
        ShowMessage(QStringLiteral("#16 Impossible choose background on focus"));
        break;
    case 35: {
        auto *row = static_cast<CContactItem *>(element);
        if (m_selectedFriendRow)
            m_selectedFriendRow->SetSelected(false);
        m_selectedFriendRow = row;
        row->SetSelected(true);
        m_lines.Select(LINE_SKYPE, row->GetName());
        break;
    }
    case 36: {
        auto *row = static_cast<CContactItem *>(element);
        if (m_selectedNameRow)
            m_selectedNameRow->SetSelected(false);
        m_selectedNameRow = row;
        row->SetSelected(true);
        m_lines.Select(LINE_MODEM, row->GetName());
        m_lines.SetDialString(LINE_MODEM, row->GetFirstNumber());
        break;
    }
    case 55:
        m_skypeButton->SetActive(true);
        m_modemButton->SetActive(false);
        break;
    case 56:
        m_skypeButton->SetActive(false);
        m_modemButton->SetActive(true);
        break;
    case 59:
        element->SetHidden(flag == 0);
        break;
    case 64: {
        auto *entry = static_cast<CSkinButton *>(element);
        if (m_selectedNumberEntry)
            m_selectedNumberEntry->SetActive(false);
        m_selectedNumberEntry = entry;
        entry->SetActive(true);
        m_lines.SetDialString(LINE_MODEM, entry->GetText());
        break;
    }
    default:
        if (auto *button = dynamic_cast<CSkinButton *>(element))
            button->SetActive(flag != 0);
        break;
    }
    return true;
}

bool CVocamoDlg::IsPanelOpen() const
{
    return m_panel && !m_panel->IsHidden();
}

void CVocamoDlg::ForgetRemoved(int kind)
{
    if (m_hovered && m_hovered->GetKind() == kind)
        m_hovered = nullptr;
}

void CVocamoDlg::ClosePanel()
{
    m_selectedNumberEntry = nullptr;
    m_panel->SetHidden(true);
    m_panelClose->SetHidden(true);
    ForgetRemoved(64);
    m_items->RemoveByKind(64);
}

void CVocamoDlg::OpenNumberPanel(CContactItem *row)
{
    // A line in a call shows the call, not a panel.
    if (!row || IsCallInProgress(m_lines.LineState(m_lines.ActiveLine())))
        return;
    const std::string home = row->GetNumber("Home");
    const std::string mobile = row->GetNumber("Mobile");
    const std::string office = row->GetNumber("Office");
    ClosePanel();
    m_panel->SetHidden(false);
    m_panelClose->SetHidden(false);

    // Panel order: home, mobile, office.
    const std::pair<CSkin::Number, const std::string &> entries[] = {
        {CSkin::Number::Home, home},
        {CSkin::Number::Mobile, mobile},
        {CSkin::Number::Office, office}};
    CSkinButton *previous = nullptr;
    CSkinButton *first = nullptr;
    for (const auto &[which, number] : entries) {
        if (number.empty())
            continue;
        previous = m_skin->AddNumberEntry(which, number, previous);
        if (!first)
            first = previous;
    }
    if (first)
        SelectElement(first, 1);
}

CContactItem *CVocamoDlg::ListFirst() const
{
    if (m_lines.ActiveLine() == LINE_SKYPE)
        return m_firstFriendRow;
    if (m_lines.ActiveLine() == LINE_MODEM)
        return m_firstNameRow;
    return nullptr;
}

CContactItem *CVocamoDlg::ListSelected() const
{
    if (m_lines.ActiveLine() == LINE_SKYPE)
        return m_selectedFriendRow;
    if (m_lines.ActiveLine() == LINE_MODEM)
        return m_selectedNameRow;
    return nullptr;
}

void CVocamoDlg::SelectRowInList(CContactItem *row)
{
    if (row)
        SelectElement(row, 1);
}

void CVocamoDlg::Previous()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (m_lines.ActiveLine() == LINE_MODEM && IsPanelOpen()) {
        if (m_selectedNumberEntry && m_selectedNumberEntry->GetLink())
            SelectElement(m_selectedNumberEntry->GetLink(), 1);
    } else if (m_lines.ActiveLine() != LINE_NONE) {
        CContactItem *selected = ListSelected();
        if (selected)
            SelectRowInList(selected->GetPrevious() ? selected->GetPrevious() : selected);
        else
            SelectRowInList(ListFirst());
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::Next()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (m_lines.ActiveLine() == LINE_MODEM && IsPanelOpen()) {
        if (m_selectedNumberEntry && m_selectedNumberEntry->GetPartner())
            SelectElement(m_selectedNumberEntry->GetPartner(), 1);
    } else if (m_lines.ActiveLine() != LINE_NONE) {
        CContactItem *selected = ListSelected();
        if (selected)
            SelectRowInList(selected->GetNext() ? selected->GetNext() : selected);
        else
            SelectRowInList(ListFirst());
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::PageUp()
{
    Page(-1);
}

void CVocamoDlg::PageDown()
{
    Page(+1);
}

void CVocamoDlg::Page(int direction)
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (m_lines.ActiveLine() == LINE_NONE) {
        ShowMessage(QStringLiteral("#32 Unknown system detected"));
    } else {
        CContactItem *row = ListSelected();
        if (row) {
            if (m_lines.ActiveLine() == LINE_MODEM)
                ClosePanel();
            for (int i = 0; i < kPageRows; ++i) {
                CContactItem *step = direction < 0 ? row->GetPrevious() : row->GetNext();
                if (!step)
                    break;
                row = step;
            }
        } else {
            row = ListFirst();
        }
        SelectRowInList(row);
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::First()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    SelectRowInList(ListFirst());
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::Last()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    CContactItem *row = ListFirst();
    while (row && row->GetNext())
        row = row->GetNext();
    SelectRowInList(row);
    PostMessage(WM_REFRESH, 0, 0);
}

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
