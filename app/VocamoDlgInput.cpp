// Mouse, keyboard, the dial string, the line switches and the call actions.
#include "app/VocamoDlg.h"
#include "core/Text.h"
#include "phonebook/BookmarkDlg.h"
#include "skin/ContactItem.h"
#include "skin/Skin.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWindow>

namespace vocamo {

void CVocamoDlg::CallHandle(const std::string &name)
{
    const std::string handle = Trimmed(name);
    if (!handle.empty() && m_bridge) {
        m_bridge->SendCommand("CALL " + handle);
        HideWindow();
    }
}

void CVocamoDlg::DialNumber(const std::string &number)
{
    if (!m_controller)
        return;
    m_controller->Dial(number);
    ClosePanel();
    HideWindow();
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::CallAction()
{
    const int32_t state = m_lines.WindowState();
    if (m_lines.ActiveLine() == LINE_SKYPE) {
        if (state == NORMAL && !m_lines.DialString().empty()) {
            if (m_lines.DialString()[0] != '+')
                m_lines.SetDialString(LINE_SKYPE, "+" + m_lines.DialString());
            if (m_bridge) {
                m_bridge->SendCommand("CALL " + m_lines.DialString());
                HideWindow();
                PostMessage(WM_REFRESH, 0, 0);
            }
        } else if (state == NORMAL) {
            // The selected friend, never a number another line put up.
            CallHandle(m_lines.Selection(LINE_SKYPE));
            PostMessage(WM_REFRESH, 0, 0);
        } else if (state == RINGING) {
            PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_ANSWER);
        }
    } else if (m_lines.ActiveLine() == LINE_MODEM) {
        if (state == NORMAL && !m_lines.DialString().empty()) {
            if (m_controller)
                m_controller->Dial(m_lines.DialString());
            ClosePanel();
            HideWindow();
            PostMessage(WM_REFRESH, 0, 0);
        } else if (state == NORMAL) {
            SwitchToModem();
        } else if (state == RINGING) {
            if (m_controller)
                m_controller->Answer();
        }
    }
}

void CVocamoDlg::EnterAction()
{
    const std::string &dialString = m_lines.DialString();
    if (m_lines.ActiveLine() == LINE_SKYPE) {
        // A typed number is called only with the call button on this line.
        if (dialString.empty()) {
            CallHandle(m_lines.Selection(LINE_SKYPE));
            PostMessage(WM_REFRESH, 0, 0);
        }
    } else if (m_lines.ActiveLine() == LINE_MODEM) {
        if (!dialString.empty()) {
            DialNumber(dialString);
        } else if (IsPanelOpen()) {
            if (m_selectedNumberEntry && m_controller)
                DialNumber(m_selectedNumberEntry->GetText());
        } else if (m_selectedNameRow) {
            OpenNumberPanel(m_selectedNameRow);
        }
    }
}

void CVocamoDlg::HangUp()
{
    // Both lines are told, whichever holds the call.
    PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    if (m_controller)
        m_controller->Reset();
}

void CVocamoDlg::SwitchToSkype()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (m_lines.ActiveLine() == LINE_MODEM && IsPanelOpen()) {
        ClosePanel();
        return;
    }
    ReadLineStates();
    if (IsLineUsable(LINE_SKYPE))
        MakeLineActive(LINE_SKYPE);
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::SwitchToModem()
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (m_lines.ActiveLine() != LINE_MODEM) {
        ReadLineStates();
        if (IsLineUsable(LINE_MODEM))
            MakeLineActive(LINE_MODEM);
        PostMessage(WM_REFRESH, 0, 0);
    } else if (m_selectedNameRow) {
        OpenNumberPanel(m_selectedNameRow);
    }
}

void CVocamoDlg::ToggleKeypad()
{
    m_keypadHidden = !m_keypadHidden;
    m_skin->SetKeypadHidden(m_keypadHidden);
}

void CVocamoDlg::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        // Moving by hand where the window system refused a system move.
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    m_lastMove = point;
    m_hovered = m_items ? m_items->HitTest(point.x(), point.y()) : nullptr;
}

void CVocamoDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    KillTimer(TIMER_UP);
    KillTimer(TIMER_DOWN);
    if (!m_hovered) {
        // A press where no element is (the frame, the body, a hidden key)
        // drags the phone.
        m_dragging = !(windowHandle() && windowHandle()->startSystemMove());
        m_dragOffset = event->globalPosition().toPoint() - pos();
        return;
    }
    if (m_hovered->GetKind() == 61)
        SetTimer(TIMER_UP, 100);
    else if (m_hovered->GetKind() == 62)
        SetTimer(TIMER_DOWN, 100);
}

void CVocamoDlg::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    OnLeftButtonUp(event->position().toPoint());
}

