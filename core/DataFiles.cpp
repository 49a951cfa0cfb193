#include "core/DataFiles.h"

namespace fundora::core {

namespace {
DataFiles* g_current = nullptr;
}

DataFiles::DataFiles(const QString& directory) : DataFiles(platform::RegisterPlace::inDirectory(directory))
{
}

DataFiles::DataFiles(const platform::RegisterPlace& place)
    : m_place(place), store(platform::engineFor(place)), accounts(store, accountLayout()), transactions(store, transactionLayout()),
      memoCards(store, memoCardLayout()), notes(store, noteLayout())
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
    switch (id.index) {
    case FileId::Accounts.index: return accounts.file();
    case FileId::Transactions.index: return transactions.file();
    case FileId::MemoCard.index: return memoCards.file();
    case FileId::Notes.index: return notes.file();
    default: return featureFile(id).file();
    }
}

AnyTypedFile& DataFiles::featureFile(FileId id)
{
    const auto i = static_cast<std::size_t>(id.index - OwnFileCount);
    if (i >= m_featureFiles.size())
        m_featureFiles.resize(i + 1);
    if (!m_featureFiles[i])
        m_featureFiles[i] = core::featureFile(id).make(store);
    return *m_featureFiles[i];
}

int& DataFiles::openCount(FileId id)
{
    const auto i = static_cast<std::size_t>(id.index);
    if (i >= m_openCounts.size())
        m_openCounts.resize(i + 1, 0);
    return m_openCounts[i];
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

platform::FileError DataFiles::forEachAccount(const std::function<platform::FileError(const Account&)>& visit)
{
    return forEachRecord(accounts.file(), accountLayout(), AccSysIDKey, visit);
}

void DataFiles::clearBuffers()
{
    accounts.clear();
    transactions.clear();
    memoCards.clear();
    notes.clear();
    for (const std::unique_ptr<AnyTypedFile>& f : m_featureFiles)
        if (f)
            f->clear();
}

void DataFiles::closeAll()
{
    store.rollbackAll();
    // Only the feature files made so far can be open.
    for (platform::DataFile* f : {&accounts.file(), &transactions.file(), &memoCards.file(), &notes.file()})
        if (f->isOpen())
            f->close();
    for (const std::unique_ptr<AnyTypedFile>& f : m_featureFiles)
        if (f && f->file().isOpen())
            f->file().close();
    m_openCounts.assign(m_openCounts.size(), 0);
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
