#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace fundora::platform {

// The options of a command line that works on a register, one at a time
// after the program's name. --dir DIR and --server URI (or --dir=DIR,
// --server=URI) name the register, which the program takes elsewhere: they
// are passed over here (either without its value is a problem).
class CommandOptions {
public:
    explicit CommandOptions(const QStringList& arguments) : m_arguments(arguments) {}

    // Moves to the next option; false at the end or at a problem.
    bool next();
    const QString& option() const { return m_option; }
    // Takes the argument that follows the option as its value (none at the end).
    std::optional<QString> value();
    // What is wrong with the options passed over (empty when nothing is).
    const QString& problem() const { return m_problem; }

private:
    const QStringList& m_arguments;
    qsizetype m_at = 0;
    QString m_option;
    QString m_problem;
};

} // namespace fundora::platform
