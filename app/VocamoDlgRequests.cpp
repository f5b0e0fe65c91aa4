// Dialling asked for from outside the window: --dial, a tel:, callto: or
// skype: link, or a later start handing its request over.
#include "app/VocamoDlg.h"

#include <cctype>
#include <cstdio>

namespace vocamo {

namespace {

// At start-up the modem line opens at once, Skype attaches a little later.
constexpr std::chrono::seconds kLineWait{15};

} // namespace

void CVocamoDlg::DialRequest(int32_t line, const std::string &target)
{
    m_pendingLine = line;
    m_pendingTarget = target;
    m_pendingUntil = std::chrono::steady_clock::now() + kLineWait;
    RunPendingDial();
    // Not dialled yet: the window shows the number's line coming up, or why
    // it cannot.
    if (m_pendingLine != LINE_NONE && !IsCallInProgress(m_lines.WindowState()))
        ShowWindowNormal();
}

void CVocamoDlg::RunPendingDial()
{
    const int32_t line = m_pendingLine;
    if (line == LINE_NONE)
        return;
    if (std::chrono::steady_clock::now() > m_pendingUntil) {
        m_pendingLine = LINE_NONE;
        return;
    }
    ReadLineStates();
    if (IsCallInProgress(m_lines.WindowState())) {
        // Never on top of a call, nor ending it.
        std::fprintf(stderr, "vocamo: not dialling %s: a call is in progress\n",
                     m_pendingTarget.c_str());
        m_pendingLine = LINE_NONE;
        return;
    }
    if (m_lines.WindowState() != NORMAL || !m_lines.IsUsable(line))
        return;
    m_pendingLine = LINE_NONE;
    if (m_lines.ActiveLine() != line)
        MakeLineActive(line);
    std::string target;
    target.swap(m_pendingTarget);
    // A Skype name is called by name; a number goes through the display.
    const bool number =
        !target.empty() &&
        (target.front() == '+' || std::isdigit(static_cast<unsigned char>(target.front())));
    if (line == LINE_SKYPE && !number) {
        CallHandle(target);
        PostMessage(WM_REFRESH, 0, 0);
        return;
    }
    m_lines.SetDialString(line, target);
    CallAction();
}

} // namespace vocamo
