#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace vocamo {

// What the command line asks for. Read before any window exists, so that
// --help, --version and a mistyped option work without a display.
struct CommandLine {
    enum class Action { Run, Help, Version, Manual, ListModems, Import, Export, Error };
    enum class Line { None, Modem, Skype };

    Action action = Action::Run;
    // For Run: a number to dial on the modem line, or a handle to call on
    // the Skype line; None shows the phone.
    Line line = Line::None;
    std::string target;
    std::string file; // Import, Export: the vCard file
    QString text;     // Help, Version, Manual: what to print; Error: why
};

// argv as the program got it (the first is the program's name).
CommandLine ParseCommandLine(const QStringList &arguments);

// A number as a tel: link or --dial gives it: visual separators (- . ( )
// and blanks) dropped, one leading + kept, digits, * and #. Empty with
// *error set when anything else is in it.
std::optional<std::string> NormaliseNumber(const QString &text, QString *error = nullptr);
// A Skype handle (letters, digits, . , _ - : and a leading +), or a number.
std::optional<std::string> NormaliseHandle(const QString &text, QString *error = nullptr);

// The manual page vocamo.1 (troff), from the same option table as --help.
QString ManualPage();

} // namespace vocamo
