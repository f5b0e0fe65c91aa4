// Notifications from the client, one a line, through the receive path.
#include "skype/SkypeBridge.h"
#include "skype/SkypeText.h"
#include "tests/support/MemorySkypeTransport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

using namespace vocamo;

namespace {

class NullTarget : public CMessageTarget {
public:
    void Post(unsigned, WPARAM, LPARAM) override {}
    void PostAfter(std::chrono::milliseconds, unsigned, WPARAM, LPARAM) override {}
};

constexpr const char *kClient = "skype:1";

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

size_t Utf16Units(std::string_view text)
{
    size_t units = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) != 0x80)
            units += c >= 0xF0 ? 2 : 1;
    }
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static NullTarget window;
    static CMemorySkypeTransport transport;
    static CSkypeBridge *bridge = [] {
        transport.SetClient(kClient);
        return new CSkypeBridge(window, transport);
    }();
    transport.Attach(kClient, SKYPE_ATTACH_SUCCESS);

    std::string_view input(reinterpret_cast<const char *>(data), size);
    // The client answers the follow-ups sent from this thread with what it
    // was told last, so nested parsing is exercised too; the worker's
    // commands get no answer.
    static std::string last;
    static const std::thread::id self = std::this_thread::get_id();
    transport.SetResponder(
        [](std::string_view) { return std::this_thread::get_id() == self ? last : std::string(); });
    while (!input.empty()) {
        const size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        transport.Notify(kClient, line);
        last.assign(line);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    bridge->OnRequest(RECEIVER_SKYPE, REQ_SKYPE_ANSWER);

    for (int i = 0; i < bridge->GetFriendCount(); ++i) {
        const CSkypeFriend *f = bridge->GetFriend(static_cast<uint32_t>(i));
        if (!f)
            continue;
        Check(IsValidUtf8(f->handle) && IsValidUtf8(f->city));
        Check(IsValidUtf8(f->fullName) && Utf16Units(f->fullName) <= kSkypeNameUnits);
        Check(IsValidUtf8(f->displayName) && Utf16Units(f->displayName) <= kSkypeNameUnits);
    }
    const int32_t state = bridge->GetState();
    Check(state == INIT || (state >= NORMAL && state <= ANSWERING));
    transport.ClearSent();
    return 0;
}
