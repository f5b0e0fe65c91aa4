#pragma once

#include "platform/tapi/ModemOutputParser.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vocamo {

// Receives what the modem says outside the answer to a waiting command.
// Called on the port's reader thread, with no lock of the port held.
class CModemPortSink {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~CModemPortSink() = default;
    virtual void OnModemLine(const std::string &line, ModemResult result) = 0;
    virtual void OnModemDle(char code) = 0;
    // The port went away (unplugged): read gave 0 or EIO, or poll gave POLLHUP.
    virtual void OnModemGone() = 0;
    // When the reader should call OnDeadline next, if ever.
    virtual Clock::time_point NextDeadline() { return Clock::time_point::max(); }
    virtual void OnDeadline() {}
};

// One serial port with a modem behind it: set-up, a reader thread that turns
// its output into lines for a sink, and the command dialogue. Writes happen
// on the caller's thread without any lock held; one command at a time owns
// the port, the next waits for it within its own time-out.
class CModemPort {
public:
    using Clock = std::chrono::steady_clock;

    struct Reply {
        bool answered = false; // OK or ERROR came within the time-out
        bool ok = false;
        std::vector<std::string> lines; // information text before the result
    };

    explicit CModemPort(std::string path);
    ~CModemPort();

    CModemPort(const CModemPort &) = delete;
    CModemPort &operator=(const CModemPort &) = delete;

    // Opens and sets the port up; 0 or the errno of the failure.
    int Open();
    // Starts the reader; sink may be null (a probe needs no sink).
    void Start(CModemPortSink *sink);
    // Changes the sink; once it returns, the old sink is called no more.
    void SetSink(CModemPortSink *sink);
    // Stops the reader and closes the port (the destructor does it too).
    void Close();

    // Sends cmd + CR and waits for OK or ERROR; with voiceAnswer, VCON
    // counts as OK (what AT+VLS=1 on a ringing line may answer).
    Reply Command(const std::string &cmd, std::chrono::milliseconds timeout,
                  bool voiceAnswer = false);
    // Sends bytes as they are; false when the port is gone or stays busy.
    bool Send(const std::string &bytes, std::chrono::milliseconds timeout);

    // Makes the reader ask the sink for its deadline again.
    void Wake();

    bool IsGone() const { return m_gone.load(); }
    const std::string &Path() const { return m_path; }

private:
    bool Claim(Clock::time_point deadline);
    void Release();
    bool WriteAll(const std::string &bytes, Clock::time_point deadline);
    void ReaderLoop();
    void Dispatch(const ModemOutput &out);
    void MarkGone();
    Clock::time_point SinkDeadline();

    const std::string m_path;
    int m_fd = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    std::thread m_reader;
    std::mutex m_sinkMutex; // held while the sink is called
    CModemPortSink *m_sink = nullptr;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_gone{false};
    CModemOutputParser m_parser; // reader thread only

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_busy = false;     // a command or send owns the port
    bool m_waiting = false;  // a command waits for its result
    bool m_vconEnds = false; // ... and VCON is one
    bool m_done = false;
    bool m_resultOk = false;
    std::vector<std::string> m_replyLines;
};

} // namespace vocamo
