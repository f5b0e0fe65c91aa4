#pragma once

// What the fault tests share: a stall meter for the window thread.

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace vocamo::test {

// Above this the window is taken for hung; it allows one 2-second wait of a
// send or an AT command and the work around it.
constexpr std::chrono::milliseconds kHangBound{2500};
// How long a port answering nothing, or nonsense, may hold the window.
constexpr std::chrono::milliseconds kModemStallBound{2000};

// The longest stretch the window thread went without running its timers (how
// long a click would have waited), while the test pumps or calls into it.
class CStallMeter {
public:
    CStallMeter()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Beat(); });
        m_clock.start();
        m_timer.start(5);
    }
    std::chrono::milliseconds Longest()
    {
        Beat(); // a stretch still under way counts too
        return std::chrono::milliseconds(m_longest);
    }

private:
    void Beat() { m_longest = std::max(m_longest, m_clock.restart()); }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

} // namespace vocamo::test
