// The real program and a signal: SIGTERM, SIGINT and SIGHUP end it the way
// F5 does, with the call ended at the modem and the single-instance lock gone.
#include "tests/support/TempDir.h"
#include "tools/vocamo-modem-sim/ModemSim.h"

#include <QProcess>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using namespace vocamo;

namespace {

bool HasLock(const std::string &dir)
{
    for (const auto &entry : std::filesystem::directory_iterator(dir))
        if (entry.path().extension() == ".lock")
            return true;
    return false;
}

class Signal : public ::testing::TestWithParam<int> {};

TEST_P(Signal, EndsTheProgramAsF5DoesWithTheRingingCallRefused)
{
    test::TempDir runtime;
    ModemSimOptions options;
    options.log = false;
    options.linkPath = runtime.File("modem");
    CModemSim modem(options);
    ASSERT_TRUE(modem.Start());
    QProcess vocamo;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VOCAMO_MODEMS", QString::fromStdString(options.linkPath));
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QT_LOGGING_RULES", "vocamo.telephony.debug=true");
    vocamo.setProcessEnvironment(env);
    vocamo.setProcessChannelMode(QProcess::MergedChannels);
    vocamo.start(VOCAMO_BIN, {});
    ASSERT_TRUE(modem.WaitForCommand("AT+VCID=1", 30s));
    ASSERT_TRUE(modem.Control("ring 30 0171555"));
    QByteArray trace;
    while (!trace.contains("RINGING") && vocamo.waitForReadyRead(30000))
        trace += vocamo.readAll();
    ASSERT_TRUE(trace.contains("RINGING")) << trace.toStdString();
    EXPECT_TRUE(HasLock(runtime.Path()));

    modem.ClearReceived();
    ::kill(static_cast<pid_t>(vocamo.processId()), GetParam());
    ASSERT_TRUE(vocamo.waitForFinished(30000));
    trace += vocamo.readAll();
    EXPECT_EQ(vocamo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(vocamo.exitCode(), 0) << trace.toStdString();
    EXPECT_EQ(modem.Received(), (std::vector<std::string>{"AT+VLS=1", "<DLE>!", "AT+VLS=0"}));
    EXPECT_FALSE(HasLock(runtime.Path()));
}

INSTANTIATE_TEST_SUITE_P(TermIntHup, Signal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

} // namespace
