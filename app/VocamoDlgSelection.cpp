// Selection in the contact lists and the number panel, and the moves
// through a list by key, wheel and held arrow.
#include "app/VocamoDlg.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"

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

} // namespace vocamo
