#include "history/CallHistory.h"
#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <benchmark/benchmark.h>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

const QDateTime kEpoch(QDate(2020, 1, 1), QTime(8, 0));

// A history of n ended calls, one a minute, written in one transaction.
void Fill(const std::string &file, int n)
{
    {
        CCallHistory history(QString::fromStdString(file));
        history.Open();
    }
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(QString::fromStdString(file));
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO calls (start_ms, end_ms, line, direction, number, name, outcome)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < n; ++i) {
            const qint64 start = kEpoch.addSecs(60LL * i).toMSecsSinceEpoch();
            q.bindValue(0, start);
            q.bindValue(1, start + 42000);
            q.bindValue(2, i % 3 ? QStringLiteral("modem") : QStringLiteral("skype"));
            q.bindValue(3, i % 2 ? QStringLiteral("in") : QStringLiteral("out"));
            q.bindValue(4, QStringLiteral("0301%1").arg(i));
            q.bindValue(5, QStringLiteral("Caller %1").arg(i % 500));
            q.bindValue(6, i % 7 ? QStringLiteral("answered") : QStringLiteral("missed"));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

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
    Fill(file, static_cast<int>(state.range(0)));
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
    Fill(file, static_cast<int>(state.range(0)));
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
