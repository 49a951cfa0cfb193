#include "statements/StatementBook.h"

#include "core/FileTransaction.h"
#include "platform/store/View.h"
#include "statements/StatementRecords.h"

#include <algorithm>

namespace fundora::statements {

using platform::Decimal;
using platform::FileError;
using statements::CardStatement;
namespace ErrorCode = platform::ErrorCode;

namespace {

// Reads forward from where the file's cursor stands while `belongs` holds for the buffer.
template <class R, class Belongs, class Each>
FileError readWhile(core::TypedFile<R>& file, Belongs belongs, Each each)
{
    for (;;) {
        const FileError e = file.next();
        if (e.code == ErrorCode::EndOfFile || (e.ok() && !belongs(file.record)))
            return FileError::success();
        if (!e.ok())
            return e;
        if (FileError handled = each(file.record); !handled.ok())
            return handled;
    }
}

FileError removeLinesOf(core::DataFiles& files, std::int32_t statementId)
{
    auto& lines = statements::statementLinesOf(files);
    for (;;) {
        // Each removed line leaves the range: the first one left is always the next.
        lines.clear();
        lines.record.statementId = statementId;
        lines.setOnValue(statements::StlStatementKey);
        const FileError e = lines.next();
        if (e.code == ErrorCode::EndOfFile || (e.ok() && lines.record.statementId != statementId))
            return FileError::success();
        if (!e.ok())
            return e;
        if (FileError removed = lines.remove(); !removed.ok())
            return removed;
    }
}

FileError nextStatementId(core::DataFiles& files, std::int32_t& out)
{
    auto& stm = statements::statementsOf(files);
    stm.set(statements::StmIdKey);
    const FileError e = stm.previous();
    if (e.code == ErrorCode::EndOfFile) {
        out = 1;
        return FileError::success();
    }
    if (!e.ok())
        return e;
    out = stm.record.statementId + 1;
    return FileError::success();
}

const platform::FileDef& tra()
{
    return core::transactionLayout().def();
}

} // namespace

FileError readLines(core::DataFiles& files, std::int32_t statementId, std::vector<std::int64_t>& rows)
{
    rows.clear();
    auto& lines = statements::statementLinesOf(files);
    lines.clear();
    lines.record.statementId = statementId;
    lines.setOnValue(statements::StlStatementKey);
    return readWhile(
        lines, [statementId](const statements::StatementLine& l) { return l.statementId == statementId; },
        [&rows](const statements::StatementLine& l) {
            rows.push_back(l.transactionRow);
            return FileError::success();
        });
}

FileError statementHolding(core::DataFiles& files, std::int64_t row, std::optional<CardStatement>& out)
{
    out.reset();
    auto& lines = statements::statementLinesOf(files);
    lines.clear();
    lines.record.transactionRow = static_cast<std::int32_t>(row);
    lines.setOnValue(statements::StlRowKey);
    std::vector<std::int32_t> holders;
    FileError e = readWhile(
        lines, [row](const statements::StatementLine& l) { return l.transactionRow == row; },
        [&holders](const statements::StatementLine& l) {
            holders.push_back(l.statementId);
            return FileError::success();
        });
    if (!e.ok())
        return e;
    // A draft's ticks name open transactions; only a finished statement holds a reconciled one.
    for (std::int32_t id : holders) {
        statements::statementsOf(files).clear();
        statements::statementsOf(files).record.statementId = id;
        e = statements::statementsOf(files).get(statements::StmIdKey);
        if (e.code == ErrorCode::RecordNotFound)
            continue;
        if (!e.ok())
            return e;
        if (!statements::statementsOf(files).record.isDraft()) {
            out = statements::statementsOf(files).record;
            break;
        }
    }
    return FileError::success();
}

FileError reconciledBalance(core::DataFiles& files, std::int32_t sysId, const std::vector<CardStatement>& statements, Decimal& out)
{
    // SQLite sums the reconciled amounts from the transactions' summary index.
    platform::View view(files.transactions.file(), core::TraSysIDKey);
    core::Transaction owner;
    owner.sysId = sysId;
    view.setRange(core::transactionLayout().toRecord(owner), 1);
    platform::View::Totals totals;
    FileError e =
        view.totals(tra().fieldIndex(QStringLiteral("TRA:TransactionAmount")), QStringLiteral("TRA:ReconciledTransaction = 1"), {}, totals);
    if (!e.ok())
        return e;
    Decimal balance = Decimal::fromUnits(totals.sumUnits, 2);
    bool anyFinished = false;
    for (const CardStatement& s : statements)
        if (!s.isDraft()) {
            balance += s.acceptedDifference;
            anyFinished = true;
        }
    if (!anyFinished) {
        // Before the first statement the opening balance is what the card owed
        // before any statement, whatever day it was entered on.
        platform::View::Totals opening;
        e = view.totals(tra().fieldIndex(QStringLiteral("TRA:TransactionAmount")),
                        QStringLiteral("TRA:ReconciledTransaction = 0 AND TRA:TransactionType = 'B'"), {}, opening);
        if (!e.ok())
            return e;
        balance += Decimal::fromUnits(opening.sumUnits, 2);
    }
    out = balance.rounded(2);
    return FileError::success();
}

FileError writeStatement(core::DataFiles& files, CardStatement& statement)
{
    if (statement.statementId == 0)
        if (FileError e = nextStatementId(files, statement.statementId); !e.ok())
            return e;
    statements::statementsOf(files).record = statement;
    const FileError e = statement.identity.isStored() ? statements::statementsOf(files).put() : statements::statementsOf(files).add();
    if (e.ok())
        statement = statements::statementsOf(files).record;
    return e;
}

FileError replaceLines(core::DataFiles& files, const CardStatement& statement, const std::vector<std::int64_t>& rows)
{
    if (FileError e = removeLinesOf(files, statement.statementId); !e.ok())
        return e;
    for (std::int64_t row : rows) {
        statements::statementLinesOf(files).clear();
        statements::statementLinesOf(files).record = {statement.statementId, statement.sysId, static_cast<std::int32_t>(row), {}};
        if (FileError e = statements::statementLinesOf(files).add(); !e.ok())
            return e;
    }
    return FileError::success();
}

FileError undoLatestStatement(core::DataFiles& files, std::int32_t sysId, std::int32_t expectedId, Undone& out)
{
    out = {};
    core::FileTransaction tx(files.store);
    if (!tx.begun())
        return tx.beginError();
    std::vector<CardStatement> statements;
    if (FileError e = readStatements(files, sysId, statements); !e.ok())
        return e;
    const std::optional<CardStatement> latest = latestFinished(statements);
    if (!latest)
        return FileError::of(ErrorCode::RecordNotFound, QStringLiteral("no finished statement"));
    if (expectedId != 0 && latest->statementId != expectedId)
        return FileError::of(ErrorCode::ChangedElsewhere, QStringLiteral("another statement is the latest now"));
    std::vector<std::int64_t> rows;
    if (FileError e = readLines(files, latest->statementId, rows); !e.ok())
        return e;
    for (std::int64_t row : rows) {
        platform::Record stored;
        FileError e = files.transactions.file().fetch(row, stored);
        if (e.code == ErrorCode::RecordNotFound)
            continue; // deleted since: it left the statement's figures then
        if (!e.ok())
            return e;
        core::transactionLayout().fromRecord(stored, files.transactions.record);
        files.transactions.record.reconciledTransaction = 0;
        if (e = files.transactions.put(); !e.ok())
            return e;
        out.reopened.push_back(row);
    }
    if (FileError e = removeLinesOf(files, latest->statementId); !e.ok())
        return e;
    statements::statementsOf(files).record = *latest;
    if (FileError e = statements::statementsOf(files).remove(); !e.ok())
        return e;
    if (FileError e = tx.commit(); !e.ok())
        return e;
    out.statement = *latest;
    return FileError::success();
}

void addToFigures(CardStatement& statement, const Decimal& amount, int sign)
{
    const Decimal share = sign < 0 ? -amount : amount;
    if (amount.isNegative())
        statement.credits = (statement.credits + share).rounded(2);
    else
        statement.charges = (statement.charges + share).rounded(2);
}

FileError followTransactionChange(core::DataFiles& files, const core::Transaction& before, const core::Transaction* after)
{
    std::optional<CardStatement> holder;
    if (FileError e = statementHolding(files, before.identity.row, holder); !e.ok() || !holder)
        return e;
    const bool stays = after && after->reconciledTransaction != 0;
    const Decimal newAmount = stays ? after->transactionAmount : Decimal::fromUnits(0, 2);
    const Decimal delta = (newAmount - before.transactionAmount).rounded(2);
    if (stays && delta.isZero())
        return FileError::success();

    CardStatement own = *holder;
    addToFigures(own, before.transactionAmount, -1);
    if (stays) {
        addToFigures(own, newAmount, +1);
    } else {
        own.transactionCount = std::max(0, own.transactionCount - 1);
        statements::statementLinesOf(files).clear();
        statements::statementLinesOf(files).record.statementId = own.statementId;
        statements::statementLinesOf(files).record.transactionRow = static_cast<std::int32_t>(before.identity.row);
        if (FileError e = statements::statementLinesOf(files).get(statements::StlStatementKey); !e.ok())
            return e;
        if (FileError e = statements::statementLinesOf(files).remove(); !e.ok())
            return e;
    }
    // The ending balance is what the statement says; the register now differs from it by as much more.
    own.acceptedDifference = (own.acceptedDifference - delta).rounded(2);
    return writeStatement(files, own);
}

} // namespace fundora::statements
