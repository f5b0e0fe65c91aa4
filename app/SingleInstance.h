#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vocamo {

// What a later start asks of the running phone: one line, a verb and its
// argument ("show", "dial 0171555", "dial-skype echo123").
struct InstanceRequest {
    enum class Verb { Show, Dial, DialSkype };
    Verb verb = Verb::Show;
    std::string argument;

    QByteArray Encode() const;
    // A line without its newline; nothing for anything but the verbs above
    // with a well-formed number or handle.
    static std::optional<InstanceRequest> Decode(const QByteArray &line);
};

// How much the single-instance server puts up with from one connection.
struct InstanceLimits {
    int requestMs = 2000; // a connection is closed after this, request or not
    int connections = 8;  // more at once are turned away
};

// One instance per user and display: a lock file in the user's own runtime
// folder and a local server of the same name. A second start finds the lock
// held and hands its request to the running instance.
class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Acquired, Running, Failed };
    using Limits = InstanceLimits;
    static constexpr qsizetype kMaxRequest = 4096;

    // name: "Vocamo"; the display is added so each desktop has its own phone.
    explicit CSingleInstance(const QString &name = QStringLiteral("Vocamo"), Limits limits = {});
    ~CSingleInstance() override;

    // Acquired: this process is the only instance, holds the lock and
    // listens (ListenError() says when it could not). Running: another live
    // instance holds the lock. Failed: ErrorText() says why.
    Outcome Acquire();
    QString ErrorText() const { return m_error; }
    QString ListenError() const { return m_listenError; }

    // Hands the request to the running instance; false when none took it.
    bool Send(const InstanceRequest &request, int timeoutMs = 2000);

    // Called on the window thread for every well-formed request.
    void SetOnRequest(std::function<void(const InstanceRequest &)> onRequest)
    {
        m_onRequest = std::move(onRequest);
    }

    QString Folder() const { return m_folder; }
    QString LockPath() const { return m_lockPath; }
    QString ServerName() const { return m_serverName; }
    int Connections() const { return m_connections; }

private:
    void OnNewConnection();
    void Serve(class QLocalSocket *socket);
    bool Listen();

    const Limits m_limits;
    QString m_folder;
    QString m_lockPath;
    QString m_serverName;
    QString m_error;
    QString m_listenError;
    std::unique_ptr<QLockFile> m_lock;
    int m_connections = 0; // outlives the server, whose sockets count down
    QLocalServer m_server;
    std::function<void(const InstanceRequest &)> m_onRequest;
};

} // namespace vocamo
