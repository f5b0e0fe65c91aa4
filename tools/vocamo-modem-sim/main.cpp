// vocamo-modem-sim: a V.253 voice modem on a pseudo-terminal. Prints the
// slave's path as its first line, then takes control lines on stdin.

#include "tools/vocamo-modem-sim/ModemSim.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <pthread.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

void Usage()
{
    std::fprintf(
        stderr,
        "usage: vocamo-modem-sim [--no-voice] [--no-speakerphone] [--no-callerid]\n"
        "                        [--split-replies] [--ring-interval MS] [--answer-after MS]\n"
        "                        [--reset-delay MS] [--link PATH]\n"
        "stdin: ring N [NUMBER] | answer | busy | noanswer | nodialtone | hangup |\n"
        "       say TEXT | dle C | reset-delay MS | unplug | quit\n");
}

bool ParseMs(const char *text, std::chrono::milliseconds &out)
{
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (!end || *end != '\0' || value < 0)
        return false;
    out = std::chrono::milliseconds(value);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    vocamo::ModemSimOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--no-voice") {
            options.voice = false;
        } else if (arg == "--no-speakerphone") {
            options.speakerphone = false;
        } else if (arg == "--no-callerid") {
            options.callerId = false;
        } else if (arg == "--split-replies") {
            options.splitReplies = true;
        } else if (arg == "--ring-interval" && hasValue &&
                   ParseMs(argv[i + 1], options.ringInterval)) {
            ++i;
        } else if (arg == "--answer-after" && hasValue &&
                   ParseMs(argv[i + 1], options.answerAfter)) {
            ++i;
        } else if (arg == "--reset-delay" && hasValue && ParseMs(argv[i + 1], options.resetDelay)) {
            ++i;
        } else if (arg == "--link" && hasValue) {
            options.linkPath = argv[++i];
        } else {
            Usage();
            return 2;
        }
    }

    // SIGINT and SIGTERM end the simulator through sigwait below, so the
    // link is removed on the way out.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    vocamo::CModemSim sim(options);
    if (!sim.Start()) {
        std::fprintf(stderr, "vocamo-modem-sim: cannot create a pseudo-terminal: %s\n",
                     std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", sim.SlavePath().c_str());
    std::fflush(stdout);

    std::thread controls([&sim] {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (line.empty())
                continue;
            if (line == "quit") {
                ::kill(::getpid(), SIGTERM);
                return;
            }
            if (!sim.Control(line))
                std::fprintf(stderr, "modem-sim ? %s\n", line.c_str());
        }
        // End of input: keep emulating until a signal ends the simulator.
    });
    controls.detach();

    int signal = 0;
    sigwait(&stopSignals, &signal);
    sim.Stop();
    std::_Exit(0);
}
