// The call history on real files in a temporary folder.
#include "history/CallHistory.h"

#include "tests/support/TempDir.h"

#include <QCoreApplication>
#include <QDir>
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

// Runs `sql` on the file through a connection of its own, closed on return.
QString Exec(const std::string &file, const std::vector<QString> &sql)
{
    QString value;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
        db.setDatabaseName(QString::fromStdString(file));
        db.open();
        for (const QString &s : sql) {
            QSqlQuery q(db);
            if (q.exec(s) && q.next())
                value = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    return value;
}

std::vector<std::string> Numbers(const std::vector<CallRecord> &records)
{
    std::vector<std::string> numbers;
    for (const CallRecord &r : records)
        numbers.push_back(r.number);
    return numbers;
}

} // namespace

TEST(CallHistory, RecentIsNewestFirstInPagesAndCountsMissedCalls)
{
    TempDir dir;
    CCallHistory history(QString::fromStdString(dir.File("h/history.sqlite")));
    ASSERT_TRUE(history.Open()) << history.Error().toStdString();

    // Begun out of order; the list follows the start.
    const qint64 c = history.Begin(LINE_MODEM, CallDirection::Incoming, "", "", At(30));
    const qint64 a = history.Begin(LINE_MODEM, CallDirection::Outgoing, "a", "", At(10));
    const qint64 e = history.Begin(LINE_SKYPE, CallDirection::Incoming, "e", "Eve", At(50));
    const qint64 b = history.Begin(LINE_SKYPE, CallDirection::Outgoing, "b", "", At(20));
    const qint64 d = history.Begin(LINE_MODEM, CallDirection::Incoming, "d", "", At(40));
    history.SetParty(c, "0301234", "Anna Berger");
    history.End(a, CallOutcome::Busy, At(11));
    history.End(b, CallOutcome::Answered, At(22));
    history.End(c, CallOutcome::Missed, At(31));
    history.End(c, CallOutcome::Answered, At(33)); // a call ends once
    history.End(d, CallOutcome::Missed, At(41));

    EXPECT_EQ(Numbers(history.Recent(2, 0)), (std::vector<std::string>{"e", "d"}));
    EXPECT_EQ(Numbers(history.Recent(2, 2)), (std::vector<std::string>{"0301234", "b"}));
    EXPECT_EQ(Numbers(history.Recent(2, 4)), (std::vector<std::string>{"a"}));

    const std::vector<CallRecord> all = history.Recent(10);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].id, e);
    EXPECT_EQ(all[0].line, LINE_SKYPE);
    EXPECT_EQ(all[0].name, "Eve");
    EXPECT_EQ(all[0].outcome, CallOutcome::Unfinished);
    EXPECT_FALSE(all[0].end.isValid());
    EXPECT_EQ(all[2].name, "Anna Berger");
    EXPECT_EQ(all[2].outcome, CallOutcome::Missed);
    EXPECT_EQ(all[2].end, At(31));
    EXPECT_EQ(all[3].direction, CallDirection::Outgoing);
    EXPECT_EQ(all[3].outcome, CallOutcome::Answered);
    EXPECT_EQ(all[4].line, LINE_MODEM);
    EXPECT_EQ(all[4].outcome, CallOutcome::Busy);
    EXPECT_EQ(all[4].start, At(10));

    EXPECT_EQ(history.MissedSince(At(0)), 2);
    EXPECT_EQ(history.MissedSince(At(35)), 1);
    EXPECT_EQ(history.MissedSince(At(45)), 0);
}

// The child: begins a call, says its id, then waits to be killed.
int BeginCallAndWait(const char *file)
{
    CCallHistory history(QString::fromLocal8Bit(file));
    if (!history.Open())
        return 1;
    std::cout << history.Begin(LINE_MODEM, CallDirection::Incoming, "0301234", "Anna", At(0))
              << std::endl;
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
    ASSERT_GT(id, 0);
    child.kill(); // SIGKILL
    ASSERT_TRUE(child.waitForFinished(30000));

    const QDateTime before = QDateTime::currentDateTime();
    CCallHistory history(file);
    ASSERT_TRUE(history.Open());
    const std::vector<CallRecord> records = history.Recent(10);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].id, id);
    EXPECT_EQ(records[0].number, "0301234");
    EXPECT_EQ(records[0].outcome, CallOutcome::Interrupted);
    EXPECT_GE(records[0].end.toMSecsSinceEpoch(), before.toMSecsSinceEpoch());
}

