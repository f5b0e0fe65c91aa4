#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

namespace vocamo {

namespace {

const QByteArray kRestoreRequest = "restore\n";

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

} // namespace

CSingleInstance::CSingleInstance(const QString &name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QString base =
        QStringLiteral("%1-%2-%3").arg(name, QString::number(getuid()), DisplayTag());
    m_lockPath = QDir(dir).filePath(base + QStringLiteral(".lock"));
    m_serverName = QDir(dir).filePath(base + QStringLiteral(".sock"));
    // A socket path must fit sockaddr_un (108 bytes); a deep runtime folder
    // gets a name in the temporary folder instead, tied to that folder.
    if (QFile::encodeName(m_serverName).size() >= 100) {
        const QByteArray tag =
            QCryptographicHash::hash(QFile::encodeName(dir), QCryptographicHash::Sha1)
                .toHex()
                .left(12);
        m_serverName = base + QLatin1Char('-') + QString::fromLatin1(tag) + QStringLiteral(".sock");
    }
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

CSingleInstance::~CSingleInstance() = default;

bool CSingleInstance::Acquire()
{
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock left by a crashed instance is taken over (Qt checks its owner).
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        return false;
    }
    QLocalServer::removeServer(m_serverName);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(m_serverName);
    return true;
}

bool CSingleInstance::WakeRunningInstance(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kRestoreRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // The request may already be waiting, or the other start may be
        // gone by now: look at once, on new data and at the end.
        auto restoreOnce = [this, socket] {
            if (socket->property("vocamoHandled").toBool())
                return;
            if (!socket->peek(4096).contains('\n'))
                return;
            socket->setProperty("vocamoHandled", true);
            socket->readAll();
            if (m_onRestore)
                m_onRestore();
        };
        connect(socket, &QLocalSocket::readyRead, this, restoreOnce);
        connect(socket, &QLocalSocket::disconnected, this, [socket, restoreOnce] {
            restoreOnce();
            socket->deleteLater();
        });
        restoreOnce();
    }
}
} // namespace vocamo
