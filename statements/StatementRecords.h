#pragma once

#include "core/DataFiles.h"
#include "core/RecordLayout.h"
#include "platform/Decimal.h"

#include <optional>
#include <vector>

namespace fundora::statements {

using core::RecordLayout;

// One monthly statement of an account (file Statements, prefix STM): what the
// card's issuer printed on it and what reconciling it against the register
// gave. A statement with no finishing date is a draft, kept by "Later" with
// its ticks; an account has at most one.
//
// The figures always add up: ending balance = previous balance + charges +
// credits + accepted difference (credits are negative, as payments are stored).
struct CardStatement {
    std::int32_t statementId = 0;
    std::int32_t sysId = 0; // ACC:SysID of the account
    std::int32_t closingDate = 0;
    platform::Decimal endingBalance = platform::Decimal::fromUnits(0, 2);
    platform::Decimal previousBalance = platform::Decimal::fromUnits(0, 2);
    platform::Decimal charges = platform::Decimal::fromUnits(0, 2); // what the ticked entries raise the balance by
    platform::Decimal credits = platform::Decimal::fromUnits(0, 2); // what they lower it by (negative)
    platform::Decimal minimumPayment = platform::Decimal::fromUnits(0, 2);
    std::int32_t dueDate = 0;
    platform::Decimal acceptedDifference = platform::Decimal::fromUnits(0, 2);
    std::int32_t finishedDate = 0; // 0: a draft
    std::int32_t finishedTime = 0;
    std::int32_t transactionCount = 0;

    bool isDraft() const { return finishedDate == 0; }
    platform::Decimal computedEnding() const { return (previousBalance + charges + credits + acceptedDifference).rounded(2); }

    platform::RecordIdentity identity;
};

enum CardStatementKey { StmIdKey = 0, StmSysIDDateKey = 1 };

const RecordLayout<CardStatement>& cardStatementLayout();

// One transaction a statement holds (file StatementLines, prefix STL): the
// transaction's row in Transactions, which never changes and is never reused.
struct StatementLine {
    std::int32_t statementId = 0;
    std::int32_t sysId = 0;
    std::int32_t transactionRow = 0;

    platform::RecordIdentity identity;
};

enum StatementLineKey { StlStatementKey = 0, StlRowKey = 1, StlSysIDKey = 2 };

const RecordLayout<StatementLine>& statementLineLayout();

// The two files, declared at the first call of each.
core::FileId statementsFile();
core::FileId statementLinesFile();
core::TypedFile<CardStatement>& statementsOf(core::DataFiles& files);
// What a statement window keeps open: the account, its transactions and the two files.
std::vector<core::FileId> statementFiles();
core::TypedFile<StatementLine>& statementLinesOf(core::DataFiles& files);

// Every statement of account `sysId`, by closing date (its draft among them),
// read through the Statements buffer; the file must be open.
platform::FileError readStatements(core::DataFiles& files, std::int32_t sysId, std::vector<CardStatement>& out);
// The finished statement with the latest closing date (of two on one date, the later one made).
std::optional<CardStatement> latestFinished(const std::vector<CardStatement>& statements);
// The draft "Later" kept, if any.
std::optional<CardStatement> draftOf(const std::vector<CardStatement>& statements);

} // namespace fundora::statements
