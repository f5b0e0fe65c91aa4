#include "platform/tapi/ModemPort.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vocamo {

namespace {

constexpr size_t kMaxReplyLines = 64;

int PollTimeout(CModemPort::Clock::time_point deadline)
{
    const auto now = CModemPort::Clock::now();
    if (deadline <= now)
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - now).count();
    return ms > 60000 ? 60000 : static_cast<int>(ms);
}

} // namespace

CModemPort::CModemPort(std::string path) : m_path(std::move(path)) {}

CModemPort::~CModemPort()
{
    Close();
}

int CModemPort::Open()
{
    const int fd = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Keep other programs off the modem while it is ours.
    ::ioctl(fd, TIOCEXCL);
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    termios withFlow = tio;
    withFlow.c_cflag |= CRTSCTS;
    // RTS/CTS where the port takes it, plain otherwise.
    if (::tcsetattr(fd, TCSANOW, &withFlow) != 0 && ::tcsetattr(fd, TCSANOW, &tio) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    // Whatever the modem said while nobody listened is stale.
    ::tcflush(fd, TCIOFLUSH);
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    m_fd = fd;
    m_wakeRead = pipeFds[0];
    m_wakeWrite = pipeFds[1];
    m_gone = false;
    m_stop = false;
    return 0;
}

void CModemPort::Start(CModemPortSink *sink)
{
    if (m_fd < 0 || m_reader.joinable())
        return;
    SetSink(sink);
    m_reader = std::thread([this] { ReaderLoop(); });
}

void CModemPort::SetSink(CModemPortSink *sink)
{
    {
        std::lock_guard lock(m_sinkMutex);
        m_sink = sink;
    }
    Wake();
}

void CModemPort::Close()
{
    m_stop = true;
    Wake();
    if (m_reader.joinable())
        m_reader.join();
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
        m_resultOk = false;
    }
    m_changed.notify_all();
    // Release the exclusive hold, or it outlives us while anyone else has the tty open.
    if (m_fd >= 0)
        ::ioctl(m_fd, TIOCNXCL);
    for (int *fd : {&m_fd, &m_wakeRead, &m_wakeWrite}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

void CModemPort::Wake()
{
    if (m_wakeWrite >= 0) {
        const char b = 1;
        [[maybe_unused]] ssize_t n = ::write(m_wakeWrite, &b, 1);
    }
}

bool CModemPort::Claim(Clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_until(lock, deadline, [&] { return !m_busy || m_gone.load(); }))
        return false;
    if (m_gone.load() || m_fd < 0)
        return false;
    m_busy = true;
    return true;
}

void CModemPort::Release()
{
    {
        std::lock_guard lock(m_mutex);
        m_busy = false;
        m_waiting = false;
    }
    m_changed.notify_all();
}

bool CModemPort::WriteAll(const std::string &bytes, Clock::time_point deadline)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{m_fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, PollTimeout(deadline));
            if (r <= 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

CModemPort::Reply CModemPort::Command(const std::string &cmd, std::chrono::milliseconds timeout,
                                      bool voiceAnswer)
{
    Reply reply;
    const auto deadline = Clock::now() + timeout;
    if (!Claim(deadline))
        return reply;
    {
        std::lock_guard lock(m_mutex);
        m_waiting = true;
        m_vconEnds = voiceAnswer;
        m_done = false;
        m_resultOk = false;
        m_replyLines.clear();
    }
    // No lock is held while the bytes go out.
    if (WriteAll(cmd + "\r", deadline)) {
        std::unique_lock lock(m_mutex);
        m_changed.wait_until(lock, deadline, [&] { return m_done || m_gone.load(); });
        if (m_done && !m_gone.load()) {
            reply.answered = true;
            reply.ok = m_resultOk;
            reply.lines = std::move(m_replyLines);
        }
        m_replyLines.clear();
    }
    Release();
    return reply;
}

bool CModemPort::Send(const std::string &bytes, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    if (!Claim(deadline))
        return false;
    const bool written = WriteAll(bytes, deadline);
    Release();
    return written;
}

void CModemPort::MarkGone()
{
    {
        std::lock_guard lock(m_mutex);
        m_gone = true;
    }
    m_changed.notify_all();
    std::lock_guard lock(m_sinkMutex);
    if (m_sink)
        m_sink->OnModemGone();
}

void CModemPort::Dispatch(const ModemOutput &out)
{
    if (out.kind == ModemOutput::Dle) {
        std::lock_guard lock(m_sinkMutex);
        if (m_sink)
            m_sink->OnModemDle(out.code);
        return;
    }
    const ModemResult result = ClassifyModemLine(out.text);
    if (result == ModemResult::Echo)
        return;
    {
        std::unique_lock lock(m_mutex);
        if (m_waiting && !m_done) {
            const bool vcon = m_vconEnds && result == ModemResult::Vcon;
            if (result == ModemResult::Ok || result == ModemResult::Error || vcon) {
                m_done = true;
                m_resultOk = result != ModemResult::Error;
                lock.unlock();
                m_changed.notify_all();
                return;
            }
            if (result == ModemResult::Other) {
                if (m_replyLines.size() < kMaxReplyLines)
                    m_replyLines.push_back(out.text);
                return;
            }
        }
    }
    std::lock_guard lock(m_sinkMutex);
    if (m_sink)
        m_sink->OnModemLine(out.text, result);
}

CModemPort::Clock::time_point CModemPort::SinkDeadline()
{
    std::lock_guard lock(m_sinkMutex);
    return m_sink ? m_sink->NextDeadline() : Clock::time_point::max();
}

void CModemPort::ReaderLoop()
{
    char buffer[512];
    const auto emit = [this](const ModemOutput &out) { Dispatch(out); };
    while (!m_stop.load()) {
        const auto deadline = SinkDeadline();
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeRead, POLLIN, 0}};
        const int r =
            ::poll(fds, 2, deadline == Clock::time_point::max() ? -1 : PollTimeout(deadline));
        if (r < 0 && errno != EINTR) {
            MarkGone();
            return;
        }
        if (m_stop.load())
            return;
        if (fds[1].revents & POLLIN) {
            while (::read(m_wakeRead, buffer, sizeof buffer) > 0) {
            }
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n > 0) {
                m_parser.Feed(std::string_view(buffer, static_cast<size_t>(n)), emit);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                MarkGone();
                return;
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            MarkGone();
            return;
        }
        std::lock_guard lock(m_sinkMutex);
        if (m_sink && Clock::now() >= m_sink->NextDeadline())
            m_sink->OnDeadline();
    }
}

} // namespace vocamo
