// Contact lists, the number panel and the call screen.
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
const char *const kUnknown = "Unknown";
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
        break;
    }
    case 36: {
        auto *row = static_cast<CContactItem *>(element);
        if (m_selectedNameRow)
            m_selectedNameRow->SetSelected(false);
        m_selectedNameRow = row;
        row->SetSelected(true);
        m_dialString = row->GetFirstNumber();
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
        m_dialString = entry->GetText();
        break;
    }
    default:
        if (auto *button = dynamic_cast<CSkinButton *>(element))
            button->SetActive(flag != 0);
        break;
    }
    return true;
}

bool CVocamoDlg::IsPanelOpen() const { return m_panel && !m_panel->IsHidden(); }

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
    if (!row)
        return;
    const std::string home = row->GetNumber("Home");
    const std::string mobile = row->GetNumber("Mobile");
    const std::string office = row->GetNumber("Office");
    ClosePanel();
    m_panel->SetHidden(false);
    m_panelClose->SetHidden(false);

    // Panel order: home, mobile, office.
    const std::pair<CSkin::Number, const std::string &> entries[] = {
        {CSkin::Number::Home, home}, {CSkin::Number::Mobile, mobile}, {CSkin::Number::Office, office}};
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
    if (m_activeLine == LINE_SKYPE)
        return m_firstFriendRow;
    if (m_activeLine == LINE_MODEM)
        return m_firstNameRow;
    return nullptr;
}

