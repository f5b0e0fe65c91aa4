#include "tools/vocamo-skype-sim/SkypeSimProcess.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <atomic>
#include <csignal>

namespace vocamo {

namespace {

std::atomic<int> g_connections{0};

} // namespace

CSkypeSimProcess::CSkypeSimProcess()
    : m_connection(QStringLiteral("vocamo-skype-test-%1").arg(++g_connections))
{
}

CSkypeSimProcess::~CSkypeSimProcess()
{
    Kill();
    QDBusConnection::disconnectFromBus(m_connection);
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }
}

bool CSkypeSimProcess::StartBus()
{
    if (!m_address.isEmpty())
        return true;
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    QDeadlineTimer deadline(5000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired()) {
        if (!m_daemon.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        out += m_daemon.readAllStandardOutput();
    }
    if (!out.contains('\n')) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + m_daemon.errorString();
        return false;
    }
    m_address = QString::fromUtf8(out.left(out.indexOf('\n'))).trimmed();
    QDBusConnection bus = QDBusConnection::connectToBus(m_address, m_connection);
    if (!bus.isConnected()) {
        m_error = QStringLiteral("cannot connect to ") + m_address;
        return false;
    }
    return true;
}

bool CSkypeSimProcess::Start(const QStringList &simArguments, bool quiet)
{
    if (!StartBus())
        return false;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_address);
    m_sim.setProcessEnvironment(env);
    m_sim.setProgram(QStringLiteral(VOCAMO_SKYPE_SIM));
    m_sim.setArguments(simArguments);
    if (quiet)
        m_sim.setStandardErrorFile(QProcess::nullDevice());
    m_sim.start();
    QDeadlineTimer deadline(5000);
    QByteArray out;
    while (!out.contains('\n') && !deadline.hasExpired()) {
        if (!m_sim.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        out += m_sim.readAllStandardOutput();
    }
    m_log += m_sim.readAllStandardError();
    if (!out.startsWith("com.Skype.API ")) {
        m_error = QStringLiteral("vocamo-skype-sim did not come up: ") + QString::fromUtf8(m_log);
        return false;
    }
    m_simName = QString::fromUtf8(out.mid(14, out.indexOf('\n') - 14)).trimmed();
    m_stopped = false;
    return true;
}

void CSkypeSimProcess::Kill()
{
    if (m_sim.state() == QProcess::NotRunning)
        return;
    if (m_stopped)
        Continue();
    m_sim.kill();
    m_sim.waitForFinished(2000);
    m_log += m_sim.readAllStandardError();
}

void CSkypeSimProcess::Stop()
{
    ::kill(static_cast<pid_t>(m_sim.processId()), SIGSTOP);
    m_stopped = true;
}

void CSkypeSimProcess::Continue()
{
    ::kill(static_cast<pid_t>(m_sim.processId()), SIGCONT);
    m_stopped = false;
}

void CSkypeSimProcess::Control(const QString &line)
{
    m_sim.write((line + QLatin1Char('\n')).toUtf8());
    m_sim.waitForBytesWritten(1000);
}

QDBusConnection CSkypeSimProcess::Bus() const
{
    return QDBusConnection(m_connection);
}

QString CSkypeSimProcess::SimLog()
{
    m_log += m_sim.readAllStandardError();
    return QString::fromUtf8(m_log);
}

} // namespace vocamo
