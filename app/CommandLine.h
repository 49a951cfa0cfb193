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

// fundora --sample DIR: makes a sample register in DIR (a new or empty
// directory) and says how to open it. 0 made, 1 refused or failed, 2 wrong
// arguments. nullopt: the command line does not ask for a sample.
std::optional<int> makeSampleIfAsked(const QStringList& arguments);

} // namespace fundora::app
