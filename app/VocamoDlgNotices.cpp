// The ring sound and the popup that announces a modem call.
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
} // namespace

void CVocamoDlg::PlayRing(const QString &path, bool rewind)
{
    m_ring->PlayRing(path, rewind);
}

std::string CVocamoDlg::NotifierText(bool refresh) const
{
    if (m_lines.PartyNumber().empty())
        return "Unknown";
    return m_lines.PartyNumber() + "\n" + m_lines.PartyName() + (refresh ? "\n" : "");
}

void CVocamoDlg::ShowCallNotifier(const std::string &text, unsigned skin)
{
    KillTimer(TIMER_NOTIFIER);
    if (!m_notifier)
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

// While the call rings the popup is shown again, with the name as it
// stands by now.
void CVocamoDlg::RefreshCallNotifier()
{
    KillTimer(TIMER_NOTIFIER);
    if (m_notifier)
        m_notifier->Popup(NotifierText(true), kShowMs, kStayMs, kHideMs, 1);
    SetTimer(TIMER_NOTIFIER, kRefreshMs);
}

} // namespace vocamo
