#include "app/CommandLine.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <iterator>

namespace vocamo {

namespace {

struct OptionRow {
    const char *shortName; // or null
    const char *name;
    const char *value; // the value's name, or null for a switch
    const char *help;
    bool hidden;
};

// The one option table: --help, the manual page and the parser read it.
const OptionRow kOptions[] = {
    {"h", "help", nullptr, "Show this help and exit.", false},
    {"v", "version", nullptr, "Show the version and exit.", false},
    {nullptr, "dial", "NUMBER",
     "Dial NUMBER on the modem line: in the running phone if there is one, else in a new one.",
     false},
    {nullptr, "list-modems", nullptr,
     "Try every candidate serial port, say in words what is behind each, and exit: 0 when a "
     "voice modem was found, else 1.",
     false},
    {nullptr, "import", "FILE.vcf", "Add the contacts of a vCard file to the phonebook and exit.",
     false},
    {nullptr, "export", "FILE.vcf", "Write the phonebook to a vCard file and exit.", false},
    {nullptr, "help-man", nullptr, "Print the manual page (troff) and exit.", true},
};

const char *const kDescription =
    "A desktop phone: calls on a voice modem and on Skype, with a phonebook.";
const char *const kLinkName = "URI";
const char *const kLinkHelp = "A tel: link to dial on the modem line, or a callto: or skype: "
                              "link to call on the Skype line.";

constexpr qsizetype kMaxNumber = 64;
constexpr qsizetype kMaxHandle = 128;

void Configure(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionRow &row : kOptions) {
        QStringList names;
        if (row.shortName)
            names << QString::fromLatin1(row.shortName);
        names << QString::fromLatin1(row.name);
        QCommandLineOption option(names, QString::fromUtf8(row.help));
        if (row.value)
            option.setValueName(QString::fromLatin1(row.value));
        if (row.hidden)
            option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.addPositionalArgument(QString::fromLatin1(kLinkName), QString::fromUtf8(kLinkHelp),
                                 QStringLiteral("[URI]"));
}

CommandLine Failed(const QString &why)
{
    CommandLine line;
    line.action = CommandLine::Action::Error;
    line.text = why;
    return line;
}

// A tel:, callto: or skype: link, as a desktop hands it over.
CommandLine ParseLink(const QString &link)
{
    const qsizetype colon = link.indexOf(QLatin1Char(':'));
    const QString scheme = colon > 0 ? link.left(colon).toLower() : QString();
    QString rest = link.mid(colon + 1);
    CommandLine line;
    QString why;
    if (scheme == QLatin1String("tel")) {
        rest = QString::fromUtf8(QByteArray::fromPercentEncoding(rest.toUtf8()));
        const std::optional<std::string> number = NormaliseNumber(rest, &why);
        if (!number)
            return Failed(QStringLiteral("%1: %2").arg(link, why));
        line.line = CommandLine::Line::Modem;
        line.target = *number;
        return line;
    }
    if (scheme == QLatin1String("callto") || scheme == QLatin1String("skype")) {
        if (rest.startsWith(QLatin1String("//")))
            rest.remove(0, 2);
        // skype:handle?call; any other action is not a call.
        if (const qsizetype query = rest.indexOf(QLatin1Char('?')); query >= 0) {
            if (rest.mid(query + 1).compare(QLatin1String("call"), Qt::CaseInsensitive) != 0)
                return Failed(QStringLiteral("%1: only calls are handled").arg(link));
            rest.truncate(query);
        }
        rest = QString::fromUtf8(QByteArray::fromPercentEncoding(rest.toUtf8()));
        const std::optional<std::string> handle = NormaliseHandle(rest, &why);
        if (!handle)
            return Failed(QStringLiteral("%1: %2").arg(link, why));
        line.line = CommandLine::Line::Skype;
        line.target = *handle;
        return line;
    }
    return Failed(QStringLiteral("%1: not a tel:, callto: or skype: link").arg(link));
}

void SetWhy(QString *error, const QString &why)
{
    if (error)
        *error = why;
}

// troff text: a backslash doubled, a leading dot or quote kept literal.
QString Troff(QString text)
{
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

} // namespace

std::optional<std::string> NormaliseNumber(const QString &text, QString *error)
{
    std::string number;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '-' || u == '.' || u == '(' || u == ')' || u == ' ')
            continue;
        if ((u >= '0' && u <= '9') || u == '*' || u == '#' || (u == '+' && number.empty())) {
            number += static_cast<char>(u);
            continue;
        }
        SetWhy(error, QStringLiteral("\"%1\" does not belong in a phone number").arg(c));
        return std::nullopt;
    }
    if (number.empty() || number == "+") {
        SetWhy(error, QStringLiteral("no number"));
        return std::nullopt;
    }
    if (static_cast<qsizetype>(number.size()) > kMaxNumber) {
        SetWhy(error, QStringLiteral("the number is longer than %1 digits").arg(kMaxNumber));
        return std::nullopt;
    }
    return number;
}

