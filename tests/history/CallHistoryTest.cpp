// The call history on real files in a temporary folder.
#include "history/CallHistory.h"

#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstring>
#include <gtest/gtest.h>
#include <iostream>
#include <thread>

using namespace vocamo;
using vocamo::test::TempDir;

namespace {

QDateTime At(int minute)
{
    return QDateTime(QDate(2024, 3, 1), QTime(9, 0)).addSecs(60 * minute);
}

// Runs the statements through a connection of its own; the last one's answer.
QString Exec(const std::string &file, const QStringList &sql)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(QString::fromStdString(file));
        db.open();
        for (const QString &s : sql) {
            QSqlQuery q(db);
            value = q.exec(s) && q.next() ? q.value(0).toString() : QString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return value;
}

} // namespace

TEST(CallHistory, RecentIsNewestFirstInPagesAndCountsMissedCalls)
{
    TempDir dir;
    CCallHistory h(QString::fromStdString(dir.File("new/history.sqlite")));
    ASSERT_TRUE(h.Open()) << h.Error().toStdString();
    // Begun out of order: the list follows the start.
    const qint64 c = h.Begin(LINE_MODEM, CallDirection::Incoming, "", "", At(30));
    const qint64 a = h.Begin(LINE_MODEM, CallDirection::Outgoing, "a", "", At(10));
    h.Begin(LINE_SKYPE, CallDirection::Incoming, "e", "Eve", At(50));
    const qint64 b = h.Begin(LINE_SKYPE, CallDirection::Outgoing, "b", "", At(20));
    const qint64 d = h.Begin(LINE_MODEM, CallDirection::Incoming, "d", "", At(40));
    h.SetParty(c, "0301234", "Anna Berger");
    h.End(a, CallOutcome::Busy, At(11));
    h.End(b, CallOutcome::Answered, At(22));
    h.End(c, CallOutcome::Missed, At(31));
    h.End(c, CallOutcome::Answered, At(33)); // a call ends once
    h.End(d, CallOutcome::Missed, At(41));

    const auto row = [](const CallRecord &r) {
        return r.number + "/" + r.name + (r.line == LINE_SKYPE ? "/skype" : "/modem") +
               (r.direction == CallDirection::Outgoing ? "/out/" : "/in/") +
               CCallHistory::OutcomeKey(r.outcome) + r.start.toString(" HH:mm").toStdString() +
               r.end.toString("-HH:mm").toStdString();
    };
    std::vector<std::string> rows;
    for (int offset = 0; offset < 6; offset += 2) {
        for (const CallRecord &r : h.Recent(2, offset))
            rows.push_back(row(r));
    }
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "e/Eve/skype/in/ 09:50", "d//modem/in/missed 09:40-09:41",
                        "0301234/Anna Berger/modem/in/missed 09:30-09:31",
                        "b//skype/out/answered 09:20-09:22", "a//modem/out/busy 09:10-09:11"}));
    EXPECT_EQ(h.MissedSince(At(0)), 2);
    EXPECT_EQ(h.MissedSince(At(35)), 1);
}

