#pragma once

// A serial port whose modem is broken: it says nothing, answers ERROR to
// everything, or answers (and keeps sending) noise. A pseudo-terminal like
// the simulator's, so the real port code meets it.

#include "tools/vocamo-modem-sim/PseudoTerminal.h"

#include <atomic>
#include <cstdint>
#include <poll.h>
#include <string>
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
        if (!OpenPseudoTerminal(m_pty))
            return false;
        m_thread = std::thread([this] { Run(); });
        return true;
    }

    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        ClosePseudoTerminal(m_pty);
    }

    const std::string &Path() const { return m_pty.path; }
    int Commands() const { return m_commands.load(); }

private:
    void Run()
    {
        char buffer[256];
        while (!m_stop) {
            pollfd p{m_pty.master, POLLIN, 0};
            // Noise comes unasked too, every 20 ms.
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                const ssize_t n = ::read(m_pty.master, buffer, sizeof buffer);
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
        case Mode::Silent:
            break;
        case Mode::Error:
            Write("\r\nERROR\r\n");
            break;
        case Mode::Noise:
            Write(Noise(48));
            break;
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
        [[maybe_unused]] const ssize_t n = ::write(m_pty.master, bytes.data(), bytes.size());
    }

    const Mode m_mode;
    PseudoTerminal m_pty;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_commands{0};
    uint64_t m_seed = 0x5eed;
    std::thread m_thread;
};

} // namespace vocamo::test
