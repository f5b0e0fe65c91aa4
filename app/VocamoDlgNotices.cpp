// The ring sound and the popup that follows a call on either line: who it is
// with, how far it has come, and how it ended.
#include "app/RingPlayer.h"
#include "app/VocamoDlg.h"
#include "skin/TaskbarNotifier.h"

namespace vocamo {

namespace {
constexpr unsigned kShowMs = 500;
constexpr unsigned kFirstStayMs = 3000;
constexpr unsigned kStayMs = 5000;
constexpr unsigned kHideMs = 500;
constexpr int kRefreshMs = 4500;
// A call's end stays up 4 s in all, the slide down included.
constexpr unsigned kEndStayMs = 3500;
constexpr int kClockMs = 1000;
constexpr unsigned kCallSkin = 129;
} // namespace

void CVocamoDlg::PlayRing(const QString &path, bool rewind)
{
    if (m_doNotDisturb)
        return;
    m_ring->PlayRing(path, rewind);
}

std::string CVocamoDlg::NotifierText(bool refresh) const
{
    if (m_call.HasCall())
        return m_call.Text(m_call.IsActive() && FarEndRinging(), refresh);
    if (m_lines.PartyNumber().empty())
        return "Unknown";
    return m_lines.PartyNumber() + "\n" + m_lines.PartyName() + (refresh ? "\n" : "");
}

void CVocamoDlg::ShowCallNotifier(const std::string &text, unsigned skin)
{
    KillTimer(TIMER_NOTIFIER);
    if (!m_notifier || m_doNotDisturb)
        return;
    if (skin != 0)
        m_notifier->SetSkinBitmap(skin, -1, -1, -1);
    m_notifier->SetTextFonts("Arial", 90, 0, 4);
    m_notifier->SetTextColors(0, 0xC80000);
    m_notifier->SetTextRect(36, 36, 125, 71);
    // The second call's stay replaces the first's.
    m_notifier->Popup(text, kShowMs, kFirstStayMs, kHideMs, 1);
    m_notifier->Popup(text, kShowMs, kStayMs, kHideMs, 1);
    SetTimer(TIMER_NOTIFIER, kRefreshMs);
}

// While the call lasts the popup is shown again (timer 67), with the party
// as it stands by now; a Skype call rings again with it, as the modem's
// line rings on by itself.
void CVocamoDlg::RefreshCallNotifier()
{
    UpdateCallNotifier();
    if (m_call.IsOffered() && m_call.Line() == LINE_SKYPE)
        PlayRing(m_ringSoundPath, true);
}

// What a line reports of its call shows at once.
void CVocamoDlg::UpdateCallNotifier()
{
    KillTimer(TIMER_NOTIFIER);
    if (m_notifier && !m_doNotDisturb)
        m_notifier->Popup(NotifierText(true), kShowMs, kStayMs, kHideMs, 1);
    SetTimer(TIMER_NOTIFIER, kRefreshMs);
}

// The end replaces the call on the popup, then the popup slides away by
// itself: nothing refreshes it any more.
void CVocamoDlg::ShowCallEnd()
{
    if (m_callClock)
        m_callClock->stop();
    if (!m_notifier || m_doNotDisturb)
        return;
    if (m_notifier->GetState() == CTaskbarNotifier::Hidden) {
        m_notifier->SetSkinBitmap(kCallSkin, -1, -1, -1);
        m_notifier->SetTextFonts("Arial", 90, 0, 4);
        m_notifier->SetTextColors(0, 0xC80000);
        m_notifier->SetTextRect(36, 36, 125, 71);
    }
    m_notifier->Popup(NotifierText(false), kShowMs, kEndStayMs, kHideMs, 1);
}

// The talk time counts on the popup each second while the call is connected.
void CVocamoDlg::TickCallClock()
{
    if (!m_callClock) {
        m_callClock = new QTimer(this);
        m_callClock->setInterval(kClockMs);
        connect(m_callClock, &QTimer::timeout, this, [this] { TickCallClock(); });
    }
    if (!m_call.IsActive() || !m_call.IsConnected()) {
        m_callClock->stop();
        return;
    }
    // Shown again as the refresh shows it, which keeps it up during a call.
    if (!m_callClock->isActive())
        m_callClock->start();
    else if (m_notifier && !m_doNotDisturb)
        m_notifier->Popup(NotifierText(false), kShowMs, kStayMs, kHideMs, 1);
}

} // namespace vocamo
