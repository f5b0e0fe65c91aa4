#include "resources/Resources.h"

namespace vocamo {

QString ImageResourcePath(const QString &name)
{
    return QStringLiteral(":/png/%1.png").arg(name);
}

QString BitmapResourcePath(int number)
{
    return QStringLiteral(":/bmp/%1.png").arg(number);
}

QString IconResourcePath()
{
    return QStringLiteral(":/icon/174.png");
}

} // namespace vocamo
