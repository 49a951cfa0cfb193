#pragma once

#include "statements/StatementRecords.h"

#include <optional>
#include <vector>

namespace fundora::statements {

// The statements of the accounts as they are stored, and the changes that keep
// them and the transactions they reconciled in step. Reads use the files'
// shared buffers of Statements and StatementLines; writes are version-checked
// like every other write. The files must be open.

using statements::draftOf;
using statements::latestFinished;
using statements::readStatements;

// The transaction rows statement `statementId` holds.
platform::FileError readLines(core::DataFiles& files, std::int32_t statementId, std::vector<std::int64_t>& rows);
// The finished statement that holds the transaction stored at `row`, if one does.
platform::FileError statementHolding(core::DataFiles& files, std::int64_t row, std::optional<statements::CardStatement>& out);

// What the account's reconciled transactions add up to, with the differences
// its finished statements (`statements`, as read) accepted: the balance the
// next statement starts from.
platform::FileError reconciledBalance(core::DataFiles& files, std::int32_t sysId, const std::vector<statements::CardStatement>& statements,
                                      platform::Decimal& out);

// Writes a statement: added with the next free identifier when it has none, written back otherwise.
platform::FileError writeStatement(core::DataFiles& files, statements::CardStatement& statement);
// Makes `rows` the lines of `statement` (its earlier lines are removed).
platform::FileError replaceLines(core::DataFiles& files, const statements::CardStatement& statement, const std::vector<std::int64_t>& rows);

// Moves the transactions of the account's latest finished statement back to
// the open ones and removes the statement, in one commit. 35 when the account
// has no finished statement; 89 when `expectedId` (unless 0) is no longer the
// latest (another station finished or undid one meanwhile).
struct Undone {
    statements::CardStatement statement;
    std::vector<std::int64_t> reopened; // the rows moved back
};
platform::FileError undoLatestStatement(core::DataFiles& files, std::int32_t sysId, std::int32_t expectedId, Undone& out);

// A reconciled transaction changed (`after`) or was deleted (`after` null):
// the statement holding it takes the change of its amount into its charges or
// credits, and the ending balance it states stays, so its difference moves by
// as much (the balance the next statement starts from stays too). A
// transaction no longer reconciled, or deleted, leaves its statement. For use
// inside the commit of the change.
platform::FileError followTransactionChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after);

// The amount's share of a statement's charges (positive amounts) and credits (negative ones).
void addToFigures(statements::CardStatement& statement, const platform::Decimal& amount, int sign);

} // namespace fundora::statements
