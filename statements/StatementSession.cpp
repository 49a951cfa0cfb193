#include "statements/StatementSession.h"

#include "core/FileTransaction.h"
#include "platform/Clock.h"
#include "platform/store/View.h"
#include "statements/ClosingDate.h"
#include "statements/StatementBook.h"
#include "statements/StatementRecords.h"

namespace fundora::statements {

using platform::DayNumber;
using platform::Decimal;
using platform::FileError;
using statements::CardStatement;
namespace ErrorCode = platform::ErrorCode;

namespace {

// Rows read per query while the entries load.
constexpr int EntriesPerRead = 1000;

} // namespace

StatementSession::StatementSession(core::DataFiles& files, std::int32_t sysId) : m_files(files), m_sysId(sysId)
{
}

FileError StatementSession::readStartingPoint(std::optional<CardStatement>& draft, Decimal& previous)
{
    if (FileError e = m_files.readAccount(m_sysId, m_account); !e.ok())
        return e;
    // Whatever its date: before any statement the opening balance is part of the previous balance.
    std::vector<CardStatement> statements;
    if (FileError e = readStatements(m_files, m_sysId, statements); !e.ok())
        return e;
    m_last = latestFinished(statements);
    draft = draftOf(statements);
    return reconciledBalance(m_files, m_sysId, statements, previous);
}

FileError StatementSession::open(DayNumber today)
{
    m_error = {};
    std::optional<CardStatement> draft;
    Decimal previous;
    if (FileError e = readStartingPoint(draft, previous); !e.ok())
        return m_error = e;
    m_ticks.clear();
    if (draft) {
        m_statement = *draft;
        std::vector<std::int64_t> rows;
        if (FileError e = readLines(m_files, draft->statementId, rows); !e.ok())
            return m_error = e;
        m_ticks = QSet<std::int64_t>(rows.begin(), rows.end());
    } else {
        m_statement = CardStatement{};
        m_statement.sysId = m_sysId;
        m_statement.closingDate = proposedClosingDate(m_account.billingDay, today, m_last ? m_last->closingDate : 0);
    }
    m_statement.previousBalance = previous;
    m_changed = false;
    return m_error = readEntries();
}

FileError StatementSession::refresh()
{
    m_error = {};
    std::optional<CardStatement> draft;
    Decimal previous;
    if (FileError e = readStartingPoint(draft, previous); !e.ok())
        return m_error = e;
    m_statement.statementId = draft ? draft->statementId : 0;
    m_statement.identity = draft ? draft->identity : platform::RecordIdentity{};
    m_statement.previousBalance = previous;
    return m_error = readEntries();
}

FileError StatementSession::reload()
{
    return m_error = readEntries();
}

FileError StatementSession::readEntries()
{
    m_entries.clear();
    m_opening.clear();
    m_tickedCount = 0;
    Decimal charges = Decimal::fromUnits(0, 2), credits = Decimal::fromUnits(0, 2);
    platform::View view(m_files.transactions.file(), core::TraSysIDDateKey);
    core::Transaction owner;
    owner.sysId = m_sysId;
    view.setRange(core::transactionLayout().toRecord(owner), 1);
    platform::FilterBindings names;
    const std::int64_t closing = m_statement.closingDate;
    names.bind(QStringLiteral("LOC:ClosingDate"), [closing] { return platform::FieldValue{closing}; });
    // Before the first statement the opening balance is read whatever its date (see below).
    const QString filter = m_last ? QStringLiteral("TRA:ReconciledTransaction = 0 AND TRA:DateofTransaction <= LOC:ClosingDate")
                                  : QStringLiteral("TRA:ReconciledTransaction = 0 AND (TRA:DateofTransaction <= LOC:ClosingDate OR "
                                                   "TRA:TransactionType = 'B')");
    if (FileError e = view.setFilter(filter, names); !e.ok())
        return e;
    view.setReadAhead(EntriesPerRead);
    view.toStart();
    platform::Record r;
    for (;;) {
        const FileError e = view.next(r);
        if (e.code == ErrorCode::EndOfFile)
            break;
        if (!e.ok())
            return e;
        StatementEntry entry;
        core::transactionLayout().fromRecord(r, entry.transaction);
        if (!m_last && entry.transaction.transactionType == QStringLiteral("B")) {
            // The first statement starts from the opening balance (its previous
            // balance holds it) and takes it in when finished.
            m_opening.push_back(entry.transaction);
            continue;
        }
        entry.ticked = m_ticks.contains(r.identity.row);
        if (entry.ticked) {
            ++m_tickedCount;
            (entry.transaction.transactionAmount.isNegative() ? credits : charges) += entry.transaction.transactionAmount;
        }
        m_entries.push_back(std::move(entry));
    }
    m_statement.charges = charges.rounded(2);
    m_statement.credits = credits.rounded(2);
    return FileError::success();
}

FileError StatementSession::setClosingDate(DayNumber date)
{
    if (date == m_statement.closingDate)
        return FileError::success();
    m_statement.closingDate = date;
    m_changed = true;
    return reload();
}

void StatementSession::setEndingBalance(const Decimal& amount)
{
    m_changed = m_changed || amount != m_statement.endingBalance;
    m_statement.endingBalance = amount.rounded(2);
}

void StatementSession::setMinimumPayment(const Decimal& amount)
{
    m_changed = m_changed || amount != m_statement.minimumPayment;
    m_statement.minimumPayment = amount.rounded(2);
}

void StatementSession::setDueDate(DayNumber date)
{
    m_changed = m_changed || date != m_statement.dueDate;
    m_statement.dueDate = date;
}

void StatementSession::setTicked(std::size_t index, bool ticked)
{
    StatementEntry& entry = m_entries.at(index);
    if (entry.ticked == ticked)
        return;
    entry.ticked = ticked;
    m_changed = true;
    const Decimal& amount = entry.transaction.transactionAmount;
    addToFigures(m_statement, amount, ticked ? +1 : -1);
    if (ticked) {
        ++m_tickedCount;
        m_ticks.insert(entry.transaction.identity.row);
    } else {
        --m_tickedCount;
        m_ticks.remove(entry.transaction.identity.row);
    }
}

void StatementSession::tickAllUpTo(DayNumber date)
{
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].transaction.dateofTransaction <= date)
            setTicked(i, true);
}

