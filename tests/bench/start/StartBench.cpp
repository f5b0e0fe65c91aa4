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
        bench::CInputProbe probe(&window, bench::CInputProbe::From::FirstPaint);
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
