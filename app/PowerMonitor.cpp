#include "app/PowerMonitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>

namespace vocamo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kInterface = QStringLiteral("org.freedesktop.login1.Manager");
} // namespace

CPowerMonitor::CPowerMonitor(Handler handler, QObject *parent)
    : QObject(parent), m_handler(std::move(handler))
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    m_connected = bus.connect(kService, kPath, kInterface, QStringLiteral("PrepareForSleep"), this,
                              SLOT(OnPrepareForSleep(bool)));
    if (m_connected)
        TakeInhibitor();
}

CPowerMonitor::~CPowerMonitor()
{
    if (m_connected)
        QDBusConnection::systemBus().disconnect(kService, kPath, kInterface,
                                                QStringLiteral("PrepareForSleep"), this,
                                                SLOT(OnPrepareForSleep(bool)));
}

void CPowerMonitor::TakeInhibitor()
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Vocamo")
         << QStringLiteral("Ending the call before suspend") << QStringLiteral("delay");
    // Short: logind answers at once, and a missing logind must not stall start-up.
    QDBusReply<QDBusUnixFileDescriptor> reply =
        QDBusConnection::systemBus().call(call, QDBus::Block, 1000);
    if (reply.isValid())
        m_inhibitor = reply.value();
}

void CPowerMonitor::ReleaseInhibitor()
{
    // Closing our copy of the descriptor releases the delay lock.
    m_inhibitor = QDBusUnixFileDescriptor();
}

void CPowerMonitor::OnPrepareForSleep(bool start)
{
    if (m_handler)
        m_handler(start);
    if (start)
        ReleaseInhibitor();
    else
        TakeInhibitor();
}

} // namespace vocamo
