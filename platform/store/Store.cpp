#include "platform/store/Store.h"

#include "platform/store/SqliteEngine.h"

namespace fundora::platform {

namespace {

QString nameOf(const StoreEngine& engine, const FileDef& def)
{
    return engine.schemaOf(def) + u'.' + def.label;
}

} // namespace

Store::Store(QString directory, Link link)
    : m_directory(directory), m_engine(std::make_unique<SqliteEngine>(std::move(directory), link == Link::CommitFile))
{
    m_lastError = static_cast<SqliteEngine&>(*m_engine).startError();
}

Store::Store(std::unique_ptr<StoreEngine> engine) : m_engine(std::move(engine))
{
    if (const auto* files = dynamic_cast<const SqliteEngine*>(m_engine.get())) {
        m_directory = files->directory();
        m_lastError = files->startError();
    }
}

Store::~Store()
{
    rollbackAll();
}

QString Store::pathOf(const FileDef& def) const
{
    const auto* files = dynamic_cast<const SqliteEngine*>(m_engine.get());
    return files ? files->pathOf(def) : QString();
}

sqlite3* Store::handle() const
{
    const auto* files = dynamic_cast<const SqliteEngine*>(m_engine.get());
    return files ? files->handle() : nullptr;
}

FileError Store::note(FileError error)
{
    m_lastError = error;
    return error;
}

StoreStatement* Store::cached(const QString& sql)
{
    FileError error;
    StoreStatement* s = m_engine->cached(sql, error);
    if (!s)
        note(error);
    return s;
}

FileError Store::failure(int result, const StoreStatement& statement, const QString& context)
{
    return note(m_engine->failure(result, statement, context));
}

bool Store::isOpen(const FileDef& def) const
{
    return m_open.contains(nameOf(*m_engine, def));
}

FileError Store::open(const FileDef& def)
{
    if (isOpen(def))
        return note(FileError::of(ErrorCode::AlreadyOpen));
    if (inTransaction())
        return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("cannot open a file inside a transaction")));
    const std::chrono::milliseconds wait = m_recoverSeconds > 0 ? std::chrono::seconds(m_recoverSeconds) : TransactionWait;
    m_recoverSeconds = 0;
    bool keepsTotals = false;
    if (FileError e = m_engine->open(def, wait, keepsTotals); !e.ok())
        return note(e);
    m_open.insert(nameOf(*m_engine, def));
    if (keepsTotals)
        m_keptTotals.insert(nameOf(*m_engine, def));
    return note(FileError::success());
}

FileError Store::create(const FileDef& def)
{
    if (inTransaction())
        return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("cannot create a file inside a transaction")));
    return note(m_engine->create(def));
}

FileError Store::close(const FileDef& def)
{
    if (!isOpen(def))
        return note(FileError::of(ErrorCode::FileNotOpen));
    if (inTransaction())
        return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("cannot close a file inside a transaction")));
    m_engine->close(def);
    m_open.remove(nameOf(*m_engine, def));
    m_keptTotals.remove(nameOf(*m_engine, def));
    return note(FileError::success());
}

FileError Store::rebuildKeys(const FileDef& def)
{
    if (isOpen(def))
        return note(FileError::of(ErrorCode::AlreadyOpen));
    return note(m_engine->rebuildKeys(def));
}

FileError Store::sendOption(const FileDef& def, const QString& option)
{
    Q_UNUSED(def);
    const QString o = option.trimmed();
    if (o.startsWith(QStringLiteral("Recover="), Qt::CaseInsensitive)) {
        bool ok = false;
        const int seconds = o.mid(8).toInt(&ok);
        if (!ok || seconds < 0 || seconds > 3600)
            return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("bad option ") + o));
        m_recoverSeconds = seconds;
        return note(FileError::success());
    }
    return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("unknown option ") + o));
}

FileError Store::begin(std::chrono::milliseconds wait)
{
    const FileError e = m_depth > 0 ? m_engine->exec(QStringLiteral("SAVEPOINT level%1").arg(m_depth)) : m_engine->begin(wait);
    if (e.ok())
        ++m_depth;
    return note(e);
}

FileError Store::commit()
{
    if (m_depth == 0)
        return note(FileError::of(ErrorCode::StoreFailure, QStringLiteral("no transaction is active")));
    const FileError e = m_depth == 1 ? m_engine->commit() : m_engine->exec(QStringLiteral("RELEASE level%1").arg(m_depth - 1));
    if (e.ok())
        --m_depth;
    return note(e);
}

void Store::rollback()
{
    if (m_depth == 0)
        return;
    // A rollback does not hide the error that caused it.
    if (m_depth == 1) {
        m_engine->rollback();
    } else {
        m_engine->exec(QStringLiteral("ROLLBACK TO level%1").arg(m_depth - 1));
        m_engine->exec(QStringLiteral("RELEASE level%1").arg(m_depth - 1));
    }
    --m_depth;
}

void Store::rollbackAll()
{
    while (m_depth > 0)
        rollback();
}

void Store::observeStatements(std::function<void(const char*)> observer)
{
    m_engine->observeStatements(std::move(observer));
}

} // namespace fundora::platform
