#include "platform/tapi/ModemProbeCache.h"

namespace vocamo {

std::optional<ModemProbe> CModemProbeCache::Find(const std::string &path) const
{
    std::lock_guard lock(m_mutex);
    if (auto found = m_probes.find(path); found != m_probes.end())
        return found->second;
    return std::nullopt;
}

void CModemProbeCache::Store(const std::string &path, ModemProbe probe)
{
    std::lock_guard lock(m_mutex);
    m_probes[path] = probe;
}

void CModemProbeCache::Forget(const std::string &path)
{
    std::lock_guard lock(m_mutex);
    m_probes.erase(path);
}

void CModemProbeCache::ForgetFailed()
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_probes, [](const auto &entry) { return !entry.second.voice; });
}

void CModemProbeCache::Clear()
{
    std::lock_guard lock(m_mutex);
    m_probes.clear();
    m_verdicts.clear();
}

bool CModemProbeCache::NoteVerdict(const ModemDiagnosis &diagnosis)
{
    std::lock_guard lock(m_mutex);
    for (ModemDiagnosis &known : m_verdicts) {
        if (known.port != diagnosis.port)
            continue;
        const bool changed = known.verdict != diagnosis.verdict || known.words != diagnosis.words;
        known = diagnosis;
        return changed;
    }
    m_verdicts.push_back(diagnosis);
    return true;
}

std::vector<ModemDiagnosis> CModemProbeCache::Verdicts() const
{
    std::lock_guard lock(m_mutex);
    return m_verdicts;
}

} // namespace vocamo
