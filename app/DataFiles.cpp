#include "app/DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

namespace vocamo {

namespace {
Q_LOGGING_CATEGORY(lcDataFiles, "vocamo.window", QtWarningMsg)
} // namespace

QString DataFilePath(const QString &exeDir, const QString &name)
{
    const QString beside = QDir(exeDir).filePath(name);
    const QString installed =
        QDir::cleanPath(QDir(exeDir).filePath(QStringLiteral("../../share/vocamo/") + name));
    for (const QString &path : {beside, installed}) {
        if (QFileInfo(path).isFile()) {
            qCDebug(lcDataFiles).noquote() << name << "is" << path;
            return path;
        }
    }
    qCWarning(lcDataFiles).noquote() << "no" << name << "beside the program nor in" << installed;
    return beside;
}

} // namespace vocamo
