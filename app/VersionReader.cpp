#include "app/VersionReader.h"

#include "core/Text.h"

#include <QFile>
#include <array>
#include <cstdio>

// The record's resource lives in this static library; nothing else refers to
// it, so it is registered by hand.
static void RegisterVersionResource()
{
    Q_INIT_RESOURCE(vocamo_version);
}

namespace vocamo {

namespace {

// A version field is 16 bits, as in the version resource it stands for.
bool ParseField(const std::string &text, unsigned &value)
{
    if (text.empty() || text.size() > 5)
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 0xFFFF;
}

} // namespace

CVersionReader::CVersionReader() : CVersionReader(QString::fromLatin1(kRecordPath)) {}

CVersionReader::CVersionReader(const QString &recordPath)
{
    RegisterVersionResource();
    QFile file(recordPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A record is a few dozen bytes; anything much larger is not one.
    const QByteArray bytes = file.read(256);
    Parse(bytes.toStdString());
}

CVersionReader CVersionReader::FromText(const std::string &record)
{
    CVersionReader reader{Unread{}};
    reader.Parse(record);
    return reader;
}

void CVersionReader::Parse(const std::string &record)
{
    const std::string text = Trimmed(record);
    std::array<unsigned, 4> fields{};
    size_t start = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const size_t comma = text.find(',', start);
        const bool last = i + 1 == fields.size();
        if (last != (comma == std::string::npos))
            return;
        const size_t end = last ? text.size() : comma;
        if (!ParseField(text.substr(start, end - start), fields[i]))
            return;
        start = end + 1;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%u,%u,%u,%u", fields[0], fields[1], fields[2], fields[3]);
    // One record stands for both versions of the program.
    m_fileVersion = buffer;
    m_productVersion = buffer;
}

} // namespace vocamo
