#include "skype/DBusSkypeTransport.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEvent>
#include <QLoggingCategory>
#include <QThread>
#include <atomic>

namespace vocamo {

namespace {

Q_LOGGING_CATEGORY(lcSkype, "vocamo.skype", QtWarningMsg)

const QString kService = QStringLiteral("com.Skype.API");
const QString kPath = QStringLiteral("/com/Skype");
const QString kInterface = QStringLiteral("com.Skype.API");
const QString kClientPath = QStringLiteral("/com/Skype/Client");

QDBusMessage Invoke(const QString &client, const QString &command)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(client, kPath, kInterface, QStringLiteral("Invoke"));
    call << command;
    return call;
}

bool IsTimeout(const QDBusError &error)
{
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout;
}

// What another thread hands to the transport's thread: a client's text to
// deliver, or, without a client, a discovery to start.
class CRelayEvent : public QEvent {
public:
    CRelayEvent(std::string client_, std::string text_)
        : QEvent(Type()), client(std::move(client_)), text(std::move(text_))
    {
    }
    static QEvent::Type Type()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    const std::string client;
    const std::string text;
};

// Released by every relay, acquired by every receipt: Qt's queue does the
// same, but with locks that ThreadSanitizer cannot see.
std::atomic<unsigned long> g_relays{0};

} // namespace

CDBusSkypeTransport::CDBusSkypeTransport(QDBusConnection bus, std::chrono::milliseconds timeout,
                                         QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_timeoutMs(static_cast<int>(timeout.count())),
      m_watcher(kService, m_bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    if (m_bus.isConnected())
        m_registered =
            m_bus.registerObject(kClientPath, this, QDBusConnection::ExportScriptableSlots);
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &CDBusSkypeTransport::OnOwnerChanged);
}

CDBusSkypeTransport::~CDBusSkypeTransport()
{
    if (m_registered)
        m_bus.unregisterObject(kClientPath);
}

void CDBusSkypeTransport::SetSink(CSkypeTransportSink *sink)
{
    m_sink = sink;
}

void CDBusSkypeTransport::Discover()
{
    // Always by way of the window thread's queue, so that no caller waits.
    Relay({}, {});
}

// Who owns the name, then NAME and PROTOCOL to that owner; the answers
// become attach statuses. Every step is asynchronous.
void CDBusSkypeTransport::StartDiscovery()
{
    if (m_discovering || !m_bus.isConnected())
        return;
    m_discovering = true;
    QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetNameOwner"));
    ask << kService;
    auto *watch = new QDBusPendingCallWatcher(m_bus.asyncCall(ask, m_timeoutMs), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        QDBusPendingReply<QString> reply = *w;
        if (reply.isError()) {
            m_discovering = false;
            if (reply.error().name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner"))
                m_noOwner = true;
            return;
        }
        SetOwner(reply.value());
        AskName(reply.value());
    });
}

void CDBusSkypeTransport::AskName(const QString &owner)
{
    auto *watch = new QDBusPendingCallWatcher(
        m_bus.asyncCall(Invoke(owner, QStringLiteral("NAME Vocamo")), m_timeoutMs), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this,
            [this, owner](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                QDBusPendingReply<QString> reply = *w;
                if (reply.isError()) {
                    m_discovering = false;
                    // A client that does not answer is waiting for the user.
                    if (IsTimeout(reply.error()))
                        DeliverAttach(owner, SKYPE_ATTACH_PENDING_AUTHORIZATION);
                    return;
                }
                const QString answer = reply.value();
                if (answer == QLatin1String("OK")) {
                    AskProtocol(owner);
                    return;
                }
                m_discovering = false;
                if (answer == QLatin1String("ERROR 68"))
                    DeliverAttach(owner, SKYPE_ATTACH_REFUSED);
                else if (answer == QLatin1String("CONNSTATUS OFFLINE"))
                    DeliverAttach(owner, SKYPE_ATTACH_NOT_AVAILABLE);
            });
}

void CDBusSkypeTransport::AskProtocol(const QString &owner)
{
    auto *watch = new QDBusPendingCallWatcher(
        m_bus.asyncCall(Invoke(owner, QStringLiteral("PROTOCOL 5")), m_timeoutMs), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this,
            [this, owner](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                m_discovering = false;
                DeliverAttach(owner, SKYPE_ATTACH_SUCCESS);
            });
}

void CDBusSkypeTransport::OnOwnerChanged(const QString &, const QString &oldOwner,
                                         const QString &newOwner)
{
    SetOwner(newOwner);
    if (!oldOwner.isEmpty())
        DeliverAttach(oldOwner, SKYPE_ATTACH_NOT_AVAILABLE);
    if (!newOwner.isEmpty())
        DeliverAttach(newOwner, SKYPE_ATTACH_API_AVAILABLE);
}

