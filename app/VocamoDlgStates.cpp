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
                    if (m_lines.CallOwner() == LINE_MODEM) {
                        UpdateCallParty();
                        UpdateCallNotifier();
                    }
                }
                break;
            case EVT_SKYPE_PARTNER:
                SelectPartnerRow();
                if (m_call.IsActive() && m_call.Line() == LINE_SKYPE) {
                    UpdateCallParty();
                    UpdateCallNotifier();
                }
                break;
            case EVT_CALL_PROGRESS:
                if (m_call.IsActive())
                    UpdateCallNotifier();
                break;
            case EVT_CALL_ENDED:
                if (m_controller)
                    OnLineCallEnded(LINE_MODEM, m_controller->TakeCallEnd());
                if (m_bridge)
                    OnLineCallEnded(LINE_SKYPE, m_bridge->TakeCallEnd());
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
            // A click hangs up the call shown; on a call's end it only
            // brings the phone back.
            if (m_lines.CallOwner() == LINE_SKYPE)
                PostMessage(WM_APP_EVENT, RECEIVER_SKYPE, REQ_SKYPE_HANGUP);
            else if (m_controller && m_lines.CallOwner() == LINE_MODEM)
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

// The call shown on the popup began, or moved on.
void CVocamoDlg::BeginCallNotices(int32_t line, int32_t state)
{
    if (!m_call.IsActive() || m_call.Line() != line) {
        m_call.Start(line, state == RINGING);
        UpdateCallParty();
        // A Skype call rings once; the popup's refresh rings it again.
        if (line == LINE_SKYPE && state == RINGING)
            PlayRing(m_ringSoundPath, true);
    }
    if (state == ANSWERING)
        m_call.Connect();
    ShowCallNotifier(NotifierText(false), state == RINGING ? 130 : 129);
    if (m_call.IsConnected())
        TickCallClock();
}

// The line no longer holds the call shown: its end takes the popup's place.
// reported: what the line said of the end, when it said nothing else.
void CVocamoDlg::EndCallNotices(int32_t line, CallEnd reported)
{
    if (line == LINE_MODEM) {
        KillTimer(TIMER_NOTIFIER);
        m_lines.ClearParty();
    }
    // Told already by the line's own end, or never shown: Skype reports
    // its idle state every few seconds.
    if (!m_call.IsActive() || m_call.Line() != line)
        return;
    KillTimer(TIMER_NOTIFIER);
    const CallSummary call = m_call.Finish(reported);
    ShowCallEnd();
    OnCallEnded(call);
}

// A line tells why its call ended. The window may not have seen the call
// at all: a dial refused at once, or a call over before its first state
// change was handled.
void CVocamoDlg::OnLineCallEnded(int32_t line, std::optional<LineCallEnd> end)
{
    if (!end)
        return;
    if (!m_call.IsActive() || m_call.Line() != line) {
        if (m_call.IsActive()) {
            // The other line's call goes on and keeps the popup.
            CCallProgress other;
            other.Start(line, end->incoming);
            other.SetParty(end->number, end->name);
            OnCallEnded(other.Finish(end->reason));
            return;
        }
        m_call.Start(line, end->incoming);
        m_call.SetParty(end->number, end->name);
    }
    KillTimer(TIMER_NOTIFIER);
    const CallSummary call = m_call.Finish(end->reason);
    ShowCallEnd();
    OnCallEnded(call);
}

void CVocamoDlg::UpdateCallParty()
{
    if (m_call.Line() == LINE_MODEM) {
        m_call.SetParty(m_lines.PartyNumber(), m_lines.PartyName());
    } else if (m_bridge) {
        const std::string handle = m_bridge->GetPartnerHandle();
        m_call.SetParty(handle, m_bridge->GetFriendName(handle));
    }
    RecordCallParty();
}

bool CVocamoDlg::FarEndRinging() const
{
    if (m_call.Line() == LINE_MODEM)
        return m_controller && m_controller->IsFarEndRinging();
    return m_bridge && m_bridge->IsFarEndRinging();
}

void CVocamoDlg::OnCallEnded(const CallSummary &call)
{
    qCDebug(lcWindow, "call on line %d (%s, %s) ended: %s", int(call.line),
            call.incoming ? "in" : "out", call.number.c_str(),
            CallEndText(call.outcome, {}).c_str());
    m_lastCall = call;
    RecordCallEnd(call);
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
            EndCallNotices(LINE_MODEM, CallEnd::Failed); // the line is gone
        break;
    case NORMAL:
        m_modemButton->SetHidden(false);
        if (m_lines.ActiveLine() == LINE_NONE)
            MakeLineActive(LINE_MODEM);
        if (m_lines.CallOwner() == LINE_MODEM)
            EndCallNotices(LINE_MODEM, CallEnd::None);
        break;
    case DIALING:
    case RINGING:
    case ANSWERING:
        m_modemButton->SetHidden(modemState == DIALING);
        MakeLineActive(LINE_MODEM);
        // Folded before the popup, so a new call's popup starts from its
        // own party.
        m_lines.UpdateWindowState(LINE_MODEM, modemState);
        BeginCallNotices(LINE_MODEM, modemState);
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
        EndCallNotices(LINE_SKYPE, CallEnd::Failed); // the client is gone
        break;
    case NORMAL:
        m_skypeButton->SetHidden(false);
        if (m_lines.ActiveLine() == LINE_NONE)
            MakeLineActive(LINE_SKYPE);
        EndCallNotices(LINE_SKYPE, CallEnd::None);
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
    if (IsCallInProgress(skypeState))
        BeginCallNotices(LINE_SKYPE, skypeState);
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
