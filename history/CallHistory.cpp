#include "history/CallHistory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QVariant>
#include <array>
#include <atomic>
#include <initializer_list>

namespace vocamo {

namespace {
Q_LOGGING_CATEGORY(lcHistory, "vocamo.history", QtWarningMsg)

// Each step takes the file from version i to i + 1, in one transaction.
using Step = std::initializer_list<const char *>;
const std::array<Step, 2> kMigrations{
    Step{"CREATE TABLE calls (id INTEGER PRIMARY KEY, start_ms INTEGER NOT NULL, end_ms INTEGER,"
         " line TEXT NOT NULL, direction TEXT NOT NULL, number TEXT NOT NULL DEFAULT '',"
         " name TEXT NOT NULL DEFAULT '', outcome TEXT)",
         "CREATE INDEX calls_start ON calls (start_ms)"},
    // The tray counts missed calls, and each start looks for unfinished ones.
    Step{"CREATE INDEX calls_missed ON calls (start_ms) WHERE outcome = 'missed'",
         "CREATE INDEX calls_unfinished ON calls (id) WHERE end_ms IS NULL"},
};
constexpr int kVersion = static_cast<int>(kMigrations.size());

const std::array<const char *, 10> kOutcomeKeys{
    "",       "answered", "missed",     "busy", "no answer", "no dial tone", "invalid number",
    "failed", "refused",  "interrupted"};

CallOutcome OutcomeFromKey(const QString &key)
{
    for (size_t i = 1; i < kOutcomeKeys.size(); ++i) {
        if (key == QLatin1String(kOutcomeKeys[i]))
            return static_cast<CallOutcome>(i);
    }
    return CallOutcome::Unfinished;
}

const char *LineKey(LineNumber line)
{
    return line == LINE_SKYPE ? "skype" : line == LINE_MODEM ? "modem" : "";
}

LineNumber LineFromKey(const QString &key)
{
    return key == QLatin1String("skype")   ? LINE_SKYPE
           : key == QLatin1String("modem") ? LINE_MODEM
                                           : LINE_NONE;
}

QString Text(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string Utf8(const QVariant &v)
{
    return v.toString().toStdString();
}

// SQLite's "not a database" and "malformed": the file is not ours to use.
bool IsCorruption(const QSqlError &error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    return ok && (code == 11 || code == 26);
}

} // namespace

struct CCallHistory::Db {
    QString connection;
    QSqlDatabase db;
    QSqlQuery insert, party, end, recent, missed;
    bool corrupt = false;

    ~Db()
    {
        for (QSqlQuery *q : {&insert, &party, &end, &recent, &missed})
            *q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
    }

    bool Exec(const QString &sql, QString *why)
    {
        QSqlQuery q(db);
        if (q.exec(sql))
            return true;
        corrupt = corrupt || IsCorruption(q.lastError());
        *why = q.lastError().text();
        return false;
    }

    bool Prepare(QSqlQuery &q, const char *sql, QString *why)
    {
        q = QSqlQuery(db);
        if (q.prepare(QString::fromLatin1(sql)))
            return true;
        *why = q.lastError().text();
        return false;
    }
};

CCallHistory::CCallHistory(QString path) : m_path(path.isEmpty() ? DefaultPath() : path) {}

CCallHistory::~CCallHistory() = default;

QString CCallHistory::DefaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/vocamo/history.sqlite");
}

const char *CCallHistory::OutcomeKey(CallOutcome outcome)
{
    return kOutcomeKeys[static_cast<size_t>(outcome)];
}

bool CCallHistory::Open()
{
    if (m_db)
        return true;
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QDir().mkpath(folder)) {
        Fail(QStringLiteral("cannot make the folder %1").arg(folder));
        return false;
    }
    if (OpenFile())
        return true;
    if (!m_db || !m_db->corrupt) {
        Fail(m_error);
        return false;
    }
    m_db.reset();
    // Kept for whoever wants to rescue it; its journal goes with it, as a
    // new file must not replay the old one's log.
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".corrupt-%1-%2").arg(stamp).arg(n);
    if (!QFile::rename(m_path, aside)) {
        Fail(QStringLiteral("%1 is damaged and cannot be moved aside").arg(m_path));
        return false;
    }
    QFile::rename(m_path + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(m_path + QStringLiteral("-shm"));
    qCWarning(lcHistory).noquote() << "call history was damaged, moved to" << aside;
    if (OpenFile())
        return true;
    Fail(m_error);
    return false;
}

