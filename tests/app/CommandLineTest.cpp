// The command line: each option and link form, good and bad, and the real
// program answering --help and --version without a display.
#include "app/CommandLine.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace vocamo;
using Action = CommandLine::Action;
using Line = CommandLine::Line;

namespace {

struct Case {
    QStringList arguments;
    Action action;
    Line line = Line::None;
    std::string target = {};
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.arguments.join(QLatin1Char(' ')).toStdString();
}

class CommandLineCase : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineCase, ReadsAsItShould)
{
    const Case &c = GetParam();
    const CommandLine parsed =
        ParseCommandLine(QStringList{QStringLiteral("vocamo")} + c.arguments);
    EXPECT_EQ(parsed.action, c.action) << parsed.text.toStdString();
    EXPECT_EQ(parsed.line, c.line);
    EXPECT_EQ(parsed.action == Action::Import || parsed.action == Action::Export ? parsed.file
                                                                                 : parsed.target,
              c.target);
    EXPECT_EQ(parsed.text.isEmpty(), c.action == Action::Run || c.action == Action::ListModems ||
                                         c.action == Action::Import || c.action == Action::Export);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineCase,
    ::testing::Values(
        Case{{}, Action::Run}, Case{{"--help"}, Action::Help}, Case{{"-h"}, Action::Help},
        Case{{"--version"}, Action::Version}, Case{{"--help-man"}, Action::Manual},
        Case{{"--bogus"}, Action::Error}, Case{{"-platform", "xcb"}, Action::Error},
        Case{{"--dial", "0171 555-12"}, Action::Run, Line::Modem, "017155512"},
        Case{{"--dial", "+49 (171) 555.12#"}, Action::Run, Line::Modem, "+4917155512#"},
        Case{{"--dial", "0171;ATH"}, Action::Error}, Case{{"--dial", "1+2"}, Action::Error},
        Case{{"--dial", "- ."}, Action::Error}, Case{{"--dial"}, Action::Error},
        Case{{"--dial", QString(65, QLatin1Char('1'))}, Action::Error},
        Case{{"--dial", "1", "--dial", "2"}, Action::Error},
        Case{{"tel:+49-171-555"}, Action::Run, Line::Modem, "+49171555"},
        Case{{"TEL:%2B49%20171"}, Action::Run, Line::Modem, "+49171"},
        Case{{"tel:0171;ext=5"}, Action::Error}, Case{{"tel:0171%0AATH"}, Action::Error},
        Case{{"callto:echo123"}, Action::Run, Line::Skype, "echo123"},
        Case{{"callto://live:.cid.42"}, Action::Run, Line::Skype, "live:.cid.42"},
        Case{{"skype:echo123?call"}, Action::Run, Line::Skype, "echo123"},
        Case{{"callto:+49 171"}, Action::Run, Line::Skype, "+49171"},
        Case{{"skype:echo123?chat"}, Action::Error}, Case{{"skype:echo%20123"}, Action::Error},
        Case{{"callto:"}, Action::Error}, Case{{"mailto:anna@example.org"}, Action::Error},
        Case{{"0171555"}, Action::Error}, Case{{"tel:1", "tel:2"}, Action::Error},
        Case{{"--dial", "1", "tel:2"}, Action::Error}, Case{{"--list-modems"}, Action::ListModems},
        Case{{"--import", "a.vcf"}, Action::Import, Line::None, "a.vcf"},
        Case{{"--export", "b.vcf"}, Action::Export, Line::None, "b.vcf"},
        Case{{"--import", "a.vcf", "--export", "b.vcf"}, Action::Error}));

// Neither a display nor a running phone is needed or touched.
TEST(CommandLine, HelpAndVersionNeedNoDisplayAndAMistakeEndsWithTwo)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    struct Run {
        const char *argument;
        int code;
        const char *out;
        const char *err;
    };
    for (const Run &run :
         {Run{"--help", 0, "--list-modems", ""}, Run{"--version", 0, "vocamo ", ""},
          Run{"--help-man", 0, "\\-\\-list\\-modems", ""},
          Run{"--bogus", 2, "", "Unknown option 'bogus'"}}) {
        QProcess vocamo;
        vocamo.setProcessEnvironment(env);
        vocamo.start(QStringLiteral(VOCAMO_BIN), {QString::fromLatin1(run.argument)});
        ASSERT_TRUE(vocamo.waitForFinished(30000)) << run.argument;
        EXPECT_EQ(vocamo.exitStatus(), QProcess::NormalExit) << run.argument;
        EXPECT_EQ(vocamo.exitCode(), run.code) << run.argument;
        const QByteArray out = vocamo.readAllStandardOutput();
        const QByteArray err = vocamo.readAllStandardError();
        EXPECT_TRUE(out.contains(run.out)) << run.argument << ": " << out.toStdString();
        EXPECT_TRUE(err.contains(run.err)) << run.argument << ": " << err.toStdString();
    }
}

} // namespace
