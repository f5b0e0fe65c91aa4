#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vocamo {

struct ModemSimOptions {
    bool voice = true;        // false: a data-only modem, classes 0,1
    bool speakerphone = true; // AT+VLS=? lists 7
    bool callerId = true;     // AT+VCID=1 accepted, caller ID sent with rings
    std::chrono::milliseconds ringInterval{6000};
    std::chrono::milliseconds answerAfter{-1}; // a dialled call answers itself; < 0: never
    std::chrono::milliseconds resetDelay{0};   // ATZ is answered this much later
    bool splitReplies = false;                 // each reply written in two halves
    std::string linkPath;                      // a symlink to the slave, if given
    bool log = true;                           // the dialogue to stderr
};

// A V.253 voice modem on a pseudo-terminal, for tests and for running
// Vocamo without one. It answers the commands the modem line sends, framed
// as a real modem frames them, and takes control lines for the other party:
// "ring N [NUMBER]", "answer", "busy", "noanswer", "nodialtone", "hangup",
// "say TEXT", "dle C", "reset-delay MS", "unplug", "quit".
class CModemSim {
public:
    using Clock = std::chrono::steady_clock;

    explicit CModemSim(ModemSimOptions options = {});
    ~CModemSim();

    CModemSim(const CModemSim &) = delete;
    CModemSim &operator=(const CModemSim &) = delete;

    // Creates the pseudo-terminal and starts answering; false on failure.
    bool Start();
    void Stop();
    const std::string &SlavePath() const { return m_slavePath; }

    // One control line; false for "quit" and for lines it does not know.
    bool Control(const std::string &line);

    // Every command line received (without CR), and "<DLE>c" for each DLE pair.
    std::vector<std::string> Received() const;
    size_t BytesReceived() const;
    bool WaitForCommand(const std::string &command,
                        std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    void ClearReceived();
    bool Unplugged() const;

private:
    enum class Call { None, RingingIn, Dialing, Connected, RemoteGone };

    void Run();
    void OnBytes(const char *data, size_t size);
    void OnCommand(const std::string &command);
    void OnTimers();
    Clock::time_point NextTimer() const;
    void Reply(const std::string &text);
    void Write(const std::string &bytes);
    void SendCallerId();
    void Log(const char *direction, const std::string &text);
    void Unplug();

    const ModemSimOptions m_options;
    std::string m_slavePath;
    int m_master = -1;
    int m_slave = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_thread;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stop = false;
    bool m_unplugged = false;
    std::vector<std::string> m_received;
    size_t m_bytesReceived = 0;
    std::string m_command;
    bool m_afterDle = false;

    bool m_echo = true;
    int m_class = 0;
    bool m_cidEnabled = false;
    Call m_call = Call::None;
    int m_ringsLeft = 0;
    bool m_firstRingDone = false;
    std::string m_callerNumber;
    Clock::time_point m_nextRing{};
    Clock::time_point m_callerIdAt{};
    bool m_callerIdDue = false;
    Clock::time_point m_answerAt{};
    bool m_answerDue = false;
    std::chrono::milliseconds m_resetDelay{0};
    Clock::time_point m_resetOkAt{};
    bool m_resetOkDue = false;
};

} // namespace vocamo
