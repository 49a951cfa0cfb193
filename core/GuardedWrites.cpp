#include "core/GuardedWrites.h"

#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "core/StandardWarning.h"

#include <functional>

namespace fundora::core {

namespace {

const QString DeleteAction = QStringLiteral("Delete");
const QString UpdateAction = QStringLiteral("Update");

// A failure inside a transaction: keep the error for the warning, then undo everything.
void saveAndRollBack(DataFiles& files, FileTransaction& tx, const platform::FileError& error)
{
    files.savedError.save(error);
    tx.rollback();
}

Guarded framingFailed(DataFiles& files, const FileTransaction& tx, const QString& action, const QString& label)
{
    files.savedError.save(tx.beginError());
    standardWarning(files, Warning::TransactionFramingError, action, label);
    return Guarded::Failed;
}

// Deletes every record of account `sysId` from a file of its children, reading forward on `key` (SysID first).
template <class R>
bool cascadeDeleteIn(DataFiles& files, FileTransaction& tx, TypedFile<R>& children, int key, std::int32_t sysId)
{
    children.clear();
    children.record.sysId = sysId;
    children.setOnValue(key);
    for (;;) {
        const platform::FileError read = children.next();
        if (read.code == platform::ErrorCode::EndOfFile)
            return true;
        if (!read.ok()) {
            saveAndRollBack(files, tx, read);
            standardWarning(files, Warning::RecordRetrievalError, children.def().label);
            return false;
        }
        if (children.record.sysId != sysId)
            return true;
        if (const platform::FileError e = children.remove(); !e.ok()) {
            saveAndRollBack(files, tx, e);
            standardWarning(files, Warning::DeleteOperationError, children.def().label);
            return false;
        }
    }
}

// Gives every child record of account `from` the identifier `to`.
template <class R>
bool cascadeRenumberIn(DataFiles& files, FileTransaction& tx, TypedFile<R>& children, int key, std::int32_t from, std::int32_t to)
{
    for (;;) {
        // Each renumbered record leaves the range, so the first one left is always the next.
        children.clear();
        children.record.sysId = from;
        children.setOnValue(key);
        const platform::FileError read = children.next();
        if (read.code == platform::ErrorCode::EndOfFile || (read.ok() && children.record.sysId != from))
            return true;
        if (!read.ok()) {
            saveAndRollBack(files, tx, read);
            standardWarning(files, Warning::RecordRetrievalError, children.def().label);
            return false;
        }
        children.record.sysId = to;
        if (const platform::FileError e = children.put(); !e.ok()) {
            saveAndRollBack(files, tx, e);
            standardWarning(files, Warning::UpdateOperationError, children.def().label);
            return false;
        }
    }
}

// An account's children: its transactions, its statements with their lines,
// and what its imports remember.
struct AccountChildren {
    explicit AccountChildren(DataFiles& files)
        : transactions(files, FileId::Transactions), statements(files, FileId::Statements), lines(files, FileId::StatementLines),
          imported(files, FileId::ImportedLines), importSettings(files, FileId::ImportSettings)
    {
    }
    bool ok() const { return transactions.ok() && statements.ok() && lines.ok() && imported.ok() && importSettings.ok(); }
    FileUse transactions, statements, lines, imported, importSettings;
};

bool cascadeDelete(DataFiles& files, FileTransaction& tx, std::int32_t sysId)
{
    return cascadeDeleteIn(files, tx, files.transactions, TraSysIDKey, sysId) &&
           cascadeDeleteIn(files, tx, files.statements, StmSysIDDateKey, sysId) &&
           cascadeDeleteIn(files, tx, files.statementLines, StlSysIDKey, sysId) &&
           cascadeDeleteIn(files, tx, files.importedLines, ImlSysIDKey, sysId) &&
           cascadeDeleteIn(files, tx, files.importSettings, ImsSysIDKey, sysId);
}

bool cascadeRenumber(DataFiles& files, FileTransaction& tx, std::int32_t from, std::int32_t to)
{
    return cascadeRenumberIn(files, tx, files.transactions, TraSysIDKey, from, to) &&
           cascadeRenumberIn(files, tx, files.statements, StmSysIDDateKey, from, to) &&
           cascadeRenumberIn(files, tx, files.statementLines, StlSysIDKey, from, to) &&
           cascadeRenumberIn(files, tx, files.importedLines, ImlSysIDKey, from, to) &&
           cascadeRenumberIn(files, tx, files.importSettings, ImsSysIDKey, from, to);
}

bool commitOrWarn(DataFiles& files, FileTransaction& tx, int warning, const QString& label)
{
    if (const platform::FileError e = tx.commit(); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, warning, label);
        return false;
    }
    return true;
}

// Deletes the buffer's record of a file without children; `alongside` then
// deletes, in the same commit, what goes with the record (given its row).
template <class R>
Guarded deleteSingle(DataFiles& files, TypedFile<R>& file, int key,
                     const std::function<platform::FileError(std::int64_t row)>& alongside = {})
{
    files.integrity.position = file.position(key);
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, DeleteAction, file.def().label);
    platform::FileError e = file.reget(files.integrity.position);
    const std::int64_t row = file.record.identity.row;
    if (e.ok())
        e = file.remove();
    if (e.ok() && alongside)
        e = alongside(row);
    if (!e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::DeleteOperationError, file.def().label);
        return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::DeleteOperationError, file.def().label) ? Guarded::Done : Guarded::Failed;
}

