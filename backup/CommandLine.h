#pragma once

#include <QStringList>

namespace fundora::backup {

// Exit codes of the command-line mode.
namespace Exit {
inline constexpr int Completed = 0;
inline constexpr int Failed = 1;
inline constexpr int Usage = 2;
inline constexpr int CannotRun = 3;
} // namespace Exit

// True when the arguments ask for the command-line mode (--backup or --restore).
bool isCommandLine(const QStringList& arguments);

// Runs a backup or restore without windows:
//   vaultine [--dir DIR] --backup --to DIR [--no-compress] [--volume-size BYTES]
//   vaultine [--dir DIR] --restore --from DIR [--allow-older-set] [--sync-set-numbers]
// Questions the windows would ask are answered by the flags or refused; every
// message is printed. Returns the exit code.
int runCommandLine(const QStringList& arguments);

} // namespace fundora::backup