bool CCallHistory::OpenFile()
{
    static std::atomic<int> serial{0};
    m_db = std::make_unique<Db>();
    Db &d = *m_db;
    d.connection = QStringLiteral("vocamo-history-%1").arg(++serial);
    d.db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d.connection);
    if (!d.db.isValid()) {
        m_error = QStringLiteral("no SQLite driver for Qt");
        return false;
    }
    d.db.setDatabaseName(m_path);
    if (!d.db.open()) {
        m_error = d.db.lastError().text();
        return false;
    }
    QString why;
    if (!d.Exec(QStringLiteral("PRAGMA busy_timeout = 200"), &why)) {
        m_error = why;
        return false;
    }
    QSqlQuery version(d.db);
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next()) {
        d.corrupt = IsCorruption(version.lastError());
        m_error = version.lastError().text();
        return false;
    }
    const int from = version.value(0).toInt();
    version.finish();
    if (from < 0 || from > kVersion) {
        m_error = QStringLiteral("%1 is of a newer Vocamo (version %2)").arg(m_path).arg(from);
        return false;
    }
    // NORMAL: a commit is in the log before it returns, so a crash or a kill
    // of the program loses nothing; only a power cut may lose the last calls,
    // and no commit waits for the disk on the window thread.
    if (!d.Exec(QStringLiteral("PRAGMA journal_mode = WAL"), &why) ||
        !d.Exec(QStringLiteral("PRAGMA synchronous = NORMAL"), &why) ||
        // Folding the log into the file waits for the disk: done here and
        // when the file is closed, never in the middle of recording a call.
        !d.Exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"), &why)) {
        m_error = why;
        return false;
    }
    for (int v = from; v < kVersion; ++v) {
        bool ok = d.db.transaction();
        for (const char *sql : kMigrations[static_cast<size_t>(v)])
            ok = ok && d.Exec(QString::fromLatin1(sql), &why);
        ok = ok && d.Exec(QStringLiteral("PRAGMA user_version = %1").arg(v + 1), &why);
        if (!ok || !d.db.commit()) {
            d.db.rollback();
            m_error = why.isEmpty() ? d.db.lastError().text() : why;
            return false;
        }
    }
    // A call without an end was going on when the program last stopped.
    QSqlQuery close(d.db);
    close.prepare(QStringLiteral("UPDATE calls SET end_ms = ?, outcome = 'interrupted'"
                                 " WHERE end_ms IS NULL"));
    close.addBindValue(QDateTime::currentMSecsSinceEpoch());
    if (!close.exec()) {
        d.corrupt = IsCorruption(close.lastError());
        m_error = close.lastError().text();
        return false;
    }
    // What a killed run left in the log.
    d.Exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"), &why);
    if (!d.Prepare(d.insert,
                   "INSERT INTO calls (start_ms, line, direction, number, name)"
                   " VALUES (?, ?, ?, ?, ?)",
                   &why) ||
        !d.Prepare(d.party, "UPDATE calls SET number = ?, name = ? WHERE id = ?", &why) ||
        !d.Prepare(d.end,
                   "UPDATE calls SET end_ms = ?, outcome = ? WHERE id = ? AND end_ms IS NULL",
                   &why) ||
        !d.Prepare(d.recent,
                   "SELECT id, line, direction, number, name, start_ms, end_ms, outcome FROM calls"
                   " ORDER BY start_ms DESC, id DESC LIMIT ? OFFSET ?",
                   &why) ||
        !d.Prepare(d.missed,
                   "SELECT count(*) FROM calls WHERE outcome = 'missed' AND start_ms >= ?", &why)) {
        m_error = why;
        return false;
    }
    d.recent.setForwardOnly(true);
    m_error.clear();
    return true;
}

