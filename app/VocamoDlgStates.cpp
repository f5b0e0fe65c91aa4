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
                long(lParam), int(m_windowState));
    switch (message) {
    case WM_APP_EVENT:
        if (wParam == RECEIVER_WINDOW) {
            switch (lParam) {
            case EVT_SKYPE_FRIENDS: RebuildFriendRows(); break;
            case EVT_BOOKMARKS_LOADED: RebuildNameRows(); break;
            case EVT_SKYPE_STATE: OnSkypeStateChanged(); break;
            case EVT_CALL_STATE: OnCallStateChanged(); break;
            case EVT_RING: PlayRing(m_ringSoundPath, true); break;
            case EVT_PARTY:
                if (m_controller) {
                    m_partyNumber = m_controller->GetNumber();
                    m_partyName = m_controller->GetName();
                }
                break;
            default: break; // EVT_SKYPE_PARTNER and the rest: nothing
            }
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
        if (m_windowState == RINGING) {
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
        if (IsCallInProgress(m_windowState)) {
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

int32_t CVocamoDlg::SkypeState() const { return m_bridge ? m_bridge->GetState() : INIT; }

int32_t CVocamoDlg::ModemState() const { return m_controller ? m_controller->GetState() : INIT; }

void CVocamoDlg::UpdateWindowState(int32_t source, int32_t newState, int32_t skypeState,
                                   int32_t modemState)
{
    switch (newState) {
    case INIT:
        m_windowState = INIT;
        // The lost line gives up its call first, or the other line's NORMAL
        // below would be taken for a line going idle beside that call.
        if (m_callOwner == source)
            m_callOwner = LINE_NONE;
        if (source == LINE_SKYPE && modemState != INIT)
            UpdateWindowState(LINE_MODEM, modemState, skypeState, modemState);
        if (source == LINE_MODEM && skypeState != INIT)
            UpdateWindowState(LINE_SKYPE, skypeState, skypeState, modemState);
        break;
    case NORMAL:
        // A line going idle while the other one holds a call (Skype reports
        // its status every few seconds) must not hide that call.
        if (m_callOwner != LINE_NONE && m_callOwner != source)
            break;
        m_windowState = NORMAL;
        if (m_callOwner == source)
            m_callOwner = LINE_NONE;
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        m_windowState = newState;
        m_callOwner = source;
        break;
    default: break;
    }
}

bool CVocamoDlg::IsSkypeUsable()
{
    const int32_t state = SkypeState();
    if (state >= NORMAL && state <= ANSWERING)
        return true;
    if (state != INIT)
        ShowMessage(QStringLiteral("Unknown state : #15"));
    return false;
}

bool CVocamoDlg::IsModemUsable()
{
    const int32_t state = ModemState();
    if (state >= NORMAL && state <= ANSWERING)
        return true;
    if (state != INIT)
        ShowMessage(QStringLiteral("Unknown state : #16"));
    return false;
}

void CVocamoDlg::MakeLineActive(int32_t line)
{
    SelectElement(line == LINE_SKYPE ? static_cast<CSkinItem *>(m_skypeButton) : m_modemButton, 1);
    m_activeLine = line;
    ClosePanel();
    Clear();
}

void CVocamoDlg::HideLineButtons()
{
    m_skypeButton->SetHidden(true);
    m_modemButton->SetHidden(true);
}

void CVocamoDlg::EndModemNotices()
{
    KillTimer(TIMER_NOTIFIER);
    if (m_notifier)
        m_notifier->HidePopup();
    m_partyNumber.clear();
    m_partyName.clear();
}

void CVocamoDlg::OnCallStateChanged()
{
    const int32_t skypeState = SkypeState();
    const int32_t modemState = ModemState();

    bool mayShow = false;
    switch (m_callOwner) {
    case LINE_NONE: mayShow = modemState == INIT || (modemState >= NORMAL && modemState <= ANSWERING); break;
    case LINE_SKYPE: mayShow = modemState == INIT || modemState == NORMAL; break;
    case LINE_MODEM: mayShow = true; break;
    default: break;
    }
    if (!mayShow) {
        // The modem cannot start a call while Skype holds one; an incoming
        // modem call then is neither shown nor rejected.
        if (modemState == DIALING && m_controller)
            m_controller->Reset();
        return;
    }

    switch (modemState) {
    case INIT:
        m_modemButton->SetHidden(true);
        RemoveNameRows();
        if (m_activeLine == LINE_MODEM) {
            if (IsSkypeUsable()) {
                MakeLineActive(LINE_SKYPE);
            } else {
                m_activeLine = LINE_NONE;
                HideLineButtons();
            }
        }
        if (m_callOwner == LINE_MODEM)
            EndModemNotices();
        UpdateWindowState(LINE_MODEM, INIT, skypeState, INIT);
        break;
    case NORMAL:
        m_modemButton->SetHidden(false);
        if (m_activeLine == LINE_NONE)
            MakeLineActive(LINE_MODEM);
        if (m_callOwner == LINE_MODEM)
            EndModemNotices();
        UpdateWindowState(LINE_MODEM, NORMAL, skypeState, NORMAL);
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        m_modemButton->SetHidden(modemState == DIALING);
        MakeLineActive(LINE_MODEM);
        ShowCallNotifier(NotifierText(false), modemState == RINGING ? 130 : 129);
        UpdateWindowState(LINE_MODEM, modemState, skypeState, modemState);
        break;
    default:
        UpdateWindowState(LINE_MODEM, modemState, skypeState, modemState);
        break;
    }
}

void CVocamoDlg::OnSkypeStateChanged()
{
    const int32_t skypeState = SkypeState();
    const int32_t modemState = ModemState();

    bool mayShow = false;
    switch (m_callOwner) {
    case LINE_NONE: mayShow = skypeState == INIT || (skypeState >= NORMAL && skypeState <= ANSWERING); break;
    case LINE_SKYPE: mayShow = true; break;
    case LINE_MODEM: mayShow = skypeState == INIT || skypeState == NORMAL; break;
    default: break;
    }
    if (!mayShow) {
        // Skype cannot hold a call while the modem holds one.
        PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
        return;
    }

    switch (skypeState) {
    case INIT:
        m_skypeButton->SetHidden(true);
        RemoveFriendRows();
        if (m_activeLine == LINE_SKYPE) {
            if (IsModemUsable()) {
                MakeLineActive(LINE_MODEM);
            } else {
                m_activeLine = LINE_NONE;
                HideLineButtons();
            }
        }
        break;
    case NORMAL:
        m_skypeButton->SetHidden(false);
        if (m_activeLine == LINE_NONE)
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
    UpdateWindowState(LINE_SKYPE, skypeState, skypeState, modemState);
}

void CVocamoDlg::RecreateCallController()
{
    if (m_controller) {
        m_controller->Reset();
        m_controller.reset();
    }
    m_controller = m_services.makeController(m_target, m_exeDir.toStdString());
}

void CVocamoDlg::OnSuspend()
{
    // The Skype call is ended before the bridge goes away.
    if (m_bridge)
        m_bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
    if (m_controller)
        m_controller->Reset();
    RemoveNameRows();
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

void CVocamoDlg::OnDeviceQueryRemoveFailed() { RecreateCallController(); }

} // namespace vocamo
