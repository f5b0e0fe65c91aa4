#pragma once

#include "core/CallState.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <string>
#include <vector>

namespace vocamo {

enum class CallDirection { Incoming, Outgoing };

// How a call ended. Unfinished: the call is still going on (no end yet).
enum class CallOutcome {
    Unfinished,
    Answered, // connected, then ended by either side
    Missed,
    Busy,
    NoAnswer,
    NoDialTone,
    InvalidNumber,
    Failed,
    Refused,
    Interrupted, // the program ended in the middle of the call
};

struct CallRecord {
    qint64 id = 0;
    LineNumber line = LINE_NONE;
    CallDirection direction = CallDirection::Incoming;
    std::string number; // dialled digits or a Skype handle, UTF-8
    std::string name;
    QDateTime start;
    QDateTime end; // invalid while the call goes on
    CallOutcome outcome = CallOutcome::Unfinished;
};

// Every call on both lines, in SQLite. Runs on the window thread: each
// recording is one short write to the write-ahead log, so a kill loses
// nothing already recorded. When the file cannot be used the program goes
// on without history: every call is then a no-op, and the reason is logged
// once.
class CCallHistory {
public:
    // The file is `path`; empty: $XDG_DATA_HOME/vocamo/history.sqlite.
    explicit CCallHistory(QString path = QString());
    ~CCallHistory();
    CCallHistory(const CCallHistory &) = delete;
    CCallHistory &operator=(const CCallHistory &) = delete;

    static QString DefaultPath();

    // Opens or creates the file and brings its tables up to date. Calls left
    // without an end by an earlier run are closed as interrupted. A file that
    // is not a database is moved aside and a new one begun.
    bool Open();
    bool IsOpen() const { return m_db != nullptr; }
    const QString &Path() const { return m_path; }
    const QString &Error() const { return m_error; }

    // The new call's id; 0 without history.
    qint64 Begin(LineNumber line, CallDirection direction, const std::string &number,
                 const std::string &name, const QDateTime &start);
    // The caller's number and name, known only after the first ring.
    void SetParty(qint64 id, const std::string &number, const std::string &name);
    // A call ends once; a later end is ignored.
    void End(qint64 id, CallOutcome outcome, const QDateTime &end);

    // Newest first.
    std::vector<CallRecord> Recent(int limit, int offset = 0) const;
    int MissedSince(const QDateTime &since) const;

    static const char *OutcomeKey(CallOutcome outcome);

private:
    struct Db;
    bool OpenFile();
    void Fail(const QString &why);
    void Trouble(const QString &what) const;

    QString m_path;
    QString m_error;
    std::unique_ptr<Db> m_db;
    mutable bool m_troubleWarned = false;
};

} // namespace vocamo
