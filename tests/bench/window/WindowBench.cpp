// The window as the user meets it: how long from starting the program to its
// first picture, and from a key to the picture that shows it. Against the
// modem simulator, on the offscreen platform.

#include "app/VocamoDlg.h"
#include "skin/ContactItem.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeBridge.h"
#include "telephony/CallController.h"
#include "tests/bench/window/BenchWindow.h"
#include "tests/bench/window/Median.h"
#include "tests/support/MemorySkypeTransport.h"
#include "tests/support/SkypeSimProcess.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QInputDevice>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using namespace vocamo;
using namespace std::chrono_literals;
using bench::PumpUntil;

void WritePhonebook(const QString &dir, int entries)
{
    std::ofstream file((dir + QStringLiteral("/Bookmark.ini")).toStdString(), std::ios::binary);
    for (int i = 0; i < entries; ++i)
        file << "[Person " << i << "]\nPhone_Home=0221 55" << i << "\nPhone_Office=0300 " << i
             << "\nPhone_Mobile=0171 555 " << i << "\n";
}

ModemSimOptions QuietModem()
{
    ModemSimOptions options;
    options.log = false;
    return options;
}

// Starts the program and waits for its "first frame"; the time until that
// line, or a negative number when it never came.
double StartOnce(const std::string &program, const std::vector<std::string> &env)
{
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    std::vector<char *> envp;
    for (const std::string &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(program.c_str()), nullptr};

    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    double ms = -1;
    if (spawned == 0) {
        std::string said;
        const QDeadlineTimer deadline(10000);
        while (said.find("first frame") == std::string::npos && !deadline.hasExpired()) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            char buffer[256];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            said.append(buffer, static_cast<size_t>(n));
        }
        if (said.find("first frame") != std::string::npos)
            ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        else
            ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    ::close(out[0]);
    return ms;
}

