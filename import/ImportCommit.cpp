#include "import/ImportCommit.h"

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "import/ImportRecords.h"
#include "platform/Clock.h"
#include "transactions/Ledger.h"

#include <algorithm>
#include <vector>

namespace fundora::importing {

using platform::Decimal;
using platform::FileError;

namespace {

// Whether an import since the plan took in this line already, or linked this row.
FileError takenSince(core::DataFiles& files, std::int32_t sysId, const PlannedLine& p, bool& taken)
{
    auto& imported = importing::importedLinesOf(files);
    taken = false;
    if (p.choice == LineChoice::Link) {
        imported.clear();
        imported.record.transactionRow = p.matchedRow;
        const FileError e = imported.get(importing::ImlRowKey);
        taken = e.ok();
        return e.ok() || e.code == platform::ErrorCode::RecordNotFound ? FileError::success() : e;
    }
    if (p.line.bankId.isEmpty())
        return FileError::success();
    imported.clear();
    imported.record.sysId = sysId;
    imported.record.bankId = p.line.bankId;
    imported.setOnValue(importing::ImlSysIDBankKey);
    for (;;) {
        const FileError e = imported.next();
        if (e.code == platform::ErrorCode::EndOfFile)
            return FileError::success();
        if (!e.ok())
            return e;
        const importing::ImportedLine& r = imported.record;
        if (r.sysId != sysId || r.bankId != p.line.bankId)
            return FileError::success();
        if (r.lineDate == p.line.date && r.lineAmount == p.line.amount) {
            taken = true;
            return FileError::success();
        }
    }
}

} // namespace

FileError commitImport(core::DataFiles& files, const ImportPlan& plan, CommitOutcome& outcome)
{
    outcome = CommitOutcome{};
    core::FileUse accounts(files, core::FileId::Accounts), transactions(files, core::FileId::Transactions),
        imported(files, importing::importedLinesFile());
    if (!accounts.ok() || !transactions.ok() || !imported.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the data files could not be opened"));
    core::FileTransaction tx(files.store);
    if (!tx.begun())
        return tx.beginError();
    const platform::Clock& clock = platform::Clock::current();
    const std::int32_t today = clock.today();
    const std::int32_t now = clock.timeOfDay();
    // Every line is checked against what other stations imported before anything is written.
    std::vector<const PlannedLine*> taken;
    for (const PlannedLine& p : plan.lines) {
        if (p.choice == LineChoice::Skip)
            continue;
        bool since = false;
        if (FileError e = takenSince(files, plan.sysId, p, since); !e.ok())
            return e;
        if (since) {
            outcome.conflict = true;
            outcome.conflictText =
                QStringLiteral("Line %1 was imported by another station since the preview was made.").arg(p.line.sourceLine);
            return FileError::success(); // the transaction rolls back: nothing is written
        }
        taken.push_back(&p);
    }
    // The added lines and the balance they move, by the balance rule, each
    // with the record of its import; then the record of each linked line.
    const QString sourceName = plan.sourceName.left(80);
    auto remember = [&](const PlannedLine& p, std::int32_t transactionRow) {
        const bool add = p.choice == LineChoice::Add;
        importing::ImportedLine& r = importing::importedLinesOf(files).record;
        r = importing::ImportedLine{};
        r.sysId = plan.sysId;
        r.bankId = p.line.bankId;
        r.lineDate = p.line.date;
        r.lineAmount = p.line.amount;
        r.transactionRow = transactionRow;
        r.outcome = static_cast<std::uint8_t>(add ? importing::ImportOutcome::Added : importing::ImportOutcome::Matched);
        r.importDate = today;
        r.importTime = now;
        r.sourceName = sourceName;
        const FileError e = importing::importedLinesOf(files).add();
        if (e.ok())
            ++(add ? outcome.added : outcome.linked);
        return e;
    };
    auto nextAdd = taken.cbegin();
    auto toAdd = [&](core::Transaction& t) {
        nextAdd = std::find_if(nextAdd, taken.cend(), [](const PlannedLine* p) { return p->choice == LineChoice::Add; });
        if (nextAdd == taken.cend())
            return false;
        const BookedLine& line = (*nextAdd)->line;
        t.dateofTransaction = line.date;
        t.transactionDescription = line.description;
        t.transactionType = line.type;
        t.transactionAmount = line.amount;
        return true;
    };
    auto added = [&](const core::Transaction& t) { return remember(**nextAdd++, static_cast<std::int32_t>(t.identity.row)); };
    if (FileError e = transactions::Ledger(files).book(plan.sysId, toAdd, added); !e.ok())
        return e;
    for (const PlannedLine* p : taken)
        if (p->choice == LineChoice::Link)
            if (FileError e = remember(*p, p->matchedRow); !e.ok())
                return e;
    return tx.commit();
}

FileError readImportSettings(core::DataFiles& files, std::int32_t sysId, importing::ImportSettings& out)
{
    core::FileUse use(files, importing::importSettingsFile());
    if (!use.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the import settings could not be opened"));
    importing::importSettingsOf(files).clear();
    importing::importSettingsOf(files).record.sysId = sysId;
    const FileError e = importing::importSettingsOf(files).get(importing::ImsSysIDKey);
    if (e.code == platform::ErrorCode::RecordNotFound) {
        out = importing::ImportSettings{};
        out.sysId = sysId;
        return FileError::success();
    }
    if (e.ok())
        out = importing::importSettingsOf(files).record;
    return e;
}

FileError writeImportSettings(core::DataFiles& files, const importing::ImportSettings& settings)
{
    core::FileUse use(files, importing::importSettingsFile());
    if (!use.ok())
        return FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("the import settings could not be opened"));
    importing::ImportSettings stored;
    if (FileError e = readImportSettings(files, settings.sysId, stored); !e.ok())
        return e;
    importing::importSettingsOf(files).record = settings;
    importing::importSettingsOf(files).record.identity = stored.identity;
    return stored.identity.isStored() ? importing::importSettingsOf(files).put() : importing::importSettingsOf(files).add();
}

} // namespace fundora::importing
