#pragma once

#include "core/DataFiles.h"

#include <QString>

namespace fundora::test {

// Makes random changes and deletes to accounts 1..200 and their transactions
// for `seconds`, through the guarded writes, and writes a log: one line
// "W <file> <row> <version>" per successful change (the version it wrote) and
// a last line "SUMMARY <writes> <conflicts> <failures> <deletes> <inserts>".
int runStressWorker(core::DataFiles& files, int seconds, unsigned seed, const QString& logPath);

inline constexpr int StressAccounts = 200;

// Gives account `sysId` three transactions, all in one transaction; false if it exists already.
bool addStressAccount(core::DataFiles& files, std::int32_t sysId);

} // namespace fundora::test
