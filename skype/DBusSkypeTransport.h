#pragma once

#include "skype/SkypeTransport.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>

namespace vocamo {

// How long a command may wait for the client's answer.
constexpr std::chrono::milliseconds kSkypeInvokeTimeout{2000};
// One posted command in this many asks for the client's answer.
constexpr unsigned kSkypeAnswerEvery = 3;

// The Skype client on the session bus: it owns com.Skype.API and answers
// Invoke on /com/Skype; we export /com/Skype/Client, whose Notify the client
// calls without waiting. Lives on the window thread and delivers everything
// the client sends to the sink there. One per connection (it owns the
// object path), kept for the window's life while bridges come and go.
class CDBusSkypeTransport : public QObject, protected QDBusContext, public CSkypeTransport {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.Skype.API.Client")

public:
    explicit CDBusSkypeTransport(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 std::chrono::milliseconds timeout = kSkypeInvokeTimeout,
                                 QObject *parent = nullptr);
    ~CDBusSkypeTransport() override;

    // False when the bus is missing or our object path is taken.
    bool IsRegistered() const { return m_registered; }

    void SetSink(CSkypeTransportSink *sink) override;
    void Discover() override;
    bool MayHaveClient() const override;
    bool Send(const std::string &client, std::string_view text) override;
    bool Post(const std::string &client, std::string_view text) override;
    std::vector<bool> SendBatch(const std::string &client,
                                const std::vector<std::string> &texts) override;

public slots:
    Q_SCRIPTABLE Q_NOREPLY void Notify(const QString &text);

protected:
    bool event(QEvent *event) override;

private:
    // Hands a client's text (or, with no client, a discovery) to the
    // transport's own thread.
    void Relay(std::string client, std::string text);
    void StartDiscovery();
    void AskName(const QString &owner);
    void AskProtocol(const QString &owner);
    void OnOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);
    void SetOwner(const QString &owner);
    void DeliverAttach(const QString &client, uint32_t status);
    bool TakeReply(const std::string &client, const QDBusMessage &reply);
    void DeliverText(const std::string &sender, const std::string &text);

    QDBusConnection m_bus;
    const int m_timeoutMs;
    bool m_registered = false;
    bool m_discovering = false;
    CSkypeTransportSink *m_sink = nullptr;
    QDBusServiceWatcher m_watcher;
    // Who owns com.Skype.API as the bus last told us; Post reads it from
    // the worker.
    std::mutex m_ownerMutex;
    QString m_owner;
    // The bus said nobody owns com.Skype.API; its watcher tells us of the
    // next owner.
    std::atomic<bool> m_noOwner{false};
    // The last command posted, whose answer the next Post looks at.
    std::mutex m_postMutex;
    std::optional<QDBusPendingCall> m_posted;
    QString m_postedTo;
    unsigned m_posts = 0;
};

} // namespace vocamo
