#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace vocamo {

// What probing a port found.
struct ModemProbe {
    bool modem = false;
    bool voice = false;
    bool speakerphone = false;
};

// What the probes found, by port, until a device comes or goes. Shared by
// every provider the window makes, so a line reopened at once (reset, then
// a new controller) does not wait out a silent port twice. Any thread.
class CModemProbeCache {
public:
    std::optional<ModemProbe> Find(const std::string &path) const;
    void Store(const std::string &path, ModemProbe probe);
    void Forget(const std::string &path);
    // Forgets every port not found to be a voice modem: one slow to answer
    // once is asked again.
    void ForgetFailed();
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::map<std::string, ModemProbe> m_probes;
};

} // namespace vocamo
