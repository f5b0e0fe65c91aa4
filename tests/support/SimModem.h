#pragma once

#include "platform/tapi/ModemProvider.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace vocamo::test {

// Short waits, so tests run in milliseconds instead of waiting them out.
inline ModemTimeouts FastTimeouts()
{
    ModemTimeouts t;
    t.probe = std::chrono::milliseconds(300);
    t.command = std::chrono::milliseconds(1000);
    t.ringGiveUp = std::chrono::milliseconds(300);
    return t;
}

// A simulated modem on a pseudo-terminal, started at construction.
inline std::unique_ptr<CModemSim> StartSim(ModemSimOptions options = {})
{
    if (options.ringInterval == std::chrono::milliseconds(6000))
        options.ringInterval = std::chrono::milliseconds(100);
    auto sim = std::make_unique<CModemSim>(options);
    EXPECT_TRUE(sim->Start());
    return sim;
}

inline std::unique_ptr<CModemProvider>
ProviderFor(std::vector<std::string> devices, ModemTimeouts timeouts = FastTimeouts(),
            std::shared_ptr<CModemProbeCache> probes = nullptr)
{
    return std::make_unique<CModemProvider>([devices] { return devices; }, timeouts,
                                            std::move(probes));
}

inline size_t CountOf(const std::vector<std::string> &all, const std::string &wanted)
{
    size_t n = 0;
    for (const std::string &s : all)
        n += s == wanted;
    return n;
}

} // namespace vocamo::test
