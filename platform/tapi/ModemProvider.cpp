#include "platform/tapi/ModemProvider.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fnmatch.h>
#include <glob.h>
#include <iterator>

namespace vocamo {

namespace {

// "ttyACM2" before "ttyACM10": shorter names first, then by name.
std::vector<std::string> PortsMatching(const char *pattern)
{
    std::vector<std::string> ports;
    glob_t g{};
    if (::glob(pattern, 0, nullptr, &g) == 0) {
        for (size_t i = 0; i < g.gl_pathc; ++i)
            ports.emplace_back(g.gl_pathv[i]);
    }
    ::globfree(&g);
    std::sort(ports.begin(), ports.end(), [](const std::string &a, const std::string &b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return ports;
}

// Where the line devices are looked for when VOCAMO_MODEMS is unset, in order.
constexpr const char *kPortPatterns[] = {"/dev/ttyACM*", "/dev/ttyUSB*"};

// The ports VOCAMO_MODEMS names, empty names skipped; nothing when it is unset.
std::optional<std::vector<std::string>> ConfiguredPorts()
{
    const char *list = std::getenv("VOCAMO_MODEMS");
    if (!list)
        return std::nullopt;
    std::vector<std::string> ports;
    std::string_view rest = list;
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view path = rest.substr(0, colon);
        if (!path.empty())
            ports.emplace_back(path);
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return ports;
}

bool Lists(const std::vector<int> &values, int wanted)
{
    return std::find(values.begin(), values.end(), wanted) != values.end();
}

} // namespace

CModemProvider::CModemProvider(DeviceLister devices, ModemTimeouts timeouts,
                               std::shared_ptr<CModemProbeCache> probes)
    : m_devices(std::move(devices)), m_timeouts(timeouts),
      m_probeCache(probes ? std::move(probes) : std::make_shared<CModemProbeCache>())
{
}

CModemProvider::~CModemProvider()
{
    std::vector<HPHONEAPP> phoneApps;
    std::vector<HLINEAPP> lineApps;
    {
        std::lock_guard lock(m_mutex);
        for (const auto &[h, app] : m_phoneApps)
            phoneApps.push_back(h);
        for (const auto &[h, app] : m_lineApps)
            lineApps.push_back(h);
    }
    for (HPHONEAPP h : phoneApps)
        phoneShutdown(h);
    for (HLINEAPP h : lineApps)
        lineShutdown(h);
}

std::vector<std::string> CModemProvider::DefaultDevices()
{
    if (std::optional<std::vector<std::string>> configured = ConfiguredPorts())
        return std::move(*configured);
    std::vector<std::string> devices;
    for (const char *pattern : kPortPatterns) {
        const std::vector<std::string> ports = PortsMatching(pattern);
        devices.insert(devices.end(), ports.begin(), ports.end());
    }
    return devices;
}

bool CModemProvider::IsModemPort(const std::string &devnode)
{
    if (devnode.empty())
        return false;
    // Matched by name, not looked up: a port that went away is no longer there.
    if (const std::optional<std::vector<std::string>> configured = ConfiguredPorts())
        return std::find(configured->begin(), configured->end(), devnode) != configured->end();
    return std::any_of(std::begin(kPortPatterns), std::end(kPortPatterns), [&](const char *p) {
        return ::fnmatch(p, devnode.c_str(), FNM_PATHNAME) == 0;
    });
}

void CModemProvider::InvalidateProbeCache()
{
    m_probeCache->Clear();
}

std::shared_ptr<CModemPort> CModemProvider::SharedPort(const std::string &path, int &error,
                                                       bool &opened)
{
    error = 0;
    opened = false;
    std::lock_guard lock(m_mutex);
    auto found = m_ports.find(path);
    if (found != m_ports.end()) {
        if (auto port = found->second.lock(); port && !port->IsGone())
            return port;
    }
    auto port = std::make_shared<CModemPort>(path);
    error = port->Open();
    if (error != 0) {
        m_probeCache->Forget(path); // a port that fails to open is probed anew
        return nullptr;
    }
    port->Start(nullptr);
    m_ports[path] = port;
    opened = true;
    return port;
}

bool CModemProvider::Probe(const std::string &path, ProbeResult &result)
{
    if (const std::optional<ModemProbe> cached = m_probeCache->Find(path)) {
        result = *cached;
        return true;
    }
    std::shared_ptr<CModemPort> inUse;
    {
        std::lock_guard lock(m_mutex);
        if (auto found = m_ports.find(path); found != m_ports.end())
            inUse = found->second.lock();
    }
    ProbeResult probed;
    if (inUse && !inUse->IsGone()) {
        // Ours already, and in voice mode: only the speakerphone is left to ask.
        probed.modem = probed.voice = true;
        const CModemPort::Reply vls = inUse->Command("AT+VLS=?", m_timeouts.probe);
        probed.speakerphone = vls.ok && Lists(ParseCapabilityList(vls.lines), 7);
    } else {
        const ModemDiagnosis d = DiagnosePort(path, m_timeouts, false);
        NoteVerdict(d);
        if (!d.Opened()) {
            m_probeCache->Forget(path);
            return false;
        }
        probed.modem = d.verdict >= ModemVerdict::DataOnly;
        probed.voice = d.IsVoice();
        probed.speakerphone = d.speakerphone;
    }
    m_probeCache->Store(path, probed);
    result = probed;
    return true;
}

void CModemProvider::NoteVerdict(const ModemDiagnosis &diagnosis)
{
    // One line per port that cannot be a phone line, and again only when
    // its verdict changes: the line is retried every few seconds.
    if (m_probeCache->NoteVerdict(diagnosis) && !diagnosis.IsVoice())
        std::fprintf(stderr, "vocamo: %s\n", diagnosis.Line().c_str());
}

std::shared_ptr<CModemLine> CModemProvider::LineOf(HLINE hLine)
{
    std::lock_guard lock(m_mutex);
    auto found = m_lines.find(hLine);
    if (found == m_lines.end() || !found->second.line)
        return nullptr;
    return found->second.line;
}

std::shared_ptr<CModemLine> CModemProvider::LineOfCall(HCALL hCall)
{
    std::vector<std::shared_ptr<CModemLine>> lines;
    {
        std::lock_guard lock(m_mutex);
        for (const auto &[h, entry] : m_lines)
            lines.push_back(entry.line);
    }
    for (auto &line : lines)
        if (hCall != 0 && line->OwnsCall(hCall))
            return line;
    return nullptr;
}

void CModemProvider::CloseLines(std::vector<std::shared_ptr<CModemLine>> lines)
{
    for (auto &line : lines)
        line->Close();
}

} // namespace vocamo