Decimal StatementSession::resultingBalance() const
{
    return (m_statement.previousBalance + m_statement.charges + m_statement.credits).rounded(2);
}

Decimal StatementSession::difference() const
{
    return (m_statement.endingBalance - resultingBalance()).rounded(2);
}

std::vector<std::int64_t> StatementSession::tickedRows() const
{
    std::vector<std::int64_t> rows;
    rows.reserve(m_tickedCount);
    for (const StatementEntry& e : m_entries)
        if (e.ticked)
            rows.push_back(e.transaction.identity.row);
    return rows;
}

StatementSession::Result StatementSession::fail(const FileError& e)
{
    m_error = e;
    return e.code == ErrorCode::ChangedElsewhere || e.code == ErrorCode::RecordNotFound ? Result::ChangedElsewhere : Result::Failed;
}

StatementSession::Result StatementSession::finish(bool acceptDifference)
{
    m_error = {};
    if (!balances() && !acceptDifference)
        return Result::NotBalanced;
    if (m_last && m_statement.closingDate <= m_last->closingDate)
        return Result::DateNotAfterLast;
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return fail(tx.beginError());

    // What this session started from must still hold: another station may
    // have finished a statement or reconciled a transaction meanwhile.
    std::vector<CardStatement> statements;
    if (FileError e = readStatements(m_files, m_sysId, statements); !e.ok())
        return fail(e);
    const std::optional<CardStatement> last = latestFinished(statements);
    Decimal previous;
    if (FileError e = reconciledBalance(m_files, m_sysId, statements, previous); !e.ok())
        return fail(e);
    if (last.has_value() != m_last.has_value() || (last && last->statementId != m_last->statementId) ||
        previous != m_statement.previousBalance)
        return fail(FileError::of(ErrorCode::ChangedElsewhere, QStringLiteral("the account's statements changed")));

    CardStatement finished = m_statement;
    finished.acceptedDifference = acceptDifference ? difference() : Decimal::fromUnits(0, 2);
    finished.finishedDate = platform::Clock::current().today();
    finished.finishedTime = platform::Clock::current().timeOfDay();
    std::vector<core::Transaction> taken = m_opening;
    for (const StatementEntry& entry : m_entries)
        if (entry.ticked)
            taken.push_back(entry.transaction);
    finished.transactionCount = static_cast<std::int32_t>(taken.size());
    if (FileError e = writeStatement(m_files, finished); !e.ok())
        return fail(e);
    std::vector<std::int64_t> rows;
    for (const core::Transaction& t : taken) {
        // Written back as read: a transaction another station changed since is refused (89).
        m_files.transactions.record = t;
        m_files.transactions.record.reconciledTransaction = 1;
        if (FileError e = m_files.transactions.put(); !e.ok())
            return fail(e);
        rows.push_back(t.identity.row);
    }
    std::sort(rows.begin(), rows.end());
    if (FileError e = replaceLines(m_files, finished, rows); !e.ok())
        return fail(e);
    if (FileError e = tx.commit(); !e.ok())
        return fail(e);
    m_statement = finished;
    m_changed = false;
    return Result::Done;
}

StatementSession::Result StatementSession::later()
{
    m_error = {};
    core::FileTransaction tx(m_files.store);
    if (!tx.begun())
        return fail(tx.beginError());
    CardStatement draft = m_statement;
    draft.finishedDate = 0;
    draft.finishedTime = 0;
    draft.transactionCount = static_cast<std::int32_t>(m_ticks.size());
    if (FileError e = writeStatement(m_files, draft); !e.ok())
        return fail(e);
    std::vector<std::int64_t> rows(m_ticks.begin(), m_ticks.end());
    std::sort(rows.begin(), rows.end());
    if (FileError e = replaceLines(m_files, draft, rows); !e.ok())
        return fail(e);
    if (FileError e = tx.commit(); !e.ok())
        return fail(e);
    m_statement = draft;
    m_changed = false;
    return Result::Done;
}

} // namespace fundora::statements