// The write failed: tell the user, and for a conflict show the stored record.
template <class R>
Guarded writeFailed(DataFiles& files, FileTransaction& tx, TypedFile<R>& file, const platform::FileError& e, bool fromForm)
{
    saveAndRollBack(files, tx, e);
    if (e.code == platform::ErrorCode::ChangedElsewhere) {
        if (fromForm)
            standardWarning(files, Warning::RecordWasNotUpdated);
        else
            standardWarning(files, Warning::UpdateOperationError, QStringLiteral("Record Changed by Another Station"));
        file.reget(files.integrity.position);
        return Guarded::ChangedByOther;
    }
    standardWarning(files, Warning::UpdateOperationError, file.def().label);
    return Guarded::Failed;
}

template <class R>
Guarded updateSingle(DataFiles& files, TypedFile<R>& file, int key, bool fromForm)
{
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, UpdateAction, file.def().label);
    files.integrity.position = file.position(key);
    if (const platform::FileError e = file.put(); !e.ok())
        return writeFailed(files, tx, file, e, fromForm);
    return commitOrWarn(files, tx, Warning::UpdateOperationError, file.def().label) ? Guarded::Done : Guarded::Failed;
}

} // namespace

Guarded riDeleteAccounts(DataFiles& files)
{
    auto& acc = files.accounts;
    files.integrity.position = acc.position(AccSysIDKey);
    const AccountChildren children(files);
    if (!children.ok())
        return Guarded::Failed;
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, DeleteAction, acc.def().label);
    if (const platform::FileError e = acc.reget(files.integrity.position); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::RecordRetrievalError, acc.def().label);
        return Guarded::Failed;
    }
    if (!cascadeDelete(files, tx, acc.record.sysId))
        return Guarded::Failed;
    if (const platform::FileError e = acc.remove(); !e.ok()) {
        saveAndRollBack(files, tx, e);
        standardWarning(files, Warning::DeleteOperationError, acc.def().label);
        return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::DeleteOperationError, acc.def().label) ? Guarded::Done : Guarded::Failed;
}

Guarded riDeleteTransactions(DataFiles& files)
{
    // What imports remember of the transaction goes with it, in the same commit.
    const FileUse imported(files, FileId::ImportedLines);
    if (!imported.ok())
        return Guarded::Failed;
    return deleteSingle(files, files.transactions, TraSysIDKey, [&files](std::int64_t row) {
        for (auto& iml = files.importedLines;;) {
            iml.clear();
            iml.record.transactionRow = static_cast<std::int32_t>(row);
            platform::FileError e = iml.get(ImlRowKey);
            if (e.code == platform::ErrorCode::RecordNotFound)
                return platform::FileError::success();
            if (e.ok())
                e = iml.remove();
            if (!e.ok())
                return e;
        }
    });
}

Guarded riDeleteMemoCard(DataFiles& files)
{
    return deleteSingle(files, files.memoCards, MemCardKey);
}

Guarded riUpdateAccounts(DataFiles& files, bool fromForm)
{
    auto& acc = files.accounts;
    const AccountChildren children(files);
    if (!children.ok())
        return Guarded::Failed;
    FileTransaction tx(files.store);
    if (!tx.begun())
        return framingFailed(files, tx, UpdateAction, acc.def().label);
    files.integrity.position = acc.position(AccSysIDKey);
    if (const platform::FileError e = acc.put(); !e.ok())
        return writeFailed(files, tx, acc, e, fromForm);
    const std::int32_t snapshot = files.integrity.snapSysId;
    if (acc.record.sysId != snapshot) {
        if (!cascadeRenumber(files, tx, snapshot, acc.record.sysId))
            return Guarded::Failed;
    }
    return commitOrWarn(files, tx, Warning::UpdateOperationError, acc.def().label) ? Guarded::Done : Guarded::Failed;
}

Guarded riUpdateTransactions(DataFiles& files, bool fromForm)
{
    return updateSingle(files, files.transactions, TraSysIDKey, fromForm);
}

Guarded riUpdateMemoCard(DataFiles& files, bool fromForm)
{
    return updateSingle(files, files.memoCards, MemCardKey, fromForm);
}

} // namespace fundora::core