bool CDBusSkypeTransport::Send(const std::string &client, std::string_view text)
{
    if (client.empty() || !m_bus.isConnected())
        return false;
    const QDBusMessage reply =
        m_bus.call(Invoke(QString::fromStdString(client),
                          QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))),
                   QDBus::Block, m_timeoutMs);
    return TakeReply(client, reply);
}

// The ping's answer is not waited for: one in kSkypeAnswerEvery asks for
// one, and it is looked at when the next ping goes out. A client that
// answered with an error (ERROR 68: the user took our access away), or not
// at all within the time-out, is as gone as one a send cannot reach. Asking
// every ping for its answer would wake the bus thread once more each pass.
bool CDBusSkypeTransport::Post(const std::string &client, std::string_view text)
{
    if (client.empty() || !m_bus.isConnected())
        return false;
    const QString to = QString::fromStdString(client);
    {
        std::lock_guard lock(m_ownerMutex);
        if (to != m_owner)
            return false;
    }
    std::lock_guard lock(m_postMutex);
    if (m_posted && m_postedTo == to) {
        if (!m_posted->isFinished())
            return true; // it has until its time-out to answer
        const QDBusMessage answer = m_posted->reply();
        const QString reply = answer.arguments().value(0).toString();
        if (answer.type() != QDBusMessage::ReplyMessage || reply.startsWith(u"ERROR")) {
            m_posted.reset();
            return false;
        }
    }
    m_posted.reset();
    const QDBusMessage command =
        Invoke(to, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    if (m_posts++ % kSkypeAnswerEvery != 0)
        return m_bus.send(command); // send() marks a method call as wanting no reply
    m_posted = m_bus.asyncCall(command, m_timeoutMs);
    m_postedTo = to;
    return true;
}

void CDBusSkypeTransport::SetOwner(const QString &owner)
{
    std::lock_guard lock(m_ownerMutex);
    m_owner = owner;
    m_noOwner = owner.isEmpty();
}

// Without a bus there is nobody to find, now or later.
bool CDBusSkypeTransport::MayHaveClient() const
{
    return !m_noOwner && m_bus.isConnected();
}

std::vector<bool> CDBusSkypeTransport::SendBatch(const std::string &client,
                                                 const std::vector<std::string> &texts)
{
    if (client.empty() || !m_bus.isConnected())
        return std::vector<bool>(texts.size(), false);
    const QString to = QString::fromStdString(client);
    // One connection keeps its messages in order, so the client sees the
    // commands as they were listed; their time-outs run side by side.
    std::vector<QDBusPendingCall> calls;
    calls.reserve(texts.size());
    for (const std::string &text : texts)
        calls.push_back(m_bus.asyncCall(Invoke(to, QString::fromStdString(text)), m_timeoutMs));
    std::vector<bool> accepted;
    accepted.reserve(texts.size());
    for (QDBusPendingCall &call : calls) {
        call.waitForFinished();
        accepted.push_back(TakeReply(client, call.reply()));
    }
    return accepted;
}

// A non-empty answer is a notification from the client: handed over at
// once on the window thread, queued to it from any other.
bool CDBusSkypeTransport::TakeReply(const std::string &client, const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage) {
        qCDebug(lcSkype) << "send failed:" << reply.errorName();
        return false;
    }
    const QVariant first = reply.arguments().value(0);
    if (first.metaType().id() != QMetaType::QString)
        return true;
    const QString answer = first.toString();
    if (answer.isEmpty())
        return true;
    if (QThread::currentThread() == thread())
        DeliverText(client, answer.toStdString());
    else
        Relay(client, answer.toStdString());
    return true;
}

void CDBusSkypeTransport::Relay(std::string client, std::string text)
{
    auto *relay = new CRelayEvent(std::move(client), std::move(text));
    g_relays.fetch_add(1, std::memory_order_release);
    QCoreApplication::postEvent(this, relay); // takes ownership
}

bool CDBusSkypeTransport::event(QEvent *event)
{
    g_relays.load(std::memory_order_acquire); // before anything of the event is read
    if (event->type() != CRelayEvent::Type())
        return QObject::event(event);
    const auto *relay = static_cast<const CRelayEvent *>(event);
    if (relay->client.empty())
        StartDiscovery();
    else
        DeliverText(relay->client, relay->text);
    return true;
}

// Anyone on the bus can call this; only the owner of the client's name is
// heard.
void CDBusSkypeTransport::Notify(const QString &text)
{
    const QString sender = calledFromDBus() ? message().service() : QString();
    {
        std::lock_guard lock(m_ownerMutex);
        if (sender.isEmpty() || sender != m_owner)
            return;
    }
    DeliverText(sender.toStdString(), text.toStdString());
}

void CDBusSkypeTransport::DeliverAttach(const QString &client, uint32_t status)
{
    qCDebug(lcSkype) << "attach" << client << status;
    if (m_sink)
        m_sink->OnAttach(client.toStdString(), status);
}

void CDBusSkypeTransport::DeliverText(const std::string &sender, const std::string &text)
{
    if (m_sink)
        m_sink->OnCopyData(sender, text);
}

} // namespace vocamo