void CCallHistory::Fail(const QString &why)
{
    m_db.reset();
    m_error = why;
    qCWarning(lcHistory).noquote() << "going on without call history:" << why;
}

void CCallHistory::Trouble(const QString &what) const
{
    if (m_troubleWarned)
        return;
    m_troubleWarned = true;
    qCWarning(lcHistory).noquote() << "call history:" << what;
}

qint64 CCallHistory::Begin(LineNumber line, CallDirection direction, const std::string &number,
                           const std::string &name, const QDateTime &start)
{
    if (!m_db)
        return 0;
    QSqlQuery &q = m_db->insert;
    q.bindValue(0, start.toMSecsSinceEpoch());
    q.bindValue(1, QString::fromLatin1(LineKey(line)));
    q.bindValue(2, direction == CallDirection::Incoming ? QStringLiteral("in")
                                                        : QStringLiteral("out"));
    q.bindValue(3, Text(number));
    q.bindValue(4, Text(name));
    if (!q.exec()) {
        Trouble(q.lastError().text());
        return 0;
    }
    return q.lastInsertId().toLongLong();
}

void CCallHistory::SetParty(qint64 id, const std::string &number, const std::string &name)
{
    if (!m_db || id <= 0)
        return;
    QSqlQuery &q = m_db->party;
    q.bindValue(0, Text(number));
    q.bindValue(1, Text(name));
    q.bindValue(2, id);
    if (!q.exec())
        Trouble(q.lastError().text());
}

void CCallHistory::End(qint64 id, CallOutcome outcome, const QDateTime &end)
{
    if (!m_db || id <= 0 || outcome == CallOutcome::Unfinished)
        return;
    QSqlQuery &q = m_db->end;
    q.bindValue(0, end.toMSecsSinceEpoch());
    q.bindValue(1, QString::fromLatin1(OutcomeKey(outcome)));
    q.bindValue(2, id);
    if (!q.exec())
        Trouble(q.lastError().text());
}

std::vector<CallRecord> CCallHistory::Recent(int limit, int offset) const
{
    std::vector<CallRecord> records;
    if (!m_db || limit <= 0)
        return records;
    QSqlQuery &q = m_db->recent;
    q.bindValue(0, limit);
    q.bindValue(1, offset < 0 ? 0 : offset);
    if (!q.exec()) {
        Trouble(q.lastError().text());
        return records;
    }
    records.reserve(static_cast<size_t>(limit));
    while (q.next()) {
        CallRecord r;
        r.id = q.value(0).toLongLong();
        r.line = LineFromKey(q.value(1).toString());
        r.direction = q.value(2).toString() == QLatin1String("out") ? CallDirection::Outgoing
                                                                    : CallDirection::Incoming;
        r.number = Utf8(q.value(3));
        r.name = Utf8(q.value(4));
        r.start = QDateTime::fromMSecsSinceEpoch(q.value(5).toLongLong());
        if (!q.value(6).isNull())
            r.end = QDateTime::fromMSecsSinceEpoch(q.value(6).toLongLong());
        r.outcome = OutcomeFromKey(q.value(7).toString());
        records.push_back(std::move(r));
    }
    // An open statement would pin the log and keep it from being folded in.
    q.finish();
    return records;
}

int CCallHistory::MissedSince(const QDateTime &since) const
{
    if (!m_db)
        return 0;
    QSqlQuery &q = m_db->missed;
    q.bindValue(0, since.toMSecsSinceEpoch());
    if (!q.exec() || !q.next())
        return 0;
    const int count = q.value(0).toInt();
    q.finish();
    return count;
}

} // namespace vocamo
