#pragma once

#include <QDateTime>
#include <QString>

namespace vocamo::bench {

// A history of n ended calls, one a minute from first on, written in one
// transaction; false when it could not be written.
bool FillHistory(const QString &file, int n, const QDateTime &first);

} // namespace vocamo::bench
