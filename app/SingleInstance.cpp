#include "app/SingleInstance.h"

#include "app/CommandLine.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vocamo {

namespace {

constexpr const char *kVerbs[] = {"show", "dial", "dial-skype"};

// A local address holds at most 108 bytes, its terminator included.
constexpr qsizetype kMaxSocketPath = 100;

QString DisplayTag()
{
    QString display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = QStringLiteral("none");
    // Socket and file names cannot hold every character a display name may.
    for (QChar &c : display)
        if (!c.isLetterOrNumber())
            c = QLatin1Char('_');
    return display;
}

// Empty when path is a folder of this user's alone, else why it is not.
// Anyone who may write the folder may put a link at the lock's place or
// listen on the socket's.
QString WhyNotPrivate(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("not a folder");
    if (st.st_uid != ::geteuid())
        return QStringLiteral("owned by another user");
    if ((st.st_mode & 077) != 0)
        return QStringLiteral("open to other users");
    return {};
}

} // namespace

QByteArray InstanceRequest::Encode() const
{
    QByteArray line = kVerbs[static_cast<int>(verb)];
    if (verb != Verb::Show)
        line += ' ' + QByteArray::fromStdString(argument);
    return line + '\n';
}

std::optional<InstanceRequest> InstanceRequest::Decode(const QByteArray &line)
{
    const qsizetype space = line.indexOf(' ');
    const QByteArray verb = space < 0 ? line : line.left(space);
    const QString argument = space < 0 ? QString() : QString::fromUtf8(line.mid(space + 1));
    InstanceRequest request;
    if (verb == kVerbs[0] && space < 0)
        return request;
    std::optional<std::string> canonical;
    if (verb == kVerbs[1]) {
        request.verb = Verb::Dial;
        canonical = NormaliseNumber(argument);
    } else if (verb == kVerbs[2]) {
        request.verb = Verb::DialSkype;
        canonical = NormaliseHandle(argument);
    }
    // Only what this program's own command line would have sent.
    if (!canonical || QString::fromStdString(*canonical) != argument)
        return std::nullopt;
    request.argument = std::move(*canonical);
    return request;
}

CSingleInstance::CSingleInstance(const QString &name, Limits limits) : m_limits(limits)
{
    const QString base =
        QStringLiteral("%1-%2-%3").arg(name, QString::number(::geteuid()), DisplayTag());
    // The user's runtime folder when it is theirs alone and short enough for
    // a socket; else a private folder of the program's own, never a shared one.
    const QString fallback = QDir::tempPath() + QStringLiteral("/vocamo-%1").arg(::geteuid());
    QString why;
    for (const QString &folder : {qEnvironmentVariable("XDG_RUNTIME_DIR"), fallback}) {
        if (folder.isEmpty())
            continue;
        if (folder == fallback)
            ::mkdir(QFile::encodeName(folder).constData(), 0700);
        why = WhyNotPrivate(folder);
        const QString socket = QDir(folder).filePath(base + QStringLiteral(".sock"));
        if (why.isEmpty() && QFile::encodeName(socket).size() >= kMaxSocketPath)
            why = QStringLiteral("too deep for a socket");
        if (why.isEmpty()) {
            m_folder = folder;
            m_lockPath = QDir(folder).filePath(base + QStringLiteral(".lock"));
            m_serverName = socket;
            break;
        }
    }
    if (m_folder.isEmpty())
        m_error = QStringLiteral("no private folder for the single-instance lock: %1 is %2")
                      .arg(fallback, why);
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

CSingleInstance::~CSingleInstance() = default;

CSingleInstance::Outcome CSingleInstance::Acquire()
{
    if (m_folder.isEmpty())
        return Outcome::Failed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        m_lock = std::make_unique<QLockFile>(m_lockPath);
        // A lock left by a crashed instance is taken over (Qt checks its owner).
        m_lock->setStaleLockTime(0);
        // The wait covers another start that has created the file but not yet
        // written its owner into it.
        if (m_lock->tryLock(attempt == 0 ? 0 : 200)) {
            Listen();
            return Outcome::Acquired;
        }
        qint64 pid = 0;
        QString host;
        QString app;
        if (m_lock->error() == QLockFile::LockFailedError && m_lock->getLockInfo(&pid, &host, &app))
            return Outcome::Running;
        m_lock.reset();
        // Empty, garbage or unreadable: no instance wrote it. Anything but a
        // plain file is left for the user to look at.
        struct stat st {};
        const QByteArray path = QFile::encodeName(m_lockPath);
        if (::lstat(path.constData(), &st) == 0 && !S_ISREG(st.st_mode)) {
            m_error = QStringLiteral("cannot take the lock %1: it is not a file").arg(m_lockPath);
            return Outcome::Failed;
        }
        if (attempt == 1)
            break;
        if (::unlink(path.constData()) != 0 && errno != ENOENT) {
            m_error = QStringLiteral("cannot remove the broken lock %1: %2")
                          .arg(m_lockPath, QString::fromLocal8Bit(std::strerror(errno)));
            return Outcome::Failed;
        }
    }
    m_error = QStringLiteral("cannot take the lock %1").arg(m_lockPath);
    return Outcome::Failed;
}

bool CSingleInstance::Listen()
{
    // Only a crashed instance of ours can have left a socket in our folder.
    QLocalServer::removeServer(m_serverName);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_serverName))
        return true;
    m_listenError = QStringLiteral("cannot listen on %1 (%2): a later start cannot reach "
                                   "this one")
                        .arg(m_serverName, m_server.errorString());
    return false;
}

bool CSingleInstance::Send(const InstanceRequest &request, int timeoutMs)
{
    // The running instance may have taken the lock and not be listening yet.
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(static_cast<int>(deadline.remainingTime())))
            break;
        if (deadline.hasExpired())
            return false;
        socket.abort();
        QThread::msleep(50);
    }
    socket.write(request.Encode());
    if (!socket.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
        return false;
    // It closes the connection once it has read the request.
    return socket.state() == QLocalSocket::UnconnectedState ||
           socket.waitForDisconnected(static_cast<int>(deadline.remainingTime()));
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        if (m_connections >= m_limits.connections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        // Qt reads no more than this ahead of us, whatever the other end sends.
        socket->setReadBufferSize(kMaxRequest);
        QTimer::singleShot(m_limits.requestMs, socket, [socket] { socket->abort(); });
        // The request may already be waiting, or the other start may be
        // gone by now: look at once, on new data and at the end.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Serve(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            Serve(socket);
            socket->deleteLater();
        });
        Serve(socket);
    }
}

void CSingleInstance::Serve(QLocalSocket *socket)
{
    if (socket->property("vocamoServed").toBool())
        return;
    const QByteArray waiting = socket->peek(kMaxRequest);
    const qsizetype end = waiting.indexOf('\n');
    const bool full = waiting.size() >= kMaxRequest;
    if (end < 0 && !full && socket->state() == QLocalSocket::ConnectedState)
        return;
    socket->setProperty("vocamoServed", true);
    const std::optional<InstanceRequest> request =
        end < 0 ? std::nullopt : InstanceRequest::Decode(waiting.left(end));
    if (!request)
        qWarning("vocamo: a request on %s that is not show, dial or dial-skype was ignored",
                 qPrintable(m_serverName));
    // Closed first: the request may start a modal box or a call.
    socket->abort();
    socket->deleteLater();
    if (request && m_onRequest)
        m_onRequest(*request);
}

} // namespace vocamo
