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
}

} // namespace vocamo
