#include "phonebook/EditorBitmaps.h"

#include <QString>

namespace vocamo {

QImage LoadEditorBitmap(int id)
{
    return QImage(QStringLiteral(":/bmp/%1.png").arg(id));
}

QImage LoadEditorIcon()
{
    return QImage(QStringLiteral(":/icon/174.png"));
}

} // namespace vocamo
