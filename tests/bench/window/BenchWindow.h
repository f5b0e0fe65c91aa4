#pragma once

#include "app/VocamoDlg.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vocamo::bench {

// The window's services for a benchmark: the phonebook and history.sqlite in
// dir, Skype through skype, no sound, no system watchers, no message boxes.
VocamoServices QuietServices(const QString &dir, CSkypeTransport &skype);

// Handles the window thread's events until done holds; false after timeout.
// It looks again as soon as the events are handled, so a measured wait ends
// with what it waits for.
bool PumpUntil(const std::function<bool()> &done, std::chrono::milliseconds timeout);

// Answers the window's input the way a user meets it: a thread posts a key
// press every 2 ms into the window thread's queue, behind whatever else is
// there, and the longest any of them waited is how long the window did not
// answer input. The key means nothing to the window and is swallowed. It
// posts from its making, or from the window's first paint on; it counts the
// paints either way.
class CInputProbe : public QObject {
public:
    enum class From { Now, FirstPaint };
    explicit CInputProbe(QWidget *window, From from = From::Now);
    ~CInputProbe() override;
    double LongestMs() const;

    std::atomic<int> paints{0};
    std::chrono::steady_clock::time_point firstPaint;

protected:
    bool eventFilter(QObject *, QEvent *event) override;

private:
    void Post();

    QWidget *m_window;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::deque<std::chrono::steady_clock::time_point> m_sent;
    std::chrono::steady_clock::duration m_longest{};
    std::thread m_thread;
};

} // namespace vocamo::bench
