#pragma once

#include "core/DataFiles.h"
#include "statements/StatementRecords.h"

#include <QSet>

#include <optional>
#include <vector>

namespace fundora::statements {

// One open transaction as the statement window lists it, with its tick.
struct StatementEntry {
    core::Transaction transaction; // as read, with its version
    bool ticked = false;
};

// Reconciling one statement of an account, without any window: the closing
// date and the figures typed from the statement, the open transactions dated
// up to the closing date with their ticks, and the live figures. The ticked
// charges and credits are kept as ticks change, never summed again, so a tick
// costs the same over ten entries or ten thousand.
//
// finish() reconciles every ticked transaction and stores the statement in one
// commit; later() keeps the statement as a draft with its ticks, which open()
// takes up again. The files (Accounts, Transactions, Statements, StatementLines)
// must be open.
class StatementSession {
public:
    StatementSession(core::DataFiles& files, std::int32_t sysId);

    // Reads the account, its statements, its draft (closing date, figures and
    // ticks) and the entries; without a draft the closing date is proposed
    // from the billing day.
    platform::FileError open(platform::DayNumber today);
    // Reads the entries again (a transaction was added, the date moved), keeping the ticks.
    platform::FileError reload();
    // After another station changed the account: reads the last statement, the
    // previous balance, the draft's place and the entries again, keeping what
    // was typed and ticked.
    platform::FileError refresh();

    const core::Account& account() const { return m_account; }
    // The latest finished statement, if there is one.
    const std::optional<statements::CardStatement>& lastStatement() const { return m_last; }
    bool hasDraft() const { return m_statement.identity.isStored(); }

    platform::DayNumber closingDate() const { return m_statement.closingDate; }
    platform::FileError setClosingDate(platform::DayNumber date);
    platform::Decimal endingBalance() const { return m_statement.endingBalance; }
    void setEndingBalance(const platform::Decimal& amount);
    platform::Decimal minimumPayment() const { return m_statement.minimumPayment; }
    void setMinimumPayment(const platform::Decimal& amount);
    platform::DayNumber dueDate() const { return m_statement.dueDate; }
    void setDueDate(platform::DayNumber date);

    const std::vector<StatementEntry>& entries() const { return m_entries; }
    void setTicked(std::size_t index, bool ticked);
    void toggle(std::size_t index) { setTicked(index, !m_entries.at(index).ticked); }
    // Ticks every entry dated on or before `date`.
    void tickAllUpTo(platform::DayNumber date);
    std::size_t tickedCount() const { return m_tickedCount; }

    platform::Decimal previousBalance() const { return m_statement.previousBalance; }
    platform::Decimal charges() const { return m_statement.charges; }
    platform::Decimal credits() const { return m_statement.credits; }
    // The previous balance with the ticked charges and credits.
    platform::Decimal resultingBalance() const;
    // The statement's ending balance less the resulting balance.
    platform::Decimal difference() const;
    bool balances() const { return difference().isZero(); }
    // Anything changed since open() or the last later().
    bool changed() const { return m_changed; }

    enum class Result {
        Done,
        NotBalanced,      // a difference and it was not accepted: nothing written
        DateNotAfterLast, // the closing date is not after the last statement's: nothing written
        ChangedElsewhere, // another station changed the account's transactions or statements: nothing written; reload
        Failed,           // the files failed: nothing written (error())
    };
    // Reconciles the ticked entries and stores the statement, with the
    // difference as accepted when `acceptDifference`. One commit.
    Result finish(bool acceptDifference);
    // Keeps the statement as typed and its ticks for the next time. One commit.
    Result later();
    const platform::FileError& error() const { return m_error; }
    // The statement as finish() or later() stored it.
    const statements::CardStatement& statement() const { return m_statement; }

private:
    // The account, its last finished statement, its draft and the previous balance.
    platform::FileError readStartingPoint(std::optional<statements::CardStatement>& draft, platform::Decimal& previous);
    platform::FileError readEntries();
    Result fail(const platform::FileError& e);
    std::vector<std::int64_t> tickedRows() const;

    core::DataFiles& m_files;
    std::int32_t m_sysId;
    core::Account m_account;
    std::optional<statements::CardStatement> m_last;
    statements::CardStatement m_statement; // the draft as stored, or a new one; its figures are the live ones
    std::vector<StatementEntry> m_entries;
    std::vector<core::Transaction> m_opening; // before the first statement: the open opening balance, in the previous balance
    QSet<std::int64_t> m_ticks;               // by transaction row, including entries the closing date now leaves out
    std::size_t m_tickedCount = 0;
    bool m_changed = false;
    platform::FileError m_error;
};

} // namespace fundora::statements
