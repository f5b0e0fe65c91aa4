#include "app/VocamoApp.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

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

} // namespace

int main(int argc, char *argv[])
{
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
    return app.InitInstance();
}
