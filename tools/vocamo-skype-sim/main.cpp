// vocamo-skype-sim: plays the Skype client on the session bus, so that
// Vocamo's Skype line can run and be tested without Skype.
#include "tools/vocamo-skype-sim/SkypeSim.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

using vocamo::CSkypeSim;

namespace {

bool ParseFriend(const QString &option, CSkypeSim::Friend *out)
{
    // HANDLE:STATUS:Display Name; the name may hold colons of its own.
    const qsizetype first = option.indexOf(QLatin1Char(':'));
    const qsizetype second = first < 0 ? -1 : option.indexOf(QLatin1Char(':'), first + 1);
    if (first <= 0 || second < 0)
        return false;
    out->handle = option.left(first);
    out->status = option.mid(first + 1, second - first - 1);
    out->displayName = option.mid(second + 1);
    return !out->status.isEmpty();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vocamo-skype-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the Skype client on the session bus. Control lines on stdin: incoming HANDLE, "
        "answer, hangup, busy, cancel, noanswer, fail, status HANDLE ONLINESTATUS, online, "
        "offline, refuse, detach, say TEXT, garble on|off, intrude TEXT, quit."));
    parser.addHelpOption();
    QCommandLineOption friendOption(QStringLiteral("friend"),
                                    QStringLiteral("A friend (repeatable)."),
                                    QStringLiteral("HANDLE:STATUS:Display Name"));
    QCommandLineOption userOption(QStringLiteral("user"),
                                  QStringLiteral("The signed-in user's handle."),
                                  QStringLiteral("HANDLE"), QStringLiteral("vocamo.echo"));
    QCommandLineOption answerOption(QStringLiteral("answer-after"),
                                    QStringLiteral("A dialled call answers by itself."),
                                    QStringLiteral("MS"));
    QCommandLineOption offlineOption(QStringLiteral("offline"),
                                     QStringLiteral("Start signed out."));
    QCommandLineOption friendsOption(
        QStringLiteral("friends"),
        QStringLiteral("N more friends friend.1 to friend.N, one in four offline."),
        QStringLiteral("N"));
    QCommandLineOption churnOption(QStringLiteral("churn"),
                                   QStringLiteral("Friends' presence changes a second."),
                                   QStringLiteral("PER_SECOND"));
    parser.addOptions(
        {friendOption, userOption, answerOption, offlineOption, friendsOption, churnOption});
    parser.process(app);

    CSkypeSim::Options options;
    for (const QString &option : parser.values(friendOption)) {
        CSkypeSim::Friend f;
        if (!ParseFriend(option, &f)) {
            std::fprintf(stderr, "vocamo-skype-sim: bad --friend %s\n", qPrintable(option));
            return 2;
        }
        options.friends << f;
    }
    const int generated = parser.value(friendsOption).toInt();
    for (int i = 1; i <= generated; ++i) {
        options.friends << CSkypeSim::Friend{QStringLiteral("friend.%1").arg(i),
                                             i % 4 == 0 ? QStringLiteral("OFFLINE")
                                                        : QStringLiteral("ONLINE"),
                                             QStringLiteral("Friend %1").arg(i)};
    }
    options.churnPerSecond = parser.value(churnOption).toInt();
    options.user = parser.value(userOption);
    if (parser.isSet(answerOption))
        options.answerAfterMs = parser.value(answerOption).toInt();
    options.offline = parser.isSet(offlineOption);

    QDBusConnection bus = QDBusConnection::sessionBus();
    CSkypeSim sim(bus, options);
    QString error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "vocamo-skype-sim: %s\n", qPrintable(error));
        return 1;
    }
    // First line: the name is ours; tests wait for it.
    std::printf("com.Skype.API %s\n", qPrintable(bus.baseService()));
    std::fflush(stdout);

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char chunk[4096];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false); // stdin closed: keep running until killed
            return;
        }
        pending.append(chunk, n);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end)).trimmed();
            pending.remove(0, end + 1);
            if (!line.isEmpty())
                sim.Control(line);
        }
    });
    return app.exec();
}