TEST(CallHistory, OlderFilesAreBroughtUpToDateWithTheirCalls)
{
    const QString v1Table = QStringLiteral(
        "CREATE TABLE calls (id INTEGER PRIMARY KEY, start_ms INTEGER NOT NULL, end_ms INTEGER,"
        " line TEXT NOT NULL, direction TEXT NOT NULL, number TEXT NOT NULL DEFAULT '',"
        " name TEXT NOT NULL DEFAULT '', outcome TEXT)");
    const QString v1Row =
        QStringLiteral("INSERT INTO calls (start_ms, end_ms, line, direction, number, outcome)"
                       " VALUES (%1, %1, 'skype', 'in', 'echo123', 'missed')")
            .arg(At(5).toMSecsSinceEpoch());
    struct Case {
        const char *name;
        std::vector<QString> setup;
        size_t calls;
    };
    const std::vector<Case> cases{
        {"empty database, version 0", {QStringLiteral("PRAGMA user_version = 0")}, 0},
        {"version 1 with a missed call",
         {v1Table, QStringLiteral("CREATE INDEX calls_start ON calls (start_ms)"), v1Row,
          QStringLiteral("PRAGMA user_version = 1")},
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string file = dir.File("history.sqlite");
        Exec(file, c.setup);
        {
            CCallHistory history(QString::fromStdString(file));
            ASSERT_TRUE(history.Open()) << history.Error().toStdString();
            EXPECT_EQ(history.Recent(10).size(), c.calls);
            EXPECT_EQ(history.MissedSince(At(0)), static_cast<int>(c.calls));
            EXPECT_GT(history.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(9)), 0);
        }
        EXPECT_EQ(Exec(file, {QStringLiteral("PRAGMA user_version")}), QStringLiteral("2"));
        EXPECT_EQ(Exec(file, {QStringLiteral("PRAGMA journal_mode")}), QStringLiteral("wal"));
    }
}

TEST(CallHistory, AFileOfANewerVersionIsLeftAlone)
{
    TempDir dir;
    const std::string file = dir.File("history.sqlite");
    Exec(file,
         {QStringLiteral("CREATE TABLE calls (x)"), QStringLiteral("PRAGMA user_version = 7")});
    const std::string before = TempDir::Read(file);
    CCallHistory history(QString::fromStdString(file));
    EXPECT_FALSE(history.Open());
    EXPECT_EQ(history.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(0)), 0);
    EXPECT_EQ(TempDir::Read(file), before);
}

TEST(CallHistory, ADamagedFileIsMovedAsideAndANewOneBegun)
{
    TempDir dir;
    const std::string file = dir.File("history.sqlite");
    const std::string junk(4096, 'x');
    TempDir::Write(file, junk);
    CCallHistory history(QString::fromStdString(file));
    ASSERT_TRUE(history.Open()) << history.Error().toStdString();
    EXPECT_GT(history.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(0)), 0);
    EXPECT_EQ(history.Recent(10).size(), 1u);

    const QStringList aside = QDir(QString::fromStdString(dir.Path()))
                                  .entryList({QStringLiteral("history.sqlite.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(TempDir::Read(dir.File(aside[0].toStdString())), junk);
}

TEST(CallHistory, WithoutAFileEveryCallIsANoOp)
{
    TempDir dir;
    TempDir::Write(dir.File("blocker"), "a file where the folder should be");
    CCallHistory history(QString::fromStdString(dir.File("blocker/history.sqlite")));
    EXPECT_FALSE(history.Open());
    EXPECT_FALSE(history.Error().isEmpty());
    const qint64 id = history.Begin(LINE_MODEM, CallDirection::Outgoing, "1", "", At(0));
    EXPECT_EQ(id, 0);
    history.End(id, CallOutcome::Busy, At(1));
    EXPECT_TRUE(history.Recent(10).empty());
    EXPECT_EQ(history.MissedSince(At(0)), 0);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--begin-call") == 0)
        return BeginCallAndWait(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
