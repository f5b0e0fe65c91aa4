#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

namespace vocamo {

// A Skype client on the session bus: owns com.Skype.API, answers Invoke on
// /com/Skype, and sends call progress and status changes to every attached
// program through its Notify, without waiting for a reply.
class CSkypeSim : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Skype.API")

public:
    struct Friend {
        QString handle;
        QString status;
        QString displayName;
    };
    struct Options {
        QList<Friend> friends;
        QString user = QStringLiteral("vocamo.echo");
        int answerAfterMs = -1; // a dialled call answers by itself
        bool offline = false;
        int churnPerSecond = 0; // friends' presence changes a second
    };

    CSkypeSim(QDBusConnection bus, Options options);

    // Registers the object and takes the name; false when either fails.
    bool Start(QString *error);

    // One control line: incoming HANDLE, answer, hangup, busy, cancel, noanswer, fail,
    // status HANDLE ONLINESTATUS, online, offline, refuse, detach (ERROR 68
    // to everything from then on), quit; and for
    // fault tests: say TEXT (TEXT as a notification), garble on|off (every
    // answer replaced by noise, each followed by a noisy notification; the
    // commands still take effect); intrude TEXT (TEXT as a notification from
    // another program on the bus).
    void Control(const QString &line);

public slots:
    Q_SCRIPTABLE QString Invoke(const QString &command);

private:
    struct Call {
        QString id;
        QString partner;
        QString status;
        bool incoming = false;
    };

    QString Answer(const QString &command);
    QString AnswerGetUser(const QStringList &words);
    QString AnswerCall(const QStringList &words);
    QString AnswerSetCall(const QStringList &words);
    Call *FindCall(const QString &id);
    Call *CurrentCall();
    Friend *FindFriend(const QString &handle);
    void SetCallStatus(Call &call, const QString &status);
    void NotifyAll(const QString &text, const QString &except = QString());
    void Intrude(const QString &text);
    void Churn();
    QString Noise();

    QDBusConnection m_bus;
    Options m_options;
    QStringList m_clients;                // programs that attached, told of every change
    QHash<QString, qsizetype> m_friendAt; // by handle
    QTimer m_churn;
    QList<Call> m_calls;
    int m_nextCallId = 101;
    bool m_refusing = false;
    bool m_detached = false; // every command answered ERROR 68
    bool m_garbling = false;
    quint64 m_noiseSeed = 0x5eed;
};

} // namespace vocamo