// The child of the next test: begins a call, says its id, waits to be killed.
int BeginCallAndWait(const char *file)
{
    CCallHistory h(QString::fromLocal8Bit(file));
    if (!h.Open())
        return 1;
    std::cout << h.Begin(LINE_MODEM, CallDirection::Incoming, "0301234", "", At(0)) << std::endl;
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

TEST(CallHistory, ACallCutByAKillIsKeptAndClosedAsInterrupted)
{
    TempDir dir;
    const QString file = QString::fromStdString(dir.File("history.sqlite"));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--begin-call"), file});
    ASSERT_TRUE(child.waitForReadyRead(30000));
    const qint64 id = child.readLine().trimmed().toLongLong();
    child.kill(); // SIGKILL
    ASSERT_TRUE(child.waitForFinished(30000));

    // The log left behind is how the phone knows to open the history at start.
    const QString log = file + QStringLiteral("-wal");
    EXPECT_TRUE(QFileInfo::exists(log));
    const QDateTime before = QDateTime::currentDateTime();
    {
        CCallHistory h(file);
        ASSERT_TRUE(h.Open());
        const std::vector<CallRecord> records = h.Recent(10);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_TRUE(id > 0 && records[0].id == id && records[0].number == "0301234");
        EXPECT_EQ(records[0].outcome, CallOutcome::Interrupted);
        EXPECT_GE(records[0].end, before);
    }
    EXPECT_FALSE(QFileInfo::exists(log)); // a history closed leaves none
}

TEST(CallHistory, OlderFilesAreBroughtUpToDateWithTheirCalls)
{
    const QStringList version1{
        QStringLiteral("CREATE TABLE calls (id INTEGER PRIMARY KEY, start_ms INTEGER NOT NULL,"
                       " end_ms INTEGER, line TEXT NOT NULL, direction TEXT NOT NULL, number TEXT"
                       " NOT NULL DEFAULT '', name TEXT NOT NULL DEFAULT '', outcome TEXT)"),
        QStringLiteral("CREATE INDEX calls_start ON calls (start_ms)"),
        QStringLiteral("INSERT INTO calls (start_ms, end_ms, line, direction, number, outcome)"
                       " VALUES (%1, %1, 'skype', 'in', 'echo123', 'missed')")
            .arg(At(5).toMSecsSinceEpoch()),
        QStringLiteral("PRAGMA user_version = 1")};
    for (const QStringList &setup :
         {QStringList{QStringLiteral("PRAGMA user_version = 0")}, version1}) {
        SCOPED_TRACE(setup.last().toStdString());
        TempDir dir;
        const std::string file = dir.File("history.sqlite");
        Exec(file, setup);
        const int calls = setup.size() > 1 ? 1 : 0;
        {
            CCallHistory h(QString::fromStdString(file));
            ASSERT_TRUE(h.Open()) << h.Error().toStdString();
            EXPECT_EQ(static_cast<int>(h.Recent(10).size()), calls);
            EXPECT_EQ(h.MissedSince(At(0)), calls);
            EXPECT_GT(h.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(9)), 0);
        }
        EXPECT_EQ(Exec(file, {QStringLiteral("PRAGMA user_version")}), QStringLiteral("2"));
        EXPECT_EQ(Exec(file, {QStringLiteral("PRAGMA journal_mode")}), QStringLiteral("wal"));
    }
}

TEST(CallHistory, AFileItCannotUseIsLeftAloneAndEveryCallIsANoOp)
{
    TempDir dir;
    const std::string newer = dir.File("newer.sqlite");
    Exec(newer,
         {QStringLiteral("CREATE TABLE calls (x)"), QStringLiteral("PRAGMA user_version = 7")});
    const std::string bytes = TempDir::Read(newer);
    TempDir::Write(dir.File("file"), "where a folder should be");
    for (const std::string &file : {newer, dir.File("file/history.sqlite")}) {
        CCallHistory h(QString::fromStdString(file));
        EXPECT_FALSE(h.Open());
        EXPECT_EQ(h.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(0)), 0);
        EXPECT_TRUE(h.Recent(10).empty());
    }
    EXPECT_EQ(TempDir::Read(newer), bytes);
}

TEST(CallHistory, ADamagedFileIsMovedAsideAndANewOneBegun)
{
    TempDir dir;
    const std::string file = dir.File("history.sqlite");
    const std::string junk(4096, 'x');
    TempDir::Write(file, junk);
    CCallHistory h(QString::fromStdString(file));
    ASSERT_TRUE(h.Open()) << h.Error().toStdString();
    EXPECT_GT(h.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(0)), 0);
    const QStringList aside =
        QDir(QString::fromStdString(dir.Path())).entryList({QStringLiteral("*.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(TempDir::Read(dir.File(aside[0].toStdString())), junk);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--begin-call") == 0)
        return BeginCallAndWait(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
