#pragma once

#include <QStringList>

#include <optional>

namespace fundora::app {

// The usage of every command line of fundora.
QString usageText();

// Answers what needs no program directory and no display, before anything is
// opened or made: --help and -h print the usage (0), --version the version
// (0), and an option the windows do not know prints the usage on standard
// error (2). nullopt: none of these; the program goes on.
std::optional<int> answerWithoutStarting(const QStringList& arguments);

} // namespace fundora::app
