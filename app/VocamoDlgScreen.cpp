// What a frame shows of the lines: the active line's rows, the call screen
// and which call buttons are lit. Drawn from the line states, which only
// the lines' events and the user's input change.
#include "app/VocamoDlg.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skype/SkypeBridge.h"

namespace vocamo {

namespace {
const char *const kUnknown = "Unknown";
} // namespace

void CVocamoDlg::ShowRowsForLine()
{
    const int32_t line = m_lines.ActiveLine();
    if (line == LINE_NONE) {
        m_placeholderRow->SetHidden(true);
        return;
    }
    m_items->SetHiddenByKind(line == LINE_SKYPE ? kind::kNameRow : kind::kFriendRow, true);
    const int32_t state = m_lines.LineState(line);
    if (state == INIT) {
        // Only until the line's state event hands the window over.
        if (CContactItem *first = ListFirst())
            first->SetChainHidden(true);
    } else if (state == NORMAL) {
        IdleRows();
    } else if (IsCallInProgress(state)) {
        CallRows();
    }
}

void CVocamoDlg::IdleRows()
{
    m_placeholderRow->SetHidden(true);
    if (m_lines.ActiveLine() == LINE_SKYPE) {
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
    if (m_lines.ActiveLine() == LINE_MODEM) {
        m_items->SetHiddenByKind(kind::kNameRow, true);
        m_items->SetHiddenByKind(kind::kFriendRow, true);
        m_placeholderRow->SetHidden(false);
        const std::string &number = m_lines.PartyNumber();
        m_placeholderRow->SetText(number.empty() ? std::string(kUnknown)
                                                 : number + "\n" + m_lines.PartyName());
        return;
    }
    const std::string partner = m_bridge ? m_bridge->GetPartnerHandle() : std::string();
    if (m_items->ShowMatchingText(kind::kFriendRow, partner)) {
        m_placeholderRow->SetHidden(true);
    } else {
        m_items->SetHiddenByKind(kind::kFriendRow, true);
        m_placeholderRow->SetHidden(false);
        m_placeholderRow->SetText(partner.empty() ? std::string(kUnknown) : partner);
    }
}

// During a Skype call the partner's row is the selected one, as soon as the
// partner and the row are known.
void CVocamoDlg::SelectPartnerRow()
{
    if (!m_bridge || m_lines.ActiveLine() != LINE_SKYPE ||
        !IsCallInProgress(m_lines.LineState(LINE_SKYPE)))
        return;
    const std::string partner = m_bridge->GetPartnerHandle();
    for (CContactItem *row = m_firstFriendRow; row; row = row->GetNext()) {
        if (row->GetName() == partner) {
            SelectElement(row, 1);
            return;
        }
    }
}

std::string CVocamoDlg::DisplayText() const
{
    const std::string &dialString = m_lines.DialString();
    if (!dialString.empty() || IsCallInProgress(m_lines.WindowState()) || !m_controller ||
        m_lines.LineState(LINE_MODEM) != INIT)
        return dialString;
    return NoModemWords(m_probeCache->Verdicts());
}

void CVocamoDlg::UpdateCallButtons()
{
    int start = 0;
    int end = 0;
    switch (m_lines.WindowState()) {
    case INIT:
        break;
    case NORMAL: {
        const int32_t line = m_lines.ActiveLine();
        const bool rowSelected = (line == LINE_SKYPE && m_selectedFriendRow) ||
                                 (line == LINE_MODEM && m_selectedNameRow);
        start = line != LINE_NONE && (rowSelected || !m_lines.DialString().empty()) ? 1 : 0;
        break;
    }
    case DIALING:
    case ANSWERING:
        end = 1;
        break;
    case RINGING:
        start = end = 1;
        break;
    default:
        ShowMessage(QStringLiteral("#06 Unknown State of Dlg"));
        return;
    }
    SelectElement(m_callStart, start);
    SelectElement(m_callEnd, end);
}

} // namespace vocamo
