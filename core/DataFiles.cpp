#include "core/DataFiles.h"

namespace fundora::core {

namespace {
DataFiles* g_current = nullptr;
}

DataFiles::DataFiles(const QString& directory)
    : store(directory), accounts(store, accountLayout()), transactions(store, transactionLayout()), memoCards(store, memoCardLayout()),
      notes(store, noteLayout()), statements(store, cardStatementLayout()), statementLines(store, statementLineLayout()),
      importedLines(store, importedLineLayout()), importSettings(store, importSettingsLayout())
{
}

DataFiles::~DataFiles()
{
    closeAll();
    if (g_current == this)
        g_current = nullptr;
}

platform::DataFile& DataFiles::file(FileId id)
{
    switch (id) {
    case FileId::Accounts: return accounts.file();
    case FileId::Transactions: return transactions.file();
    case FileId::MemoCard: return memoCards.file();
    case FileId::Notes: return notes.file();
    case FileId::Statements: return statements.file();
    case FileId::StatementLines: return statementLines.file();
    case FileId::ImportedLines: return importedLines.file();
    case FileId::ImportSettings: break;
    }
    return importSettings.file();
}

platform::FileError DataFiles::readAccount(std::int32_t sysId, Account& out)
{
    Account wanted;
    wanted.sysId = sysId;
    platform::Record found;
    const platform::FileError e = accounts.file().get(AccSysIDKey, accountLayout().toRecord(wanted), found);
    if (e.ok())
        accountLayout().fromRecord(found, out);
    return e;
}

void DataFiles::clearBuffers()
{
    accounts.clear();
    transactions.clear();
    memoCards.clear();
    notes.clear();
    statements.clear();
    statementLines.clear();
    importedLines.clear();
    importSettings.clear();
}

void DataFiles::closeAll()
{
    store.rollbackAll();
    for (FileId id : AllFiles) {
        if (file(id).isOpen())
            file(id).close();
        openCount(id) = 0;
    }
}

DataFiles& DataFiles::current()
{
    Q_ASSERT(g_current);
    return *g_current;
}

bool DataFiles::hasCurrent()
{
    return g_current != nullptr;
}

void DataFiles::setCurrent(DataFiles* files)
{
    g_current = files;
}

} // namespace fundora::core
