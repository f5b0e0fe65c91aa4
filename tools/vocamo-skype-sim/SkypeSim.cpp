#include "tools/vocamo-skype-sim/SkypeSim.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace vocamo {

namespace {

const QString kService = QStringLiteral("com.Skype.API");
const QString kClientPath = QStringLiteral("/com/Skype/Client");
const QString kClientInterface = QStringLiteral("com.Skype.API.Client");

void Log(const char *direction, const QString &text)
{
    std::fprintf(stderr, "%s %s\n", direction, text.toUtf8().constData());
    std::fflush(stderr);
}

bool IsFinal(const QString &status)
{
    static const QStringList kFinal{QStringLiteral("FINISHED"), QStringLiteral("FAILED"),
                                    QStringLiteral("MISSED"),   QStringLiteral("REFUSED"),
                                    QStringLiteral("BUSY"),     QStringLiteral("CANCELLED")};
    return kFinal.contains(status);
}

} // namespace

CSkypeSim::CSkypeSim(QDBusConnection bus, Options options)
    : m_bus(std::move(bus)), m_options(std::move(options))
{
    for (qsizetype i = 0; i < m_options.friends.size(); ++i)
        m_friendAt.insert(m_options.friends[i].handle, i);
    if (m_options.churnPerSecond > 0) {
        connect(&m_churn, &QTimer::timeout, this, &CSkypeSim::Churn);
        m_churn.start(std::max(1, 1000 / m_options.churnPerSecond));
    }
}

// One friend's presence changes, a different one each time, as on a big
// list where someone always comes, goes or steps away.
void CSkypeSim::Churn()
{
    static const QString kStatuses[] = {QStringLiteral("ONLINE"), QStringLiteral("AWAY"),
                                        QStringLiteral("NA"), QStringLiteral("DND"),
                                        QStringLiteral("OFFLINE")};
    if (m_options.friends.isEmpty() || m_clients.isEmpty())
        return;
    m_noiseSeed = m_noiseSeed * 6364136223846793005ull + 1442695040888963407ull;
    const quint64 pick = m_noiseSeed >> 33;
    Friend &f = m_options.friends[static_cast<qsizetype>(pick % m_options.friends.size())];
    const QString &status = kStatuses[(pick / 7) % 5];
    if (status == f.status)
        return;
    f.status = status;
    NotifyAll(QStringLiteral("USER %1 ONLINESTATUS %2").arg(f.handle, f.status));
}

bool CSkypeSim::Start(QString *error)
{
    if (!m_bus.isConnected()) {
        *error = QStringLiteral("no session bus");
        return false;
    }
    if (!m_bus.registerObject(QStringLiteral("/com/Skype"), this,
                              QDBusConnection::ExportScriptableSlots)) {
        *error = QStringLiteral("cannot export /com/Skype");
        return false;
    }
    const auto reply =
        m_bus.interface()->registerService(kService, QDBusConnectionInterface::DontQueueService,
                                           QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        *error = QStringLiteral("%1 is taken").arg(kService);
        return false;
    }
    return true;
}

QString CSkypeSim::Invoke(const QString &command)
{
    Log("<-", command);
    const QString answer = Answer(command);
    if (m_garbling) {
        const QString noise = Noise();
        Log("->", noise);
        NotifyAll(Noise());
        return noise;
    }
    // A caller that asked for no reply gets none; the log says so.
    const bool replied = !calledFromDBus() || message().isReplyRequired();
    Log(replied ? "->" : "-x", answer);
    return answer;
}

// Up to 200 characters of anything: control characters, letters, digits,
// punctuation, other scripts, replacement characters and emoji.
QString CSkypeSim::Noise()
{
    static const char32_t kPool[] = {0x01, 0x07, 0x09, 0x0a, 0x0d,  0x1b,   0x7f,   ' ',    ',',
                                     '#',  '$',  ';',  0xe9, 0x416, 0x4e2d, 0xfffd, 0x1f4de};
    auto next = [this] {
        m_noiseSeed = m_noiseSeed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<quint32>(m_noiseSeed >> 33);
    };
    QString noise;
    const quint32 length = 1 + next() % 200;
    for (quint32 i = 0; i < length; ++i) {
        const quint32 pick = next() % 64;
        char32_t c = 0;
        if (pick < sizeof kPool / sizeof kPool[0])
            c = kPool[pick];
        else if (pick < 40)
            c = U'a' + next() % 26;
        else if (pick < 52)
            c = U'A' + next() % 26;
        else
            c = U'0' + next() % 10;
        if (noise.isEmpty() && c == U' ')
            c = U'#';
        noise += QString::fromUcs4(&c, 1);
    }
    return noise;
}

