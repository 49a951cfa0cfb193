#pragma once

#include "core/Account.h"
#include "core/DataFiles.h"
#include "import/CsvMapping.h"
#include "import/ImportRecords.h"

#include <optional>

namespace fundora::importing {

// Which reader a file goes to: OFX and QFX files by their header (or their
// name), anything else as CSV.
enum class SourceKind { Ofx, Csv };
SourceKind kindOfFile(const QString& path);

// Reads a statement file of either kind. A CSV file is read with the
// account's remembered mapping, or with the one proposed from its lines when
// the account has none; a proposal that cannot tell month from day is
// refused here (the import window asks) unless `dateFormat` names one of the
// formats that read every date (the command line's --date-format).
bool readStatement(const QString& path, const importing::ImportSettings& settings, StatementFile& out, ReadError& error,
                   const QString& dateFormat = {});

// The file's account that goes to an account numbered `accountNumber`: the
// only one, or the one whose number matches; -1 when it cannot be told.
int accountOfFile(const StatementFile& file, const QString& accountNumber);
// Why no account of the file was taken, naming the accounts it holds.
QString accountChoiceProblem(const StatementFile& file, const core::Account& account);
// The account of the register that the file's account names when the chosen
// account's number does not match it: the file's number matches that
// account's in full or in its last four digits. Nullopt when the chosen
// account matches, or no other account does (Accounts must be open).
std::optional<core::Account> otherAccountNamed(core::DataFiles& files, const FileAccount& fileAccount, const core::Account& chosen);
// "The file's account ...1234 is account 2 (Alpha Bank) of the register, not account 3 (Beta Card)."
QString otherAccountText(const FileAccount& fileAccount, const core::Account& named, const core::Account& chosen);

// An account number as the windows show it: its last four digits after dots.
QString shortNumber(const QString& number);

} // namespace fundora::importing
