#include "tests/support/DBusMock.h"

#include "tests/support/SkypeSimProcess.h"

#include <QDBusConnectionInterface>
#include <QFileInfo>
#include <atomic>

namespace vocamo::test {

namespace {
const QString kPython = QStringLiteral("/usr/bin/python3");
std::atomic<int> g_mocks{0};
} // namespace

CDBusMock::~CDBusMock()
{
    if (!m_connection.isEmpty())
        QDBusConnection::disconnectFromBus(m_connection);
    for (QProcess *p : {&m_server, &m_daemon}) {
        p->kill();
        p->waitForFinished(5000);
    }
}

bool CDBusMock::Available()
{
    return QFileInfo::exists(kPython);
}

bool CDBusMock::StartBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForReadyRead(10000))
        return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    m_connection = QStringLiteral("dbusmock-control-%1").arg(++g_mocks);
    return QDBusConnection::connectToBus(m_address, m_connection).isConnected();
}

bool CDBusMock::StartServer(const QString &templateName, const QString &service,
                            const QString &path, bool system)
{
    m_service = service;
    m_path = path;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(system ? QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS")
                      : QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               m_address);
    m_server.setProcessEnvironment(env);
    QStringList args{QStringLiteral("-m"), QStringLiteral("dbusmock")};
    if (system)
        args << QStringLiteral("--system");
    m_server.start(kPython, args << QStringLiteral("--template") << templateName);
    return PumpUntil([&] { return Control().interface()->isServiceRegistered(service); },
                     std::chrono::seconds(30));
}

QDBusConnection CDBusMock::Control() const
{
    return QDBusConnection(m_connection);
}

QDBusMessage CDBusMock::Mock(const QString &method, const QVariantList &args)
{
    return Call(QStringLiteral("org.freedesktop.DBus.Mock"), method, args);
}

QDBusMessage CDBusMock::Call(const QString &interface, const QString &method,
                             const QVariantList &args)
{
    QDBusMessage m = QDBusMessage::createMethodCall(m_service, m_path, interface, method);
    m.setArguments(args);
    return Control().call(m);
}

} // namespace vocamo::test
