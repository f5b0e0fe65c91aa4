// The modem line against the simulator: how quickly a ring becomes an
// offered call for the controller, and what opening and closing the line cost.

#include "platform/tapi/ModemProvider.h"
#include "telephony/TapiClient.h"
#include "tests/support/RecordingMessageTarget.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace vocamo {
namespace {

using namespace std::chrono_literals;

struct Bench {
    Bench()
    {
        ModemSimOptions options;
        options.log = false;
        options.ringInterval = 60s; // one ring per "ring 1"
        sim = std::make_unique<CModemSim>(options);
        sim->Start();
        ModemTimeouts timeouts;
        timeouts.ringGiveUp = 5ms; // the offered call ends soon after its ring
        const std::string path = sim->SlavePath();
        tapi = std::make_unique<CModemProvider>([path] { return std::vector<std::string>{path}; },
                                                timeouts);
        settings.tapi = tapi.get();
    }

    std::unique_ptr<CTapiClient> OpenClient()
    {
        auto client = std::make_unique<CTapiClient>(target, settings);
        client->OpenLine();
        return client;
    }

    std::unique_ptr<CModemSim> sim;
    std::unique_ptr<CModemProvider> tapi;
    CRecordingMessageTarget target;
    CTapiClient::Settings settings;
};

const PostedMessage kOffering{WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_OFFERING};
const PostedMessage kIdle{WM_APP_EVENT, RECEIVER_CONTROLLER, EVT_IDLE};

void BM_RingToEvent(benchmark::State &state)
{
    Bench b;
    auto client = b.OpenClient();
    for (auto _ : state) {
        b.sim->Control("ring 1");
        if (!b.target.WaitFor(kOffering, 2s))
            state.SkipWithError("no EVT_OFFERING");
        state.PauseTiming();
        b.target.WaitFor(kIdle, 2s); // the caller gives up; the next ring is a new call
        b.target.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RingToEvent)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();

void BM_OpenLine(benchmark::State &state)
{
    Bench b;
    b.OpenClient(); // the first opening probes the modem; later ones use the cache
    for (auto _ : state) {
        CTapiClient client(b.target, b.settings);
        if (client.OpenLine() != 0)
            state.SkipWithError("OpenLine failed");
        state.PauseTiming();
        client.CloseLine();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLine)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();

void BM_CloseLine(benchmark::State &state)
{
    Bench b;
    for (auto _ : state) {
        state.PauseTiming();
        auto client = b.OpenClient();
        state.ResumeTiming();
        client->CloseLine();
        state.PauseTiming();
        client.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CloseLine)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime();

} // namespace
} // namespace vocamo

BENCHMARK_MAIN();
