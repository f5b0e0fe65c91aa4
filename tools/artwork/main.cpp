// vocamo-artwork: paints every picture of the program and writes the ring.
//
//   vocamo-artwork RESOURCES_DIR [--preview FILE]
//
// RESOURCES_DIR is the repository's resources/ folder; the files there are
// overwritten. --preview also writes the telephone as it looks at start-up
// (for looking at the art without building the program).
#include "tools/artwork/ArtKit.h"
#include "tools/artwork/Pictures.h"
#include "tools/artwork/RingTone.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <cstdio>

using namespace vocamo::art;

namespace {

// The telephone as it looks at start-up with the keypad open and both lines up.
QImage Preview(const QHash<QString, QImage> &made)
{
    QImage window = NewCanvas(360, 550);
    QPainter p(&window);
    auto at = [&](const char *name, int x, int y, qreal opacity = 1.0) {
        p.setOpacity(opacity);
        p.drawImage(QPoint(x, y),
                    made.value(QStringLiteral("png/%1.png").arg(QLatin1String(name))));
    };
    at("IDB_BACKGROUND_BASE", 23, 71);
    for (int i = 0; i < 4; ++i)
        at("IDB_BOY1", 45, 90 + i * 30, i == 0 ? 1.0 : 100 / 255.0);
    at("IDB_KEYPAD_LCD", 24, 329);
    at("IDB_KEYPAD_BACKGROUND", 24, 354);
    const char *keys[] = {"IDB_1", "IDB_2", "IDB_3", "IDB_4",   "IDB_5", "IDB_6",
                          "IDB_7", "IDB_8", "IDB_9", "IDB_CLR", "IDB_0", "IDB_BACK"};
    for (int i = 0; i < 12; ++i)
        at(keys[i], 24 + 14 + (i % 3) * 54, 354 + 4 + (i / 3) * 27);
    at("IDB_BACKGROUND_TOP", 0, 0);
    at("IDB_CLOSE", 211, 19);
    at("IDB_RECENT", 13, 16, 100 / 255.0);
    at("IDB_SKYPE", 12, 44, 100 / 255.0);
    at("IDB_MODEM", 119, 44);
    at("IDB_CALLSTART", 71, 484);
    at("IDB_CALLEND", 128, 484, 100 / 255.0);
    at("IDB_BOOKMARK", 196, 488);
    at("IDB_KEYPAD", 13, 489);
    at("IDB_UP", 201, 71);
    at("IDB_DOWN", 201, 304);
    at("IDB_POPUP", 120, 110);
    at("IDB_CLOSE", 325, 118);
    at("IDB_HOME", 134, 124);
    at("IDB_MOBILE", 134, 174, 100 / 255.0);
    return window;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: vocamo-artwork RESOURCES_DIR [--preview FILE]\n");
        return 2;
    }
    const QDir out(args.at(1));
    QString preview;
    const int at = args.indexOf(QStringLiteral("--preview"));
    if (at > 0 && at + 1 < args.size())
        preview = args.at(at + 1);

    QHash<QString, QImage> made;
    std::vector<Picture> all = PhonePictures();
    for (Picture &p : DialogPictures())
        all.push_back(std::move(p));
    for (const Picture &picture : all) {
        const QString path = out.filePath(picture.file);
        QDir().mkpath(QFileInfo(path).path());
        const QImage image = picture.paint();
        SavePng(image, path, picture.width, picture.height, picture.opaque);
        made.insert(picture.file, image);
    }
    if (!WriteRingTone(out.filePath(QStringLiteral("RING.WAV")))) {
        std::fprintf(stderr, "artwork: cannot write RING.WAV\n");
        return 1;
    }
    if (!preview.isEmpty())
        Preview(made).save(preview);
    std::printf("artwork: %zu pictures and RING.WAV written to %s\n", all.size(),
                qPrintable(out.path()));
    return 0;
}