// The program started anew each time, in a folder of its own with a
// phonebook of 100 entries, the modem simulator on its port; timed until the
// window has composed and painted its first picture.
void BM_StartToFirstFrame(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString program = dir.path() + QStringLiteral("/vocamo");
    if (!QFile::copy(QStringLiteral(VOCAMO_BIN), program)) {
        state.SkipWithError("cannot copy the program");
        return;
    }
    WritePhonebook(dir.path(), 100);
    CModemSim modem(QuietModem());
    if (!modem.Start()) {
        state.SkipWithError("modem simulator did not start");
        return;
    }
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("VOCAMO_MODEMS=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.push_back(entry);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("VOCAMO_MODEMS=" + modem.SlavePath());
    env.push_back("XDG_RUNTIME_DIR=" + dir.path().toStdString());
    env.push_back("VOCAMO_EXIT_AFTER_FIRST_FRAME=1");

    std::vector<double> times;
    for (auto _ : state) {
        const double ms = StartOnce(program.toStdString(), env);
        if (ms < 0) {
            state.SkipWithError("no first frame within 10 s");
            return;
        }
        times.push_back(ms);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["median_ms"] = bench::Median(times);
    state.counters["max_ms"] = *std::max_element(times.begin(), times.end());
}
BENCHMARK(BM_StartToFirstFrame)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

// Counts the window's paints; a paint has been composed once the event
// that carried it is done.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A digit typed on the keypad of the running window, until the picture with
// that digit on the display has been painted.
void BM_KeyToFrame(benchmark::State &state)
{
    QTemporaryDir dir;
    WritePhonebook(dir.path(), 100);
    CModemSim modem(QuietModem());
    if (!modem.Start()) {
        state.SkipWithError("modem simulator did not start");
        return;
    }
    setenv("VOCAMO_MODEMS", modem.SlavePath().c_str(), 1);
    CMemorySkypeTransport skype;
    CVocamoDlg window(bench::QuietServices(dir.path(), skype));
    PaintCounter counter;
    window.installEventFilter(&counter);
    window.show();
    if (!PumpUntil(
            [&] {
                return window.ModemState() == NORMAL && window.FirstNameRow() && counter.paints > 0;
            },
            10s)) {
        state.SkipWithError("the window did not come up");
        return;
    }
    PumpUntil([] { return false; }, 200ms);

    auto press = [&](int key, const QString &text) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&window, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(&window, &up);
    };
    std::vector<double> times;
    int typed = 0;
    for (auto _ : state) {
        if (typed % 20 == 0) {
            state.PauseTiming();
            const int before = counter.paints;
            press(Qt::Key_Delete, QString());
            PumpUntil([&] { return counter.paints > before; }, 2s);
            state.ResumeTiming();
        }
        const int digit = typed++ % 10;
        QElapsedTimer clock;
        clock.start();
        const int before = counter.paints;
        press(Qt::Key_0 + digit, QString::number(digit));
        if (!PumpUntil([&] { return counter.paints > before; }, 2s)) {
            state.SkipWithError("no frame after the key");
            return;
        }
        times.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    state.counters["median_ms"] = bench::Median(times);
}
BENCHMARK(BM_KeyToFrame)->Iterations(200)->Unit(benchmark::kMillisecond);

// Whether the window shows the friends list as the bridge holds it: every
// friend's presence known, and a row, with its name, for each one online.
bool FriendsShown(const CVocamoDlg &window)
{
    const CSkypeBridge *bridge = window.Bridge();
    if (!bridge || bridge->GetFriendCount() == 0)
        return false;
    int online = 0;
    for (int i = 0; i < bridge->GetFriendCount(); ++i) {
        const CSkypeFriend *record = bridge->GetFriend(static_cast<uint32_t>(i));
        if (record->onlineStatus == "s" || record->displayName == "r")
            return false; // details still to come
        online += record->onlineStatus != "OFFLINE";
    }
    int rows = 0;
    for (const CContactItem *row = window.FirstFriendRow(); row; row = row->GetNext()) {
        if (row->GetText() == "r")
            return false;
        ++rows;
    }
    return rows == online;
}

// The window with a Skype client holding n friends whose presence changes
// 50 times a second, on the offscreen platform: from the friends list's
// arrival until the window shows every friend online, and the longest the
// window thread took, from its start, to answer an input event.
void BM_FriendsList(benchmark::State &state)
{
    const int friends = static_cast<int>(state.range(0));
    CSkypeSimProcess sim;
    if (!sim.Start({QStringLiteral("--friends"), QString::number(friends),
                    QStringLiteral("--churn"), QStringLiteral("50")},
                   true)) {
        state.SkipWithError(qPrintable(sim.Error()));
        return;
    }
    setenv("VOCAMO_MODEMS", "/nonexistent/ttyACM9", 1);
    QTemporaryDir dir;
    CDBusSkypeTransport transport(sim.Bus());
    VocamoServices services = bench::QuietServices(dir.path(), transport);
    services.makeBridge = [](CMessageTarget &target, CSkypeTransport &skype) {
        return std::make_unique<CSkypeBridge>(target, skype, 100ms);
    };
    std::vector<double> complete;
    double longest = 0;
    for (auto _ : state) {
        CVocamoDlg window(services);
        window.show();
        bench::CInputProbe probe(&window);
        if (!PumpUntil([&] { return window.Bridge()->GetFriendCount() > 0; }, 10s)) {
            state.SkipWithError("no friends list within 10 s");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        if (!PumpUntil([&] { return FriendsShown(window); }, 60s)) {
            state.SkipWithError("the friends list was not complete within 60 s");
            return;
        }
        complete.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
        longest = std::max(longest, probe.LongestMs());
        state.SetIterationTime(complete.back() / 1000.0);
    }
    state.counters["complete_ms"] = bench::Median(complete);
    state.counters["longest_input_wait_ms"] = longest;
}
BENCHMARK(BM_FriendsList)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
