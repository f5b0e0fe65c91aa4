// The window's message table and the folding of the two lines' states into
// the one state the window shows; power and device events.
#include "app/VocamoDlg.h"
#include "skin/SkinButton.h"
#include "skin/SkinItemList.h"
#include "skin/TaskbarNotifier.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"

#include <QLoggingCategory>
#include <QTimer>

namespace vocamo {

Q_LOGGING_CATEGORY(lcWindow, "vocamo.window", QtWarningMsg)

int CVocamoDlg::OnAppMessage(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_REFRESH)
        qCDebug(lcWindow, "message 0x%x (%u, %ld) in state %d", message, unsigned(wParam),
                long(lParam), int(m_lines.WindowState()));
    switch (message) {
    case WM_APP_EVENT:
        if (wParam == RECEIVER_WINDOW) {
            switch (lParam) {
            case EVT_SKYPE_FRIENDS:
                RebuildFriendRows();
                break;
            case EVT_BOOKMARKS_LOADED:
                RebuildNameRows();
                break;
            case EVT_SKYPE_STATE:
                OnSkypeStateChanged();
                break;
            case EVT_CALL_STATE:
                OnCallStateChanged();
                break;
            case EVT_RING:
                PlayRing(m_ringSoundPath, true);
                break;
            case EVT_PARTY:
                if (m_controller) {
                    m_lines.SetParty(m_controller->GetNumber(), m_controller->GetName());
                    // The popup shows the party as soon as the line knows it.
                    if (m_lines.CallOwner() == LINE_MODEM)
                        RefreshCallNotifier();
                }
                break;
            case EVT_SKYPE_PARTNER:
                SelectPartnerRow();
                break;
            default:
                break;
            }
            if (lParam == EVT_CALL_STATE || lParam == EVT_SKYPE_STATE)
                RunPendingDial();
            // What the lines report shows at once, not at the next timer.
            PostMessage(WM_REFRESH, 0, 0);
        } else if (wParam == RECEIVER_SKYPE) {
            if (m_bridge)
                return m_bridge->OnRequest(wParam, lParam);
        } else if (wParam == RECEIVER_CONTROLLER) {
            // Events queued for a controller that is gone are dropped.
            if (m_controller)
                return m_controller->OnTapiEvent(wParam, lParam);
        }
        return 0;
    case WM_NOTIFIER_CLICKED:
        if (m_lines.WindowState() == RINGING) {
            CallAction();
        } else {
            if (m_controller)
                m_controller->Reset();
            KillTimer(TIMER_NOTIFIER);
            if (m_notifier)
                m_notifier->HidePopup();
            PostMessage(WM_RESTORE_MAIN, 0, 0);
        }
        return 0;
    case WM_REFRESH:
        update();
        return 1;
    case WM_RESTORE_MAIN:
        if (IsCallInProgress(m_lines.WindowState())) {
            // End the call on both lines, then look again once their state
            // notifications have been handled.
            PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
            if (m_controller)
                m_controller->Reset();
            PostMessage(WM_RESTORE_MAIN, 0, 0);
        } else {
            ShowWindowNormal();
        }
        return 1;
    default:
        return 0;
    }
}

int32_t CVocamoDlg::SkypeState() const
{
    return m_bridge ? m_bridge->GetState() : INIT;
}

int32_t CVocamoDlg::ModemState() const
{
    return m_controller ? m_controller->GetState() : INIT;
}

// What the lines report is read where their events are handled (and where
// the user picks a line), and folded there; a frame only draws it.
void CVocamoDlg::ReadLineStates()
{
    m_lines.SetLineState(LINE_SKYPE, SkypeState());
    m_lines.SetLineState(LINE_MODEM, ModemState());
}

bool CVocamoDlg::IsLineUsable(int32_t line)
{
    if (m_lines.IsUsable(line))
        return true;
    if (m_lines.LineState(line) != INIT)
        ShowMessage(line == LINE_SKYPE ? QStringLiteral("Unknown state : #15")
                                       : QStringLiteral("Unknown state : #16"));
    return false;
}

void CVocamoDlg::MakeLineActive(int32_t line)
{
    SelectElement(line == LINE_SKYPE ? static_cast<CSkinItem *>(m_skypeButton) : m_modemButton, 1);
    m_lines.MakeLineActive(line);
    ClosePanel();
}

void CVocamoDlg::HideLineButtons()
{
    m_skypeButton->SetHidden(true);
    m_modemButton->SetHidden(true);
}

