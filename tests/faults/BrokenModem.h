#pragma once

// A serial port whose modem is broken: it says nothing, answers ERROR to
// everything, or answers (and keeps sending) noise. A pseudo-terminal like
// the simulator's, so the real port code meets it.

#include <atomic>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace vocamo::test {

class CBrokenModem {
public:
    enum class Mode { Silent, Error, Noise };

    explicit CBrokenModem(Mode mode) : m_mode(mode) {}
    ~CBrokenModem() { Stop(); }

    CBrokenModem(const CBrokenModem &) = delete;
    CBrokenModem &operator=(const CBrokenModem &) = delete;

    bool Start()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return false;
        char name[128];
        if (::ptsname_r(m_master, name, sizeof name) != 0)
            return false;
        m_path = name;
        m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave < 0)
            return false;
        termios tio{};
        ::tcgetattr(m_slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slave, TCSANOW, &tio);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_thread = std::thread([this] { Run(); });
        return true;
    }

    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        for (int *fd : {&m_master, &m_slave}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }

    const std::string &Path() const { return m_path; }
    int Commands() const { return m_commands.load(); }

private:
    void Run()
    {
        char buffer[256];
        while (!m_stop) {
            pollfd p{m_master, POLLIN, 0};
            // Noise comes unasked too, every 20 ms.
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                for (ssize_t i = 0; i < n; ++i) {
                    if (buffer[i] == '\r') {
                        ++m_commands;
                        Answer();
                    }
                }
            }
            if (m_mode == Mode::Noise)
                Write(Noise(64));
        }
    }

    void Answer()
    {
        switch (m_mode) {
        case Mode::Silent: break;
        case Mode::Error: Write("\r\nERROR\r\n"); break;
        case Mode::Noise: Write(Noise(48)); break;
        }
    }

    // Any byte but a letter, so no result code can ever form: line ends,
    // NULs, DLE pairs and high bytes included.
    std::string Noise(size_t size)
    {
        std::string bytes;
        while (bytes.size() < size) {
            m_seed = m_seed * 6364136223846793005ull + 1442695040888963407ull;
            const auto c = static_cast<unsigned char>(m_seed >> 56);
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
                continue;
            bytes.push_back(static_cast<char>(c));
        }
        return bytes;
    }

    void Write(const std::string &bytes)
    {
        // A full buffer drops the rest, as a modem nobody reads would.
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.data(), bytes.size());
    }

    const Mode m_mode;
    std::string m_path;
    int m_master = -1;
    int m_slave = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_commands{0};
    uint64_t m_seed = 0x5eed;
    std::thread m_thread;
};

} // namespace vocamo::test