QString CSkypeSim::Answer(const QString &command)
{
    const QStringList words = command.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString first = words.value(0);
    const bool online = !m_options.offline;
    if (m_detached)
        return QStringLiteral("ERROR 68");

    if (first == QLatin1String("NAME")) {
        if (m_refusing)
            return QStringLiteral("ERROR 68");
        if (!online)
            return QStringLiteral("CONNSTATUS OFFLINE");
        const QString sender = calledFromDBus() ? message().service() : QString();
        if (!sender.isEmpty() && !m_clients.contains(sender))
            m_clients << sender;
        return QStringLiteral("OK");
    }
    if (first == QLatin1String("PROTOCOL"))
        return QStringLiteral("PROTOCOL %1").arg(words.value(1, QStringLiteral("1")));
    if (command == QLatin1String("PING"))
        return QStringLiteral("PONG");
    if (command == QLatin1String("GET CONNSTATUS"))
        return online ? QStringLiteral("CONNSTATUS ONLINE") : QStringLiteral("CONNSTATUS OFFLINE");
    if (command == QLatin1String("GET CURRENTUSERHANDLE"))
        return QStringLiteral("CURRENTUSERHANDLE ") + m_options.user;
    if (command == QLatin1String("GET USERSTATUS"))
        return online ? QStringLiteral("USERSTATUS ONLINE") : QStringLiteral("USERSTATUS OFFLINE");
    if (command == QLatin1String("SEARCH FRIENDS")) {
        QStringList handles;
        for (const Friend &f : m_options.friends)
            handles << f.handle;
        return handles.isEmpty() ? QStringLiteral("USERS")
                                 : QStringLiteral("USERS ") + handles.join(QStringLiteral(", "));
    }
    if (command == QLatin1String("SEARCH ACTIVECALLS")) {
        QStringList ids;
        for (const Call &call : std::as_const(m_calls)) {
            if (!IsFinal(call.status))
                ids << call.id;
        }
        return QStringLiteral("CALLS %1").arg(ids.join(QStringLiteral(", "))).trimmed();
    }
    if (first == QLatin1String("GET") && words.value(1) == QLatin1String("USER"))
        return AnswerGetUser(words);
    if (first == QLatin1String("GET") && words.value(1) == QLatin1String("CALL")) {
        Call *call = FindCall(words.value(2));
        if (!call)
            return QStringLiteral("ERROR 11 Invalid call id");
        if (words.value(3) == QLatin1String("PARTNER_HANDLE"))
            return QStringLiteral("CALL %1 PARTNER_HANDLE %2").arg(call->id, call->partner);
        if (words.value(3) == QLatin1String("STATUS"))
            return QStringLiteral("CALL %1 STATUS %2").arg(call->id, call->status);
        return QStringLiteral("ERROR 7 GET: invalid WHAT");
    }
    if (first == QLatin1String("CALL"))
        return AnswerCall(words);
    if (first == QLatin1String("SET") && words.value(1) == QLatin1String("CALL"))
        return AnswerSetCall(words);
    return QStringLiteral("ERROR 2 Unknown command");
}

