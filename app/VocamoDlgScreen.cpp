// What a frame shows of the lines: the active line's rows, the call screen
// and which call buttons are lit, and the lists' glide into view. Drawn
// from the line states, which only the lines' events and the user's input
// change.
#include "app/VocamoDlg.h"
#include "skin/Composition.h"
#include "skin/ContactItem.h"
#include "skin/SkinButton.h"
#include "skin/SkinImage.h"
#include "skin/SkinItemList.h"
#include "skype/SkypeBridge.h"

#include <QPainter>

namespace vocamo {

namespace {

const char *const kUnknown = "Unknown";

// half(v) of the scroll step: 1 for 1, else v / 2 rounded towards zero.
int Half(int v)
{
    return v == 1 ? 1 : v / 2;
}

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

// Paint and scrolling ----------------------------------------------------------

void CVocamoDlg::RecomputeViewport()
{
    if (!m_items)
        return;
    const CSkinItem *body = m_items->FindByKind(kind::kBodyBackground);
    if (!body || !m_display)
        return;
    // Edges as the layout rules have them: right and bottom are the values
    // of the body's right and of the display's top - 1.
    const SkinRect &b = body->GetImageRect();
    m_listViewport =
        QRect(QPoint(b.left, b.top), QPoint(b.right, m_display->GetImageRect().top - 1));
}

void CVocamoDlg::StartScrollIfNeeded()
{
    const int top = m_listViewport.top();
    const int bottom = m_listViewport.bottom();
    const int rowHeight = static_cast<int>(m_placeholderRow && m_placeholderRow->GetImage()
                                               ? m_placeholderRow->GetImage()->GetHeight()
                                               : 0);
    auto needs = [&](const CContactItem *selected, const CContactItem *first, int slack) {
        if (!selected)
            return false;
        const SkinRect &r = selected->GetWholeRect();
        if (selected == first)
            return r.top != top + 10;
        return r.top < top + 10 || r.bottom > bottom + slack - 10;
    };
    if (needs(m_selectedFriendRow, m_firstFriendRow, 0) ||
        needs(m_selectedNameRow, m_firstNameRow, rowHeight)) {
        KillTimer(TIMER_SCROLL);
        SetTimer(TIMER_SCROLL, 10);
    }
}

void CVocamoDlg::ScrollTick()
{
    const int top = m_listViewport.top();
    const int bottom = m_listViewport.bottom();
    bool moved = false;
    auto step = [&](CContactItem *selected, CContactItem *first) {
        if (!selected || !first)
            return;
        const SkinRect &r = selected->GetWholeRect();
        int d = 0;
        if (selected == first) {
            const int e = top - r.top + 10;
            d = e == 0 ? 0 : (e > 0 ? Half(e) : -Half(-e));
        } else if (r.top < top + 10) {
            d = Half(top - r.top + 10);
        } else if (r.bottom > bottom - 10) {
            d = -Half(r.bottom - bottom + 10);
        }
        first->SetOffset(0, d);
        moved = moved || d != 0;
    };
    step(m_selectedFriendRow, m_firstFriendRow);
    step(m_selectedNameRow, m_firstNameRow);
    if (!moved)
        KillTimer(TIMER_SCROLL);
}

// Draws what the lines' states say; changes none of them.
QImage CVocamoDlg::ComposeFrame()
{
    if (!m_items)
        return m_frame;
    RecomputeViewport();
    StartScrollIfNeeded();
    ShowRowsForLine();
    UpdateCallButtons();
    m_items->LayoutAll();
    // Found set only re-entrantly (a list rebuild under way on this thread):
    // keep the last picture and come back once the rebuild is done.
    if (!ComposeWindow(m_frame, *m_items, DisplayText(), &m_painting))
        PostMessage(WM_REFRESH, 0, 0);
    return m_frame;
}

void CVocamoDlg::paintEvent(QPaintEvent *)
{
    ComposeFrame();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, m_frame);
}

} // namespace vocamo
