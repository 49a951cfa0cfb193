#pragma once

#include "backup/BackupConfig.h"

namespace fundora::backup {

// The DDE names by which the utility finds the main program running.
inline const QString FundoraDdeApplication = QString();
inline const QString FundoraDdeTopic = QStringLiteral("Vaultbak");

enum class StartupResult { Ready, Declined, CannotCreate, AnotherCopy, FundoraRunning };

// The start-up of the utility in its program directory: CFG.TPS and
// stowel.ini (Part of every start), then the check that Fundora is not
// running, which ends the utility with "Cannot Run Back Up Module!".
StartupResult startUtility(BackupConfig& config);

// True, after the "Cannot Run Back Up Module!" message, when Fundora runs.
// The utility asks at its start and again at the start of every backup and
// restore run: Fundora may have been started while the utility's window was open.
bool refuseIfFundoraRuns();

} // namespace fundora::backup