QString CSkypeSim::AnswerGetUser(const QStringList &words)
{
    const Friend *f = FindFriend(words.value(2));
    const QString property = words.value(3);
    if (!f)
        return QStringLiteral("ERROR 26 Invalid user handle");
    QString value;
    if (property == QLatin1String("FULLNAME") || property == QLatin1String("DISPLAYNAME"))
        value = f->displayName;
    else if (property == QLatin1String("HANDLE"))
        value = f->handle;
    else if (property == QLatin1String("BUDDYSTATUS"))
        value = QStringLiteral("3");
    else if (property == QLatin1String("ISAUTHORIZED"))
        value = QStringLiteral("TRUE");
    else if (property == QLatin1String("ISBLOCKED"))
        value = QStringLiteral("FALSE");
    else if (property == QLatin1String("ONLINESTATUS"))
        value = f->status;
    else
        return QStringLiteral("ERROR 10 Invalid property");
    return QStringLiteral("USER %1 %2 %3").arg(f->handle, property, value);
}

// A dialled call: the answer says it is not placed yet; routing and the far
// end ringing follow as notifications, and an answer after --answer-after.
QString CSkypeSim::AnswerCall(const QStringList &words)
{
    if (words.size() < 2)
        return QStringLiteral("ERROR 34 Invalid user handle");
    Call call;
    call.id = QString::number(m_nextCallId++);
    call.partner = words.value(1);
    call.status = QStringLiteral("UNPLACED");
    m_calls << call;
    const QString id = call.id;
    QTimer::singleShot(0, this, [this, id] {
        if (Call *c = FindCall(id); c && c->status == QLatin1String("UNPLACED"))
            SetCallStatus(*c, QStringLiteral("ROUTING"));
    });
    QTimer::singleShot(20, this, [this, id] {
        if (Call *c = FindCall(id); c && c->status == QLatin1String("ROUTING"))
            SetCallStatus(*c, QStringLiteral("RINGING"));
    });
    if (m_options.answerAfterMs >= 0) {
        QTimer::singleShot(m_options.answerAfterMs, this, [this, id] {
            Call *c = FindCall(id);
            if (c && !IsFinal(c->status) && c->status != QLatin1String("INPROGRESS"))
                SetCallStatus(*c, QStringLiteral("INPROGRESS"));
        });
    }
    return QStringLiteral("CALL %1 STATUS UNPLACED").arg(id);
}

QString CSkypeSim::AnswerSetCall(const QStringList &words)
{
    Call *call = FindCall(words.value(2));
    if (!call)
        return QStringLiteral("ERROR 11 Invalid call id");
    if (words.value(3) != QLatin1String("STATUS"))
        return QStringLiteral("ERROR 7 Invalid property");
    const QString status = words.value(4);
    if (status != QLatin1String("INPROGRESS") && status != QLatin1String("FINISHED"))
        return QStringLiteral("ERROR 7 Invalid status");
    if (IsFinal(call->status))
        return QStringLiteral("ERROR 11 Call is over");
    call->status = status;
    // The answer carries the new status; other programs hear it as well.
    const QString text = QStringLiteral("CALL %1 STATUS %2").arg(call->id, status);
    NotifyAll(text, calledFromDBus() ? message().service() : QString());
    return text;
}

