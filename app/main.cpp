#include "app/VocamoApp.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

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
    FirstFrameExit firstFrameExit;
    if (std::getenv("VOCAMO_EXIT_AFTER_FIRST_FRAME"))
        application.installEventFilter(&firstFrameExit);
    vocamo::CVocamoApp app;
    return app.InitInstance();
}