void CVocamoDlg::OnLeftButtonUp(const QPoint &point)
{
    KillTimer(TIMER_UP);
    KillTimer(TIMER_DOWN);
    if (!m_hovered)
        return;
    // The element found at the last move acts, not the one under the release.
    const int kind = m_hovered->GetKind();
    switch (kind) {
    case 35:
    case 36:
        // Right and bottom edges are outside, as for every rectangle here.
        if (point.x() >= m_listViewport.left() && point.x() < m_listViewport.right() &&
            point.y() >= m_listViewport.top() && point.y() < m_listViewport.bottom()) {
            auto *row = static_cast<CContactItem *>(m_hovered);
            SelectElement(row, 1);
            if (kind == 36)
                OpenNumberPanel(row);
        }
        break;
    case 40:
    case 41:
    case 42:
    case 43:
    case 44:
    case 45:
    case 46:
    case 47:
    case 48:
        m_lines.AppendDigit(static_cast<char>('1' + (kind - 40)));
        break;
    case 49:
        m_lines.AppendDigit('0');
        break;
    case 50:
        m_lines.Back();
        break;
    case 51:
        m_lines.Clear();
        break;
    case 53:
        HideWindow();
        break;
    case 55:
    case 56: {
        HideRecent(); // the lines take the list area back
        const int32_t line = kind == 55 ? LINE_SKYPE : LINE_MODEM;
        ReadLineStates();
        if (m_lines.LineState(line) == NORMAL)
            MakeLineActive(line);
        break;
    }
    case 57:
        CallAction();
        break;
    case 58:
        HangUp();
        break;
    case 59:
        if (m_lines.ActiveLine() == LINE_MODEM && m_editor) {
            m_editor->ShowBeside(frameGeometry().topLeft());
        }
        break;
    case 60:
        ToggleKeypad();
        break;
    case 61:
        Previous();
        break;
    case 62:
        Next();
        break;
    case 64:
        SelectElement(m_hovered, 1);
        break;
    case 65:
        ClosePanel();
        break;
    case kind::kRecentButton:
        ToggleRecent();
        break;
    default:
        break;
    }
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OnLeftButtonDoubleClick();
}

void CVocamoDlg::OnLeftButtonDoubleClick()
{
    if (!m_hovered)
        return;
    switch (m_hovered->GetKind()) {
    case 35:
        CallHandle(static_cast<CContactItem *>(m_hovered)->GetName());
        PostMessage(WM_REFRESH, 0, 0);
        break;
    case 36:
        OpenNumberPanel(static_cast<CContactItem *>(m_hovered));
        break;
    case 57:
        if (m_lines.WindowState() != INIT)
            CallAction();
        break;
    case 58:
        if (m_lines.WindowState() != INIT)
            HangUp();
        break;
    case 64:
        if (m_controller)
            DialNumber(m_hovered->GetText());
        break;
    case 65:
        ClosePanel();
        break;
    default:
        break;
    }
}

void CVocamoDlg::wheelEvent(QWheelEvent *event)
{
    OnWheel(event->angleDelta().y());
    event->accept();
}

void CVocamoDlg::OnWheel(int delta)
{
    if (m_lines.WindowState() != NORMAL)
        return;
    if (delta <= 0)
        Next();
    else
        Previous();
    PostMessage(WM_REFRESH, 0, 0);
}

void CVocamoDlg::keyPressEvent(QKeyEvent *event)
{
    OnKeyDown(event->key(), event->modifiers());
    event->accept();
}

void CVocamoDlg::OnKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (OnRecentKey(key)) {
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    switch (key) {
    case Qt::Key_Backspace:
        m_lines.Back();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterAction();
        break;
    case Qt::Key_Escape:
        if (IsPanelOpen())
            ClosePanel();
        else
            HideWindow();
        break;
    case Qt::Key_PageUp:
        PageUp();
        break;
    case Qt::Key_PageDown:
        PageDown();
        break;
    case Qt::Key_End:
        Last();
        break;
    case Qt::Key_Home:
        First();
        break;
    case Qt::Key_Left:
        SwitchToSkype();
        break;
    case Qt::Key_Up:
        Previous();
        break;
    case Qt::Key_Right:
        SwitchToModem();
        break;
    case Qt::Key_Down:
        Next();
        break;
    case Qt::Key_Delete:
        m_lines.Clear();
        break;
    case Qt::Key_F2:
        ShowAbout();
        break;
    case Qt::Key_F5:
        if (m_services.quit)
            m_services.quit();
        else
            QCoreApplication::exit(0);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_lines.Plus();
        break; // the "+=" key, shifted or not
    default:
        // Digits from the main keys and the numeric keypad alike.
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            m_lines.AppendDigit(static_cast<char>('0' + (key - Qt::Key_0)));
        break;
    }
    (void)modifiers;
    PostMessage(WM_REFRESH, 0, 0);
}

bool CVocamoDlg::focusNextPrevChild(bool)
{
    // Tab is a key of the phone, not dialog navigation.
    return false;
}

} // namespace vocamo
