#pragma once

#include "skype/SkypeTransport.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace vocamo {

// A Skype client in memory, for tests: one client that answers sends made
// to its name, a script for its answers, and a record of what was sent.
// The thread that constructs it plays the window thread.
class CMemorySkypeTransport : public CSkypeTransport {
public:
    struct Sent {
        std::string client;
        std::string text;
        bool fromWindow; // sent on the window thread
    };
    using Responder = std::function<std::string(std::string_view command)>;

    CMemorySkypeTransport();

    void SetSink(CSkypeTransportSink *sink) override;
    void Discover() override;
    bool Send(const std::string &client, std::string_view text) override;

    // The client's side.
    void SetClient(std::string name);       // sends to this name are accepted
    void SetAnswering(bool answering);      // false: the client no longer answers
    void SetResponder(Responder responder); // its answer to each command
    // Deliver to the sink as the window thread would (call on that thread).
    int Attach(const std::string &client, uint32_t status);
    int Notify(const std::string &sender, std::string_view text);
    // Hands the answers to sends made off the window thread to the sink.
    int DeliverQueued();

    // What was sent and discovered.
    std::vector<Sent> SentCommands() const;
    std::vector<std::string> SentTexts(bool fromWindow) const;
    void ClearSent();
    int DiscoverCount() const;
    bool WaitUntil(const std::function<bool(const std::vector<Sent> &, int discovers)> &pred,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    const std::thread::id m_windowThread;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    CSkypeTransportSink *m_sink = nullptr; // window thread only
    std::string m_client;
    bool m_answering = true;
    Responder m_responder;
    std::vector<Sent> m_sent;
    std::vector<std::pair<std::string, std::string>> m_queued;
    int m_discovers = 0;
};

} // namespace vocamo
