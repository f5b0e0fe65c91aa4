#include "app/VocamoApp.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char *argv[])
{
    // Placing top-level windows (the phone, the popup) needs X11; on a
    // Wayland session XWayland serves unless the user chose a platform.
    if (std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "xcb", 0);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vocamo"));
    QApplication::setDesktopFileName(QStringLiteral("vocamo"));
    vocamo::CVocamoApp app;
    return app.InitInstance();
}
