// A hang-up as the window does it: the TAPI client goes (dropping the call),
// a fresh one reopens the line, a phonebook of 100 entries is reloaded and
// the controller is back in NORMAL. Against the modem simulator, with the
// client's own provider over VOCAMO_MODEMS as in the program.

#include "core/CallState.h"
#include "telephony/CallController.h"
#include "tests/support/RecordingMessageTarget.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace vocamo;
using namespace std::chrono_literals;

namespace {

std::string MakePhonebookDir()
{
    std::string dir = (std::filesystem::temp_directory_path() / "vocamo-bm-XXXXXX").string();
    if (!::mkdtemp(dir.data()))
        return {};
    std::ofstream file(dir + "/Bookmark.ini", std::ios::binary);
    for (int i = 0; i < 100; ++i) {
        file << "[Person " << i << "]\n"
             << "Phone_Home=0221 55" << i << "\n"
             << "Phone_Office=0300 " << i << "\n"
             << "Phone_Mobile=0171 555 " << i << "\n";
    }
    return dir;
}

// Hands the event thread's reports back to the controller until it is
// ANSWERING, as the window would.
bool PumpUntilAnswering(CRecordingMessageTarget &target, CCallController &controller)
{
    size_t handled = 0;
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (controller.GetState() != ANSWERING) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        const auto all = target.Messages();
        for (; handled < all.size(); ++handled) {
            if (all[handled].message == WM_APP_EVENT && all[handled].wParam == RECEIVER_CONTROLLER)
                controller.OnTapiEvent(all[handled].wParam, all[handled].lParam);
        }
        target.WaitUntil([&](const auto &msgs) { return msgs.size() > handled; }, 10ms);
    }
    return true;
}

void BM_ControllerReset(benchmark::State &state)
{
    ModemSimOptions options;
    options.log = false;
    options.answerAfter = 0ms;
    CModemSim sim(options);
    if (!sim.Start()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    ::setenv("VOCAMO_MODEMS", sim.SlavePath().c_str(), 1);
    const std::string dir = MakePhonebookDir();

    CRecordingMessageTarget target;
    CCallController controller(target, dir);
    if (controller.GetState() != NORMAL || controller.GetBookmarkCount() != 100) {
        state.SkipWithError("the line did not open");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        target.Clear();
        controller.Dial("0221550123");
        const bool connected = PumpUntilAnswering(target, controller);
        state.ResumeTiming();
        if (!connected) {
            state.SkipWithError("the call did not connect");
            break;
        }

        controller.Reset();

        if (controller.GetState() != NORMAL) {
            state.SkipWithError("not back in NORMAL");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

} // namespace

BENCHMARK(BM_ControllerReset)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
