#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vocamo {

// Attach statuses the client reports after a discovery or on its own.
constexpr uint32_t SKYPE_ATTACH_SUCCESS = 0;
constexpr uint32_t SKYPE_ATTACH_PENDING_AUTHORIZATION = 1;
constexpr uint32_t SKYPE_ATTACH_REFUSED = 2;
constexpr uint32_t SKYPE_ATTACH_NOT_AVAILABLE = 3;
constexpr uint32_t SKYPE_ATTACH_API_AVAILABLE = 0x8001;

// Where the transport delivers what the client sends us. Called on the
// window thread only.
class CSkypeTransportSink {
public:
    virtual ~CSkypeTransportSink() = default;
    // `client` identifies the client that reports; it is the address later
    // sends go to.
    virtual int OnAttach(const std::string &client, uint32_t status) = 0;
    // A notification from `sender`: 0 when that is not the attached client.
    virtual int OnCopyData(const std::string &sender, std::string_view text) = 0;
};

// The link to the Skype client: discover it, send it a command, and hand
// its attach statuses and notifications to the sink on the window thread.
class CSkypeTransport {
public:
    virtual ~CSkypeTransport() = default;

    // Window thread. Null stops delivery (the bridge is gone).
    virtual void SetSink(CSkypeTransportSink *sink) = 0;

    // Any thread, never blocks: ask whoever is there to attach. The answer
    // comes later through the sink's OnAttach.
    virtual void Discover() = 0;

    // Any thread, never blocks: false only while the transport knows that
    // nobody is there to discover. It then tells the sink of a client that
    // comes with SKYPE_ATTACH_API_AVAILABLE, so there is nothing to retry.
    virtual bool MayHaveClient() const { return true; }

    // Any thread. Sends one command to `client` and returns whether it was
    // accepted; an empty client never accepts. A text the client answers
    // with is a notification: on the window thread it reaches the sink
    // before Send returns, from any other thread it is queued to the window
    // thread. Waits for the client at most the transport's time-out.
    virtual bool Send(const std::string &client, std::string_view text) = 0;

    // Any thread. Sends a command whose answer is not waited for and
    // returns whether it went to a client that is still there. A transport
    // that can send without waiting does so, and then fails the next Post
    // to a client that answered the last one with an error or not at all;
    // this one sends as Send does.
    virtual bool Post(const std::string &client, std::string_view text)
    {
        return Send(client, text);
    }

    // Any thread. Sends the commands in order without waiting for one's
    // answer before the next goes out, and says for each, in order,
    // whether it was accepted; answers take the path Send gives them.
    virtual std::vector<bool> SendBatch(const std::string &client,
                                        const std::vector<std::string> &texts)
    {
        std::vector<bool> accepted;
        accepted.reserve(texts.size());
        for (const std::string &text : texts)
            accepted.push_back(Send(client, text));
        return accepted;
    }
};

} // namespace vocamo
