#include "tests/bench/history/HistoryFill.h"

#include "history/CallHistory.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace vocamo::bench {

bool FillHistory(const QString &file, int n, const QDateTime &first)
{
    {
        CCallHistory history(file); // the schema, as the program makes it
        if (!history.Open())
            return false;
    }
    bool ok = false;
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(file);
        ok = db.open() && db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "INSERT INTO calls (start_ms, end_ms, line, direction, number, name, outcome)"
            " VALUES (?, ?, ?, ?, ?, ?, ?)"));
        for (int i = 0; ok && i < n; ++i) {
            const qint64 start = first.addSecs(60LL * i).toMSecsSinceEpoch();
            q.bindValue(0, start);
            q.bindValue(1, start + 42000);
            q.bindValue(2, i % 3 ? QStringLiteral("modem") : QStringLiteral("skype"));
            q.bindValue(3, i % 2 ? QStringLiteral("in") : QStringLiteral("out"));
            q.bindValue(4, QStringLiteral("0301%1").arg(i));
            q.bindValue(5, QStringLiteral("Caller %1").arg(i % 500));
            q.bindValue(6, i % 7 ? QStringLiteral("answered") : QStringLiteral("missed"));
            ok = q.exec();
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return ok;
}

} // namespace vocamo::bench