// The lost line was the one the user worked with: the other one takes over
// when it can, else no line is left.
void CVocamoDlg::HandOverFrom(int32_t lostLine)
{
    if (m_lines.ActiveLine() != lostLine)
        return;
    const int32_t other = lostLine == LINE_MODEM ? LINE_SKYPE : LINE_MODEM;
    if (IsLineUsable(other)) {
        MakeLineActive(other);
    } else {
        m_lines.ClearActiveLine();
        HideLineButtons();
    }
}

void CVocamoDlg::EndModemNotices()
{
    KillTimer(TIMER_NOTIFIER);
    if (m_notifier)
        m_notifier->HidePopup();
    m_lines.ClearParty();
}

void CVocamoDlg::OnCallStateChanged()
{
    ReadLineStates();
    const int32_t modemState = m_lines.LineState(LINE_MODEM);
    if (!m_lines.MayShow(LINE_MODEM)) {
        // The modem cannot start a call while Skype holds one; an incoming
        // modem call then is neither shown nor rejected.
        if (modemState == DIALING && m_controller)
            m_controller->Reset();
        return;
    }

    switch (modemState) {
    case INIT:
        m_modemButton->SetHidden(true);
        LoseList(LINE_MODEM);
        HandOverFrom(LINE_MODEM);
        if (m_lines.CallOwner() == LINE_MODEM)
            EndModemNotices();
        break;
    case NORMAL:
        m_modemButton->SetHidden(false);
        if (m_lines.ActiveLine() == LINE_NONE)
            MakeLineActive(LINE_MODEM);
        if (m_lines.CallOwner() == LINE_MODEM)
            EndModemNotices();
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        m_modemButton->SetHidden(modemState == DIALING);
        MakeLineActive(LINE_MODEM);
        // Folded before the popup, so a new call's popup starts from its
        // own party.
        m_lines.UpdateWindowState(LINE_MODEM, modemState);
        ShowCallNotifier(NotifierText(false), modemState == RINGING ? 130 : 129);
        return;
    default:
        break;
    }
    m_lines.UpdateWindowState(LINE_MODEM, modemState);
}

void CVocamoDlg::OnSkypeStateChanged()
{
    ReadLineStates();
    const int32_t skypeState = m_lines.LineState(LINE_SKYPE);
    if (!m_lines.MayShow(LINE_SKYPE)) {
        // Skype cannot hold a call while the modem holds one.
        PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
        return;
    }

    switch (skypeState) {
    case INIT:
        m_skypeButton->SetHidden(true);
        LoseList(LINE_SKYPE);
        HandOverFrom(LINE_SKYPE);
        break;
    case NORMAL:
        m_skypeButton->SetHidden(false);
        if (m_lines.ActiveLine() == LINE_NONE)
            MakeLineActive(LINE_SKYPE);
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        m_skypeButton->SetHidden(false);
        MakeLineActive(LINE_SKYPE);
        break;
    default:
        m_skypeButton->SetHidden(true);
        break;
    }
    m_lines.UpdateWindowState(LINE_SKYPE, skypeState);
    SelectPartnerRow();
}

void CVocamoDlg::RecreateCallController()
{
    if (m_controller) {
        m_controller->Reset();
        m_controller.reset();
    }
    m_controller = m_services.makeController(m_target, m_phonebookDir.toStdString());
}

void CVocamoDlg::OnSuspend()
{
    // The Skype call is ended before the bridge goes away.
    if (m_bridge)
        m_bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    if (m_controller)
        m_controller->Reset();
    LoseList(LINE_MODEM);
    m_controller.reset();
    m_bridge.reset();
}

void CVocamoDlg::OnResume()
{
    m_probeCache->Clear(); // ports may have changed while asleep
    RecreateCallController();
    m_bridge.reset();
    // No immediate discovery: the worker's first pass looks for the client.
    m_bridge = m_services.makeBridge(m_target, *m_transport);
}

void CVocamoDlg::OnDeviceArrival()
{
    m_probeCache->Clear();
    // Let the new port settle before the line is opened on it, without
    // freezing the window meanwhile.
    if (m_services.deviceArrivalDelayMs <= 0) {
        RecreateCallController();
        return;
    }
    QTimer::singleShot(m_services.deviceArrivalDelayMs, this, [this] { RecreateCallController(); });
}

void CVocamoDlg::OnDeviceQueryRemove()
{
    if (m_controller) {
        m_controller->Reset();
        m_controller.reset();
    }
}

void CVocamoDlg::OnDeviceQueryRemoveFailed()
{
    RecreateCallController();
}

} // namespace vocamo