void CSkypeSim::Control(const QString &line)
{
    const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString verb = words.value(0);
    Log("<< ", line);
    if (verb == QLatin1String("incoming") && words.size() >= 2) {
        Call call;
        call.id = QString::number(m_nextCallId++);
        call.partner = words[1];
        call.incoming = true;
        m_calls << call;
        SetCallStatus(m_calls.last(), QStringLiteral("RINGING"));
    } else if (verb == QLatin1String("answer")) {
        if (Call *call = CurrentCall(); call && call->status != QLatin1String("INPROGRESS"))
            SetCallStatus(*call, QStringLiteral("INPROGRESS"));
    } else if (verb == QLatin1String("hangup")) {
        if (Call *call = CurrentCall()) {
            if (call->status == QLatin1String("INPROGRESS"))
                SetCallStatus(*call, QStringLiteral("FINISHED"));
            else
                SetCallStatus(*call, call->incoming ? QStringLiteral("MISSED")
                                                    : QStringLiteral("REFUSED"));
        }
    } else if (verb == QLatin1String("busy") || verb == QLatin1String("cancel")) {
        // The dialled party is busy, or the call is given up before an answer.
        if (Call *call = CurrentCall(); call && call->status != QLatin1String("INPROGRESS"))
            SetCallStatus(*call, verb == QLatin1String("busy") ? QStringLiteral("BUSY")
                                                               : QStringLiteral("CANCELLED"));
    } else if (verb == QLatin1String("noanswer")) {
        // Nobody took the dialled call.
        if (Call *call = CurrentCall(); call && call->status != QLatin1String("INPROGRESS"))
            SetCallStatus(*call, QStringLiteral("MISSED"));
    } else if (verb == QLatin1String("fail")) {
        // The network lost the call, answered or not.
        if (Call *call = CurrentCall())
            SetCallStatus(*call, QStringLiteral("FAILED"));
    } else if (verb == QLatin1String("status") && words.size() >= 3) {
        if (Friend *f = FindFriend(words[1])) {
            f->status = words[2];
            NotifyAll(QStringLiteral("USER %1 ONLINESTATUS %2").arg(f->handle, f->status));
        }
    } else if (verb == QLatin1String("online")) {
        m_options.offline = false;
        NotifyAll(QStringLiteral("CONNSTATUS ONLINE"));
        NotifyAll(QStringLiteral("USERSTATUS ONLINE"));
    } else if (verb == QLatin1String("offline")) {
        m_options.offline = true;
        NotifyAll(QStringLiteral("USERSTATUS OFFLINE"));
        NotifyAll(QStringLiteral("CONNSTATUS OFFLINE"));
    } else if (verb == QLatin1String("refuse")) {
        m_refusing = true;
    } else if (verb == QLatin1String("detach")) {
        m_detached = true; // the user took the access away
    } else if (verb == QLatin1String("say") && words.size() >= 2) {
        NotifyAll(line.mid(line.indexOf(QLatin1Char(' ')) + 1));
    } else if (verb == QLatin1String("intrude") && words.size() >= 2) {
        Intrude(line.mid(line.indexOf(QLatin1Char(' ')) + 1));
    } else if (verb == QLatin1String("garble")) {
        m_garbling = words.value(1) != QLatin1String("off");
    } else if (verb == QLatin1String("quit")) {
        QCoreApplication::quit();
    } else if (!verb.isEmpty()) {
        Log("!!", QStringLiteral("unknown control line: ") + line);
    }
}

// Another program on the bus sends the text to every attached program, as
// the client's notifications look; a round trip to the bus after it puts it
// ahead of whatever the client sends next.
void CSkypeSim::Intrude(const QString &text)
{
    QDBusConnection intruder =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("intruder"));
    for (const QString &client : std::as_const(m_clients)) {
        QDBusMessage notify = QDBusMessage::createMethodCall(client, kClientPath, kClientInterface,
                                                             QStringLiteral("Notify"));
        notify << text;
        Log("~>", text);
        intruder.send(notify);
    }
    intruder.interface()->isServiceRegistered(kService);
}

CSkypeSim::Call *CSkypeSim::FindCall(const QString &id)
{
    for (Call &call : m_calls) {
        if (call.id == id)
            return &call;
    }
    return nullptr;
}

// The newest call that is not over.
CSkypeSim::Call *CSkypeSim::CurrentCall()
{
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it) {
        if (!IsFinal(it->status))
            return &*it;
    }
    return nullptr;
}

CSkypeSim::Friend *CSkypeSim::FindFriend(const QString &handle)
{
    const auto at = m_friendAt.constFind(handle);
    return at == m_friendAt.cend() ? nullptr : &m_options.friends[*at];
}

void CSkypeSim::SetCallStatus(Call &call, const QString &status)
{
    call.status = status;
    NotifyAll(QStringLiteral("CALL %1 STATUS %2").arg(call.id, status));
}

void CSkypeSim::NotifyAll(const QString &text, const QString &except)
{
    for (const QString &client : std::as_const(m_clients)) {
        if (client == except)
            continue;
        QDBusMessage notify = QDBusMessage::createMethodCall(client, kClientPath, kClientInterface,
                                                             QStringLiteral("Notify"));
        notify << text;
        Log("=>", text);
        // send() expects no reply: a busy program never holds us up.
        m_bus.send(notify);
    }
}

} // namespace vocamo
