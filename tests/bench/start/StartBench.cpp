// The window on a very big phonebook, on the offscreen platform against the
// modem simulator: how long the window does not answer input after its
// first frame while the line opens and the rows fill, and how soon a
// caller from the last entry is shown by name.

#include "app/VocamoDlg.h"
#include "skin/ContactItem.h"
#include "tests/bench/window/BenchWindow.h"
#include "tests/support/MemorySkypeTransport.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <deque>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace vocamo;
using namespace std::chrono_literals;
using bench::PumpUntil;
using Clock = std::chrono::steady_clock;

std::string HomeNumber(int i)
{
    return "0221" + std::to_string(1000000 + i);
}

// From the window's first paint on, a thread posts a key press every 2 ms
// into the window thread's queue, behind whatever is there; the longest any
// waited is how long the window did not answer input. The key means
// nothing to the window and is swallowed. Also counts the paints.
class InputProbe : public QObject {
public:
    explicit InputProbe(QWidget *window) : m_window(window)
    {
        QInputDevice::primaryKeyboard(); // made here, not by the first event off this thread
        window->installEventFilter(this);
    }
    ~InputProbe() override
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        QCoreApplication::sendPostedEvents(m_window, QEvent::KeyPress);
        m_window->removeEventFilter(this);
    }
    double LongestMs() const
    {
        std::lock_guard lock(m_mutex);
        return std::chrono::duration<double, std::milli>(m_longest).count();
    }
    std::atomic<int> paints{0};
    Clock::time_point firstPaint;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && paints++ == 0) {
            firstPaint = Clock::now();
            m_thread = std::thread([this] { Post(); });
        }
        if (event->type() != QEvent::KeyPress ||
            static_cast<QKeyEvent *>(event)->key() != Qt::Key_F20)
            return false;
        std::lock_guard lock(m_mutex);
        if (!m_sent.empty()) {
            m_longest = std::max(m_longest, Clock::now() - m_sent.front());
            m_sent.pop_front();
        }
        return true;
    }

private:
    void Post()
    {
        while (!m_stop) {
            {
                std::lock_guard lock(m_mutex);
                m_sent.push_back(Clock::now());
            }
            QCoreApplication::postEvent(
                m_window, new QKeyEvent(QEvent::KeyPress, Qt::Key_F20, Qt::NoModifier));
            std::this_thread::sleep_for(2ms);
        }
    }

    QWidget *m_window;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::deque<Clock::time_point> m_sent;
    Clock::duration m_longest{};
    std::thread m_thread;
};

// n entries; the window shown anew each time. rows_ms: from the first
// frame until every entry has its row; longest_input_wait_ms: the longest a
// key posted after the first frame waited, until a second after the rows;
// caller_name_ms: from the simulator's caller ID of the last entry's number
// until the window has that entry's name for its popup.
void BM_BigPhonebook(benchmark::State &state)
{
    const int entries = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    {
        std::ofstream file((dir.path() + QStringLiteral("/Bookmark.ini")).toStdString(),
                           std::ios::binary);
        for (int i = 0; i < entries; ++i)
            file << "[Person " << i << "]\nPhone_Home=" << HomeNumber(i) << "\nPhone_Office=0300 "
                 << i << "\nPhone_Mobile=0171 555 " << i << "\n";
    }
    ModemSimOptions options;
    options.log = false;
    options.ringInterval = 2000ms; // the caller ID comes a quarter of it after the first ring
    CModemSim modem(options);
    if (!modem.Start()) {
        state.SkipWithError("modem simulator did not start");
        return;
    }
    setenv("VOCAMO_MODEMS", modem.SlavePath().c_str(), 1);
    CMemorySkypeTransport skype;
    const VocamoServices services = bench::QuietServices(dir.path(), skype);
    const std::string last = "Person " + std::to_string(entries - 1);

    double rowsMs = 0, longestMs = 0, callerMs = 0;
    for (auto _ : state) {
        CVocamoDlg window(services);
        InputProbe probe(&window);
        window.show();
        const auto rowsShown = [&] {
            const CContactItem *row = window.FirstNameRow();
            int rows = 0;
            for (; row; row = row->GetNext())
                ++rows;
            return rows == entries;
        };
        if (!PumpUntil([&] { return probe.paints > 0 && window.ModemState() == NORMAL; }, 60s) ||
            !PumpUntil(rowsShown, 60s)) {
            state.SkipWithError("the rows did not come within a minute");
            return;
        }
        rowsMs = std::max(
            rowsMs,
            std::chrono::duration<double, std::milli>(Clock::now() - probe.firstPaint).count());
        PumpUntil([] { return false; }, 1s);
        longestMs = std::max(longestMs, probe.LongestMs());

        modem.Control("ring 2 " + HomeNumber(entries - 1));
        const auto callerId = Clock::now() + options.ringInterval / 4;
        // The window hides while it rings; the popup shows the party's
        // name as soon as the line knows it.
        if (!PumpUntil([&] { return window.PartyName() == last; }, 10s)) {
            state.SkipWithError("the caller's name was not shown");
            return;
        }
        callerMs = std::max(
            callerMs, std::chrono::duration<double, std::milli>(Clock::now() - callerId).count());
    }
    state.counters["rows_ms"] = rowsMs;
    state.counters["longest_input_wait_ms"] = longestMs;
    state.counters["caller_name_ms"] = callerMs;
}
BENCHMARK(BM_BigPhonebook)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
