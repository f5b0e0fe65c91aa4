// The call history as the window meets it: opening the Recent list over a
// long history, and what recording a call costs the window thread.

#include "app/RecentList.h"
#include "app/VocamoDlg.h"
#include "core/QtMessageTarget.h"
#include "history/CallHistory.h"
#include "telephony/CallController.h"
#include "tests/bench/history/HistoryFill.h"
#include "tests/bench/window/BenchWindow.h"
#include "tests/bench/window/Median.h"
#include "tests/support/MemorySkypeTransport.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace vocamo;
using namespace std::chrono_literals;
using bench::FillHistory;
using bench::PumpUntil;

// n minutes back from now: a filled history ends about now.
QDateTime MinutesAgo(qint64 n)
{
    return QDateTime::currentDateTime().addSecs(-60 * n);
}

// Counts the paints of the Recent list's rows, whenever the list was made.
class RecentPaints : public QObject {
public:
    explicit RecentPaints(const CVocamoDlg &window) : m_window(window)
    {
        qApp->installEventFilter(this);
    }
    ~RecentPaints() override { qApp->removeEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_window.Recent() &&
            object == m_window.Recent()->viewport())
            ++paints;
        return false;
    }

private:
    const CVocamoDlg &m_window;
};

void PressKey(QWidget &window, int key)
{
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&window, &down);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&window, &up);
}

// A history of n calls; F3 on the shown window until the list's rows are
// painted. The first opening also makes the list; it is reported apart.
void BM_RecentOpen(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString history = dir.filePath(QStringLiteral("history.sqlite"));
    if (!FillHistory(history, static_cast<int>(state.range(0)), MinutesAgo(state.range(0)))) {
        state.SkipWithError("cannot fill the history");
        return;
    }
    setenv("VOCAMO_MODEMS", "/nonexistent/ttyACM9", 1);
    CMemorySkypeTransport skype;
    CVocamoDlg window(bench::QuietServices(dir.path(), skype));
    window.show();
    window.History(); // opened after the first frame, long before a key
    RecentPaints counter(window);
    PumpUntil([] { return false; }, 200ms);

    std::vector<double> times;
    double first = -1;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const int before = counter.paints;
        PressKey(window, Qt::Key_F3);
        if (!PumpUntil([&] { return counter.paints > before; }, 5s)) {
            state.SkipWithError("the Recent list was not painted");
            return;
        }
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (first < 0)
            first = ms;
        else
            times.push_back(ms);
        state.PauseTiming();
        PressKey(window, Qt::Key_F3);
        PumpUntil([&] { return !window.IsRecentShown(); }, 5s);
        state.ResumeTiming();
    }
    if (!window.Recent() || window.Recent()->Model().rowCount() == 0)
        state.SkipWithError("the list showed no calls");
    state.counters["median_ms"] = bench::Median(times);
    state.counters["first_ms"] = first;
}
BENCHMARK(BM_RecentOpen)->Arg(100000)->Iterations(30)->Unit(benchmark::kMillisecond);

// Times the window's handling of every posted message: the window thread's
// whole share of a call, its recording included.
class MessageClock : public QObject {
public:
    explicit MessageClock(QObject *window) : m_window(window) { window->installEventFilter(this); }
    ~MessageClock() override { m_window->removeEventFilter(this); }
    qint64 spentNs = 0;

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object != m_window || m_inside || event->type() != CAppMessageEvent::EventType())
            return false;
        QElapsedTimer clock;
        clock.start();
        m_inside = true;
        object->event(event);
        m_inside = false;
        spentNs += clock.nsecsElapsed();
        return true;
    }

private:
    QObject *m_window;
    bool m_inside = false;
};

// One busy call on the modem line, dialled and refused, with the history on
// a file and with no history: the window thread's time for the call's
// messages, and the difference, which is what recording its begin and end
// adds.
double CallMessagesMs(const QString &history, int calls, double *perCall)
{
    QTemporaryDir dir;
    ModemSimOptions options;
    options.log = false;
    CModemSim modem(options);
    if (!modem.Start())
        return -1;
    setenv("VOCAMO_MODEMS", modem.SlavePath().c_str(), 1);
    CMemorySkypeTransport skype;
    VocamoServices services = bench::QuietServices(dir.path(), skype);
    services.historyPath = history;
    CVocamoDlg window(services);
    window.show();
    window.History();
    if (!PumpUntil([&] { return window.ModemState() == NORMAL; }, 10s))
        return -1;
    std::vector<double> times;
    for (int i = 0; i < calls; ++i) {
        MessageClock clock(&window);
        const auto ended =
            window.LastEndedCall() ? window.LastEndedCall()->end : CallSummary::Time{};
        modem.ClearReceived();
        window.Controller()->Dial("0305550178");
        if (!modem.WaitForCommand("ATD0305550178") || !modem.Control("busy") ||
            !PumpUntil(
                [&] {
                    return window.LastEndedCall() && window.LastEndedCall()->end != ended &&
                           window.ModemState() == NORMAL;
                },
                10s))
            return -1;
        PumpUntil([] { return false; }, 20ms); // the last of the call's messages
        times.push_back(static_cast<double>(clock.spentNs) / 1e6);
    }
    *perCall = bench::Median(times);
    return *perCall;
}

void BM_RecordCall(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString history = dir.filePath(QStringLiteral("history.sqlite"));
    if (!FillHistory(history, 1000, MinutesAgo(1000))) {
        state.SkipWithError("cannot fill the history");
        return;
    }
    double recorded = 0;
    double unrecorded = 0;
    for (auto _ : state) {
        // A history that cannot be opened: the phone works on, unrecorded.
        if (CallMessagesMs(history, 20, &recorded) < 0 ||
            CallMessagesMs(QStringLiteral("/proc/vocamo/none/history.sqlite"), 20, &unrecorded) <
                0) {
            state.SkipWithError("a call did not come to its end");
            return;
        }
    }
    state.counters["call_messages_ms"] = recorded;
    state.counters["unrecorded_ms"] = unrecorded;
    state.counters["added_ms"] = recorded - unrecorded;
}
BENCHMARK(BM_RecordCall)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
