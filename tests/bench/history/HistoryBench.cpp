#include "history/CallHistory.h"
#include "tests/bench/history/HistoryFill.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

const QDateTime kEpoch(QDate(2020, 1, 1), QTime(8, 0));

// One whole call as the window records it: begun, its party learnt, ended.
// Reports the longest of those writes, the window thread's worst wait.
void BM_HistoryRecord(benchmark::State &state)
{
    TempDir dir;
    CCallHistory history(QString::fromStdString(dir.File("history.sqlite")));
    if (!history.Open()) {
        state.SkipWithError("no history");
        return;
    }
    QDateTime at = kEpoch;
    qint64 longest = 0;
    double slow = 0;
    QElapsedTimer write;
    for (auto _ : state) {
        write.start();
        const qint64 id = history.Begin(LINE_MODEM, CallDirection::Incoming, "", "", at);
        longest = std::max(longest, write.nsecsElapsed());
        slow += write.nsecsElapsed() > 2000000;
        write.start();
        history.SetParty(id, "0301234567", "Anna Berger");
        longest = std::max(longest, write.nsecsElapsed());
        slow += write.nsecsElapsed() > 2000000;
        write.start();
        history.End(id, CallOutcome::Missed, at.addSecs(20));
        longest = std::max(longest, write.nsecsElapsed());
        slow += write.nsecsElapsed() > 2000000;
        at = at.addSecs(60);
    }
    state.counters["longest_write_ms"] = static_cast<double>(longest) / 1e6;
    state.counters["writes_over_2ms"] = slow;
}
BENCHMARK(BM_HistoryRecord)->Unit(benchmark::kMicrosecond);

// The first page of the Recent list.
void BM_HistoryRecent(benchmark::State &state)
{
    TempDir dir;
    const std::string file = dir.File("history.sqlite");
    if (!bench::FillHistory(QString::fromStdString(file), static_cast<int>(state.range(0)),
                            kEpoch)) {
        state.SkipWithError("cannot fill the history");
        return;
    }
    CCallHistory history(QString::fromStdString(file));
    history.Open();
    for (auto _ : state) {
        const std::vector<CallRecord> page = history.Recent(50);
        if (page.size() != 50)
            state.SkipWithError("short page");
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_HistoryRecent)->Arg(100000)->Unit(benchmark::kMillisecond);

// The program's start: open the file, close what a kill left, count missed
// calls for the tray and read the first page.
void BM_HistoryOpen(benchmark::State &state)
{
    TempDir dir;
    const std::string file = dir.File("history.sqlite");
    if (!bench::FillHistory(QString::fromStdString(file), static_cast<int>(state.range(0)),
                            kEpoch)) {
        state.SkipWithError("cannot fill the history");
        return;
    }
    for (auto _ : state) {
        CCallHistory history(QString::fromStdString(file));
        history.Open();
        benchmark::DoNotOptimize(history.MissedSince(kEpoch));
        benchmark::DoNotOptimize(history.Recent(50).size());
    }
}
BENCHMARK(BM_HistoryOpen)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
