#pragma once

#include "platform/tapi/ModemDiagnosis.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

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
    // Forgets the probes and the verdicts.
    void Clear();

    // The last verdict on the port; true when it differs from the one
    // before, so that a line retried every few seconds says it once.
    bool NoteVerdict(const ModemDiagnosis &diagnosis);
    // The last verdict on each port, in the order the ports were first tried.
    std::vector<ModemDiagnosis> Verdicts() const;

private:
    mutable std::mutex m_mutex;
    std::map<std::string, ModemProbe> m_probes;
    std::vector<ModemDiagnosis> m_verdicts;
};

} // namespace vocamo
