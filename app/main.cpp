#include "app/CommandLine.h"
#include "app/VocamoApp.h"
#include "phonebook/Phonebook.h"
#include "phonebook/VCard.h"
#include "platform/tapi/ModemDiagnosis.h"
#include "platform/tapi/ModemProvider.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <utility>

namespace {

// SIGTERM, SIGINT and SIGHUP (kill, Ctrl+C, the session ending) end the
// program the way F5 does: the event loop ends, and the window's destruction
// hangs up at the modem, closes the port and releases the single-instance
// lock. The handler only writes to a pipe, which the event loop watches.
class QuitOnSignal {
public:
    QuitOnSignal()
    {
        if (::pipe2(s_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        m_notifier = std::make_unique<QSocketNotifier>(s_pipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [] {
            char drained[16];
            while (::read(s_pipe[0], drained, sizeof drained) > 0) {
            }
            QCoreApplication::exit(0);
        });
        struct sigaction action {};
        action.sa_handler = [](int) {
            const int saved = errno;
            const char b = 1;
            [[maybe_unused]] const ssize_t n = ::write(s_pipe[1], &b, 1);
            errno = saved;
        };
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            ::sigaction(signal, &action, nullptr);
    }

private:
    static inline int s_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

// For the start-up benchmark only: with VOCAMO_EXIT_AFTER_FIRST_FRAME set,
// the program says "first frame" on stdout once its window has painted for
// the first time, and ends.
class FirstFrameExit : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && qobject_cast<vocamo::CVocamoDlg *>(watched)) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued, so the paint this event asks for is done first.
            QTimer::singleShot(0, [] {
                std::puts("first frame");
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }
};

// Every candidate port and what is behind it; 0 when one is a voice modem.
int ListModems()
{
    const std::vector<std::string> ports = vocamo::CModemProvider::DefaultDevices();
    if (ports.empty()) {
        std::puts("No serial port found: no /dev/ttyACM* or /dev/ttyUSB*, and VOCAMO_MODEMS "
                  "names none.");
        return 1;
    }
    bool voice = false;
    for (const std::string &port : ports) {
        const vocamo::ModemDiagnosis found = vocamo::DiagnosePort(port);
        std::printf("%s\n", found.Line().c_str());
        std::fflush(stdout);
        voice = voice || found.IsVoice();
    }
    return voice ? 0 : 1;
}

// --import and --export: the phonebook the window would use, and a vCard file.
int PhonebookFile(int argc, char *argv[], const vocamo::CommandLine &line)
{
    QCoreApplication core(argc, argv);
    const std::string book =
        vocamo::BookmarkLocation(QCoreApplication::applicationDirPath().toStdString());
    std::string error;
    if (book.empty()) {
        error = "no folder for the phonebook";
    } else if (line.action == vocamo::CommandLine::Action::Export) {
        if (vocamo::ExportVCardFile(book, line.file, &error)) {
            std::printf("exported: %s\n", line.file.c_str());
            return 0;
        }
    } else if (const auto report = vocamo::ImportVCardFile(line.file, book, &error)) {
        for (const auto &[label, names] :
             {std::pair("added", &report->added), std::pair("filled", &report->filled),
              std::pair("skipped", &report->skipped)})
            for (const std::string &name : *names)
                std::printf("%s: %s\n", label, name.c_str());
        return 0;
    }
    std::fprintf(stderr, "vocamo: %s\n", error.c_str());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Read before any window exists: --help, --version and a mistyped
    // option need no display, and never reach a running phone.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const vocamo::CommandLine line = vocamo::ParseCommandLine(arguments);
    switch (line.action) {
    case vocamo::CommandLine::Action::Error:
        std::fprintf(stderr, "vocamo: %s\nTry 'vocamo --help'.\n", qPrintable(line.text));
        return 2;
    case vocamo::CommandLine::Action::Help:
    case vocamo::CommandLine::Action::Version:
    case vocamo::CommandLine::Action::Manual:
        std::fputs(line.text.toLocal8Bit().constData(), stdout);
        return 0;
    case vocamo::CommandLine::Action::ListModems:
        return ListModems();
    case vocamo::CommandLine::Action::Import:
    case vocamo::CommandLine::Action::Export:
        return PhonebookFile(argc, argv, line);
    case vocamo::CommandLine::Action::Run:
        break;
    }

    // Placing top-level windows (the phone, the popup) needs X11; on a
    // Wayland session XWayland serves unless the user chose a platform.
    if (std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocamo"));
    QApplication::setDesktopFileName(QStringLiteral("vocamo"));
    QuitOnSignal quitOnSignal;
    FirstFrameExit firstFrameExit;
    if (std::getenv("VOCAMO_EXIT_AFTER_FIRST_FRAME"))
        application.installEventFilter(&firstFrameExit);
    vocamo::CVocamoApp app;
    return app.InitInstance(line);
}