CContactItem *CVocamoDlg::ListSelected() const
{
    if (m_activeLine == LINE_SKYPE)
        return m_selectedFriendRow;
    if (m_activeLine == LINE_MODEM)
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
    if (m_windowState != NORMAL)
        return;
    if (m_activeLine == LINE_MODEM && IsPanelOpen()) {
        if (m_selectedNumberEntry && m_selectedNumberEntry->GetLink())
            SelectElement(m_selectedNumberEntry->GetLink(), 1);
    } else if (m_activeLine != LINE_NONE) {
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
    if (m_windowState != NORMAL)
        return;
    if (m_activeLine == LINE_MODEM && IsPanelOpen()) {
        if (m_selectedNumberEntry && m_selectedNumberEntry->GetPartner())
            SelectElement(m_selectedNumberEntry->GetPartner(), 1);
    } else if (m_activeLine != LINE_NONE) {
        CContactItem *selected = ListSelected();
        if (selected)
            SelectRowInList(selected->GetNext() ? selected->GetNext() : selected);
        else
            SelectRowInList(ListFirst());
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::PageUp() { Page(-1); }

void CVocamoDlg::PageDown() { Page(+1); }

void CVocamoDlg::Page(int direction)
{
    if (m_windowState != NORMAL)
        return;
    if (m_activeLine == LINE_NONE) {
        ShowMessage(QStringLiteral("#32 Unknown system detected"));
    } else {
        CContactItem *row = ListSelected();
        if (row) {
            if (m_activeLine == LINE_MODEM)
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
    if (m_windowState != NORMAL)
        return;
    SelectRowInList(ListFirst());
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::Last()
{
    if (m_windowState != NORMAL)
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
}

void CVocamoDlg::RemoveNameRows()
{
    ForgetRemoved(36);
    m_items->RemoveByKind(36);
    m_selectedNameRow = nullptr;
    m_firstNameRow = nullptr;
}

void CVocamoDlg::RebuildFriendRows()
{
    // The flag can only be found set re-entrantly on this thread, where a
    // wait would never end: try again once the current work is done.
    if (m_painting) {
        PostMessage(WM_APP_EVENT, RECEIVER_WINDOW, EVT_SKYPE_FRIENDS);
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    m_painting = true;
    RemoveFriendRows();
    if (m_bridge) {
        CContactItem *previous = nullptr;
        for (int i = 0; i < m_bridge->GetFriendCount(); ++i) {
            CSkypeFriend *record = m_bridge->GetFriend(static_cast<uint32_t>(i));
            if (!record || record->onlineStatus == "OFFLINE")
                continue;
            previous = m_skin->AddFriendRow(*record, previous);
            if (!m_firstFriendRow)
                m_firstFriendRow = previous;
        }
    }
    m_painting = false;
    if (m_firstFriendRow)
        SelectElement(m_firstFriendRow, 1);
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::RebuildNameRows()
{
    if (m_painting) {
        PostMessage(WM_APP_EVENT, RECEIVER_WINDOW, EVT_BOOKMARKS_LOADED);
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    m_painting = true;
    RemoveNameRows();
    if (m_controller && m_controller->GetState() != INIT && m_controller->GetBookmarkCount() > 0) {
        CContactItem *previous = nullptr;
        for (int i = 0; i < m_controller->GetBookmarkCount(); ++i) {
            CBookmark *entry = m_controller->GetBookmark(static_cast<uint32_t>(i));
            if (!entry)
                continue;
            previous = m_skin->AddNameRow(*entry, previous);
            if (!m_firstNameRow) {
                m_firstNameRow = previous;
                SelectElement(previous, 1);
            }
        }
    }
    m_painting = false;
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::IdleRows()
{
    m_placeholderRow->SetHidden(true);
    if (m_activeLine == LINE_SKYPE) {
        if (m_firstFriendRow)
            m_firstFriendRow->SetChainHidden(false);
        SelectElement(m_bookmark, 0);
    } else {
        if (m_firstNameRow)
            m_firstNameRow->SetChainHidden(false);
        SelectElement(m_bookmark, 1);
    }
}

void CVocamoDlg::CallRows()
{
    if (m_activeLine == LINE_MODEM) {
        m_items->SetHiddenByKind(36, true);
        m_items->SetHiddenByKind(35, true);
        m_placeholderRow->SetHidden(false);
        m_placeholderRow->SetText(m_partyNumber.empty() ? std::string(kUnknown)
                                                        : m_partyNumber + "\n" + m_partyName);
        return;
    }
    const std::string partner = m_bridge ? m_bridge->GetPartnerHandle() : std::string();
    CContactItem *match = m_items->ShowMatchingText(35, partner);
    if (!match) {
        m_items->SetHiddenByKind(35, true);
        m_placeholderRow->SetHidden(false);
        m_placeholderRow->SetText(partner.empty() ? std::string(kUnknown) : partner);
    } else {
        m_placeholderRow->SetHidden(true);
        SelectElement(match, 1);
    }
}

void CVocamoDlg::ShowRowsForLine()
{
    if (m_activeLine == LINE_NONE) {
        m_placeholderRow->SetHidden(true);
        return;
    }
    if (m_activeLine == LINE_SKYPE) {
        m_items->SetHiddenByKind(36, true);
        const int32_t state = SkypeState();
        if (state == INIT) {
            m_windowState = INIT;
            const int32_t modemState = ModemState();
            if (modemState != INIT)
                UpdateWindowState(LINE_MODEM, modemState, INIT, modemState);
            if (m_callOwner == LINE_SKYPE)
                m_callOwner = LINE_NONE;
            m_activeLine = LINE_NONE;
            if (m_firstFriendRow)
                m_firstFriendRow->SetChainHidden(true);
        } else if (state == NORMAL) {
            IdleRows();
        } else if (IsCallInProgress(state)) {
            SelectElement(m_skypeButton, 1);
            m_activeLine = LINE_SKYPE;
            ClosePanel();
            Clear();
            CallRows();
        }
        return;
    }
    m_items->SetHiddenByKind(35, true);
    const int32_t state = ModemState();
    if (state == INIT) {
        m_windowState = INIT;
        const int32_t skypeState = SkypeState();
        if (skypeState != INIT)
            UpdateWindowState(LINE_SKYPE, skypeState, skypeState, INIT);
        if (m_callOwner == LINE_MODEM)
            m_callOwner = LINE_NONE;
        m_activeLine = LINE_NONE;
        if (m_firstNameRow)
            m_firstNameRow->SetChainHidden(true);
    } else if (state == NORMAL) {
        IdleRows();
    } else if (IsCallInProgress(state)) {
        CallRows();
        SelectElement(m_modemButton, 1);
        m_activeLine = LINE_MODEM;
        ClosePanel();
        Clear();
    }
}

void CVocamoDlg::UpdateCallButtons()
{
    int start = 0;
    int end = 0;
    switch (m_windowState) {
    case INIT: break;
    case NORMAL: {
        const bool rowSelected = (m_activeLine == LINE_SKYPE && m_selectedFriendRow) ||
                                 (m_activeLine == LINE_MODEM && m_selectedNameRow);
        start = m_activeLine != LINE_NONE && (rowSelected || !m_dialString.empty()) ? 1 : 0;
        break;
    }
    case DIALING:
    case ANSWERING: end = 1; break;
    case RINGING: start = end = 1; break;
    default: ShowMessage(QStringLiteral("#06 Unknown State of Dlg")); return;
    }
    SelectElement(m_callStart, start);
    SelectElement(m_callEnd, end);
}

void CVocamoDlg::CallHandle(const std::string &name)
{
    const std::string handle = Trimmed(name);
    if (!handle.empty() && m_bridge) {
        m_bridge->SendCommand("CALL " + handle);
        HideWindow();
    }
}

} // namespace vocamo