std::optional<std::string> NormaliseHandle(const QString &text, QString *error)
{
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0].isDigit()))
        return NormaliseNumber(text, error);
    if (text.isEmpty() || text.size() > kMaxHandle) {
        SetWhy(error, text.isEmpty() ? QStringLiteral("no Skype name")
                                     : QStringLiteral("the Skype name is too long"));
        return std::nullopt;
    }
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool ascii = u < 0x80 && (c.isLetterOrNumber() || u == '.' || u == ',' || u == '_' ||
                                        u == '-' || u == ':');
        if (!ascii) {
            SetWhy(error, QStringLiteral("\"%1\" does not belong in a Skype name").arg(c));
            return std::nullopt;
        }
    }
    return text.toStdString();
}

CommandLine ParseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    Configure(parser);
    if (!parser.parse(arguments))
        return Failed(parser.errorText());
    CommandLine line;
    if (parser.isSet(QStringLiteral("help"))) {
        line.action = CommandLine::Action::Help;
        line.text =
            parser.helpText().replace(QLatin1String("<executable_name>"), QLatin1String("vocamo"));
        return line;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        line.action = CommandLine::Action::Version;
        line.text = QStringLiteral("vocamo " VOCAMO_VERSION "\n");
        return line;
    }
    if (parser.isSet(QStringLiteral("help-man"))) {
        line.action = CommandLine::Action::Manual;
        line.text = ManualPage();
        return line;
    }

    const QStringList links = parser.positionalArguments();
    const QStringList dial = parser.values(QStringLiteral("dial"));
    const QStringList imports = parser.values(QStringLiteral("import"));
    const QStringList exports = parser.values(QStringLiteral("export"));
    const bool list = parser.isSet(QStringLiteral("list-modems"));
    const qsizetype asked = links.size() + dial.size() + imports.size() + exports.size() + list;
    if (asked > 1)
        return Failed(QStringLiteral(
            "give one of --dial, --list-modems, --import, --export or a link at a time"));
    if (!links.isEmpty())
        return ParseLink(links.first());
    if (!dial.isEmpty()) {
        QString why;
        const std::optional<std::string> number = NormaliseNumber(dial.first(), &why);
        if (!number)
            return Failed(QStringLiteral("--dial %1: %2").arg(dial.first(), why));
        line.line = CommandLine::Line::Modem;
        line.target = *number;
    } else if (list) {
        line.action = CommandLine::Action::ListModems;
    } else if (!imports.isEmpty() || !exports.isEmpty()) {
        line.action = imports.isEmpty() ? CommandLine::Action::Export : CommandLine::Action::Import;
        line.file = (imports.isEmpty() ? exports : imports).first().toStdString();
        if (line.file.empty())
            return Failed(QStringLiteral("--import and --export need a file name"));
    }
    return line;
}

QString ManualPage()
{
    QString page;
    page += QStringLiteral(".TH VOCAMO 1 \"\" \"vocamo " VOCAMO_VERSION "\" \"User Commands\"\n");
    page += QStringLiteral(".SH NAME\nvocamo \\- %1\n").arg(Troff(QString::fromUtf8(kDescription)));
    page += QStringLiteral(".SH SYNOPSIS\n.B vocamo\n[\\fIOPTION\\fR] [\\fIURI\\fR]\n");
    page += QStringLiteral(".SH DESCRIPTION\nOne phone runs per user and display. Started again, "
                           "vocamo hands its request (show the window, or dial) to the running "
                           "one and ends.\n");
    page += QStringLiteral(".SH OPTIONS\n");
    for (const OptionRow &row : kOptions) {
        if (row.hidden)
            continue;
        page += QStringLiteral(".TP\n\\fB");
        if (row.shortName)
            page += QStringLiteral("\\-%1\\fR, \\fB").arg(QLatin1String(row.shortName));
        page += QStringLiteral("\\-\\-%1\\fR").arg(Troff(QLatin1String(row.name)));
        if (row.value)
            page += QStringLiteral(" \\fI%1\\fR").arg(Troff(QLatin1String(row.value)));
        page += QLatin1Char('\n') + Troff(QString::fromUtf8(row.help)) + QLatin1Char('\n');
    }
    page += QStringLiteral(".TP\n\\fI%1\\fR\n%2\n")
                .arg(QLatin1String(kLinkName), Troff(QString::fromUtf8(kLinkHelp)));
    page += QStringLiteral(
        ".SH ENVIRONMENT\n.TP\n.B VOCAMO_MODEMS\nThe serial ports to look for a modem on, "
        "separated by colons; unset, every /dev/ttyACM* then every /dev/ttyUSB*.\n");
    page += QStringLiteral(".SH EXIT STATUS\n0 on success, 1 when the request failed (for "
                           "\\-\\-list\\-modems: no voice modem), 2 for a wrong command line.\n");
    return page;
}

} // namespace vocamo
