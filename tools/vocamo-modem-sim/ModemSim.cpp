#include "tools/vocamo-modem-sim/ModemSim.h"

#include "tools/vocamo-modem-sim/PseudoTerminal.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <unistd.h>

namespace vocamo {

namespace {

constexpr char kDle = 0x10;

std::string Upper(std::string s)
{
    for (char &c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Printable(const std::string &s)
{
    std::string out;
    for (char c : s) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "<%u>",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            out.append(code);
        } else
            out.push_back(c);
    }
    return out;
}

} // namespace

CModemSim::CModemSim(ModemSimOptions options)
    : m_options(std::move(options)), m_resetDelay(m_options.resetDelay)
{
}

CModemSim::~CModemSim()
{
    Stop();
}

bool CModemSim::Start()
{
    PseudoTerminal pty;
    if (!OpenPseudoTerminal(pty))
        return false;
    m_master = pty.master;
    m_slave = pty.slave;
    m_slavePath = pty.path;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    m_wakeRead = fds[0];
    m_wakeWrite = fds[1];
    if (!m_options.linkPath.empty()) {
        ::unlink(m_options.linkPath.c_str());
        if (::symlink(m_slavePath.c_str(), m_options.linkPath.c_str()) != 0)
            return false;
    }
    m_thread = std::thread([this] { Run(); });
    return true;
}

void CModemSim::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    if (m_wakeWrite >= 0) {
        const char b = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeWrite, &b, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    if (!m_options.linkPath.empty() && !m_slavePath.empty())
        ::unlink(m_options.linkPath.c_str());
    for (int *fd : {&m_master, &m_slave, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void CModemSim::Log(const char *direction, const std::string &text)
{
    if (m_options.log)
        std::fprintf(stderr, "modem-sim %s %s\n", direction, Printable(text).c_str());
}

void CModemSim::Write(const std::string &bytes)
{
    if (m_master < 0 || m_unplugged)
        return;
    // The other side may not read for a while; a full tty buffer loses output
    // as a real modem's would.
    [[maybe_unused]] ssize_t n = ::write(m_master, bytes.data(), bytes.size());
}

void CModemSim::Reply(const std::string &text)
{
    Log(">", text);
    // Framed as a modem frames it, in pieces, so the reader sees split results;
    // split, the halves are apart long enough to come in reads of their own.
    const size_t half = m_options.splitReplies ? text.size() / 2 : text.size();
    Write("\r\n" + text.substr(0, half));
    if (half < text.size())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    Write(text.substr(half) + "\r\n");
}

void CModemSim::SendCallerId()
{
    if (!m_options.callerId || !m_cidEnabled || m_callerNumber.empty())
        return;
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
    char date[8], time[8];
    std::strftime(date, sizeof date, "%m%d", &tm);
    std::strftime(time, sizeof time, "%H%M", &tm);
    Reply(std::string("DATE = ") + date);
    Reply(std::string("TIME = ") + time);
    Reply("NMBR = " + m_callerNumber);
}

void CModemSim::Unplug()
{
    Log("!", "unplugged");
    m_unplugged = true;
    m_call = Call::None;
    for (int *fd : {&m_master, &m_slave}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

bool CModemSim::Control(const std::string &line)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    std::unique_lock lock(m_mutex);
    if (word == "quit") {
        m_stop = true;
        lock.unlock();
        const char b = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeWrite, &b, 1);
        return false;
    }
    if (m_unplugged)
        return true;
    bool known = true;
    const auto now = Clock::now();
    if (word == "ring") {
        int rings = 1;
        in >> rings;
        std::string number;
        in >> number;
        m_call = Call::RingingIn;
        m_ringsLeft = std::max(rings, 1);
        m_firstRingDone = false;
        m_callerNumber = number;
        m_nextRing = now;
        m_callerIdDue = false;
    } else if (word == "answer") {
        if (m_call == Call::Dialing) {
            m_call = Call::Connected;
            Reply("VCON");
        }
    } else if (word == "busy" || word == "noanswer" || word == "nodialtone") {
        if (m_call == Call::Dialing) {
            m_call = Call::None;
            Reply(word == "busy" ? "BUSY" : word == "noanswer" ? "NO ANSWER" : "NO DIALTONE");
        }
    } else if (word == "hangup") {
        if (m_call == Call::Connected) {
            // The line goes quiet, then busy tone: the modem reports it shielded.
            m_call = Call::RemoteGone;
            Log(">", "<DLE>b");
            Write(std::string{kDle, 'b'});
        } else if (m_call == Call::Dialing) {
            m_call = Call::None;
            Reply("NO CARRIER");
        } else if (m_call == Call::RingingIn) {
            m_call = Call::None;
            m_ringsLeft = 0;
            m_callerIdDue = false;
        }
    } else if (word == "say") {
        std::string text;
        std::getline(in, text);
        Reply(text.empty() ? text : text.substr(1));
    } else if (word == "dle") {
        std::string code;
        in >> code;
        if (!code.empty()) {
            Log(">", std::string("<DLE>") + code[0]);
            Write(std::string{kDle, code[0]});
        }
    } else if (word == "reset-delay") {
        long ms = 0;
        in >> ms;
        m_resetDelay = std::chrono::milliseconds(std::max(ms, 0L));
    } else if (word == "unplug") {
        Unplug();
    } else {
        known = false;
    }
    lock.unlock();
    const char b = 1;
    [[maybe_unused]] ssize_t n = ::write(m_wakeWrite, &b, 1);
    return known;
}

std::vector<std::string> CModemSim::Received() const
{
    std::lock_guard lock(m_mutex);
    return m_received;
}

size_t CModemSim::BytesReceived() const
{
    std::lock_guard lock(m_mutex);
    return m_bytesReceived;
}

void CModemSim::ClearReceived()
{
    std::lock_guard lock(m_mutex);
    m_received.clear();
}

bool CModemSim::Unplugged() const
{
    std::lock_guard lock(m_mutex);
    return m_unplugged;
}

bool CModemSim::WaitForCommand(const std::string &command, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
        return std::find(m_received.begin(), m_received.end(), command) != m_received.end();
    });
}

void CModemSim::OnBytes(const char *data, size_t size)
{
    m_bytesReceived += size;
    for (size_t i = 0; i < size; ++i) {
        const char c = data[i];
        if (m_afterDle) {
            m_afterDle = false;
            const std::string event = std::string("<DLE>") + c;
            Log("<", event);
            m_received.push_back(event);
            continue;
        }
        if (c == kDle) {
            m_afterDle = true;
            continue;
        }
        if (m_echo)
            Write(std::string(1, c));
        if (c == '\r') {
            const std::string command = m_command;
            m_command.clear();
            if (!command.empty()) {
                m_resetOkDue = false; // a slow reset is cut short by the next command
                Log("<", command);
                m_received.push_back(command);
                OnCommand(command);
            }
            continue;
        }
        if (c == '\n' || static_cast<unsigned char>(c) < 0x20)
            continue;
        if (m_command.size() < 256)
            m_command.push_back(c);
    }
    m_changed.notify_all();
}

void CModemSim::OnCommand(const std::string &raw)
{
    const std::string cmd = Upper(raw);
    if (cmd.rfind("AT", 0) != 0)
        return;
    const std::string body = cmd.substr(2);
    const bool inVoice = m_class == 8;
    if (body.empty()) {
        Reply("OK");
    } else if (body == "Z") {
        m_echo = true;
        m_class = 0;
        m_cidEnabled = false;
        if (m_call != Call::RingingIn)
            m_call = Call::None;
        m_resetOkAt = Clock::now() + m_resetDelay;
        m_resetOkDue = m_resetDelay.count() > 0;
        if (!m_resetOkDue)
            Reply("OK");
    } else if (body == "E0" || body == "E1") {
        m_echo = body == "E1";
        Reply("OK");
    } else if (body == "+FCLASS=?") {
        Reply(m_options.voice ? "0,1,8" : "0,1");
        Reply("OK");
    } else if (body == "+FCLASS?") {
        Reply(std::to_string(m_class));
        Reply("OK");
    } else if (body.rfind("+FCLASS=", 0) == 0) {
        const std::string value = body.substr(8);
        if (value == "0" || value == "1" || (value == "8" && m_options.voice)) {
            m_class = std::stoi(value);
            Reply("OK");
        } else {
            Reply("ERROR");
        }
    } else if (body == "+VCID=1" || body == "#CID=1") {
        m_cidEnabled = m_options.callerId;
        Reply(m_options.callerId ? "OK" : "ERROR");
    } else if (body == "+VCID=0" || body == "#CID=0") {
        m_cidEnabled = false;
        Reply("OK");
    } else if (body == "+VLS=?") {
        if (!inVoice) {
            Reply("ERROR");
            return;
        }
        Reply("0,\"\",00000000,00000000,00000000");
        Reply("1,\"T\",00000000,0F000000,0F000000");
        if (m_options.speakerphone)
            Reply("7,\"ST\",00000000,0F000000,0F000000");
        Reply("OK");
    } else if (body == "+VLS=0" || body == "H" || body == "H0") {
        m_call = m_call == Call::RingingIn ? m_call : Call::None;
        Reply("OK");
    } else if (body == "+VLS=1") {
        if (!inVoice) {
            Reply("ERROR");
        } else if (m_call == Call::RingingIn) {
            m_call = Call::Connected;
            m_ringsLeft = 0;
            m_callerIdDue = false;
            Reply("VCON");
        } else {
            Reply("OK");
        }
    } else if (body == "+VLS=7") {
        Reply(inVoice && m_options.speakerphone ? "OK" : "ERROR");
    } else if (body[0] == 'D') {
        if (!inVoice) {
            Reply("NO CARRIER");
            return;
        }
        m_call = Call::Dialing;
        if (m_options.answerAfter.count() >= 0) {
            m_answerAt = Clock::now() + m_options.answerAfter;
            m_answerDue = true;
        }
    } else {
        Reply("ERROR");
    }
}

CModemSim::Clock::time_point CModemSim::NextTimer() const
{
    auto next = Clock::time_point::max();
    if (m_call == Call::RingingIn)
        next = std::min(next, m_nextRing);
    if (m_callerIdDue)
        next = std::min(next, m_callerIdAt);
    if (m_answerDue)
        next = std::min(next, m_answerAt);
    if (m_resetOkDue)
        next = std::min(next, m_resetOkAt);
    return next;
}

void CModemSim::OnTimers()
{
    const auto now = Clock::now();
    if (m_call == Call::RingingIn && m_ringsLeft > 0 && now >= m_nextRing) {
        Reply("RING");
        --m_ringsLeft;
        m_nextRing = now + m_options.ringInterval;
        if (!m_firstRingDone) {
            m_firstRingDone = true;
            // Caller ID comes in the pause after the first ring.
            m_callerIdAt = now + m_options.ringInterval / 4;
            m_callerIdDue = true;
        }
    }
    // The caller gives up one ring interval after the last ring.
    if (m_call == Call::RingingIn && m_ringsLeft == 0 && now >= m_nextRing)
        m_call = Call::None;
    if (m_callerIdDue && now >= m_callerIdAt) {
        m_callerIdDue = false;
        SendCallerId();
    }
    if (m_resetOkDue && now >= m_resetOkAt) {
        m_resetOkDue = false;
        Reply("OK");
    }
    if (m_answerDue && now >= m_answerAt) {
        m_answerDue = false;
        if (m_call == Call::Dialing) {
            m_call = Call::Connected;
            Reply("VCON");
        }
    }
}

void CModemSim::Run()
{
    char buffer[512];
    for (;;) {
        int timeout = -1;
        int master;
        {
            std::lock_guard lock(m_mutex);
            if (m_stop)
                return;
            const auto next = NextTimer();
            if (next != Clock::time_point::max()) {
                const auto ms = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
                timeout = static_cast<int>(std::clamp<long long>(ms.count(), 0, 60000));
            }
            master = m_master;
        }
        pollfd fds[2] = {{m_wakeRead, POLLIN, 0}, {master, POLLIN, 0}};
        const int count = master >= 0 ? 2 : 1;
        if (::poll(fds, count, timeout) < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN) {
            while (::read(m_wakeRead, buffer, sizeof buffer) > 0) {
            }
        }
        std::lock_guard lock(m_mutex);
        if (m_stop)
            return;
        if (count == 2 && m_master >= 0 && (fds[1].revents & POLLIN)) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n > 0)
                OnBytes(buffer, static_cast<size_t>(n));
        }
        OnTimers();
    }
}

} // namespace vocamo
