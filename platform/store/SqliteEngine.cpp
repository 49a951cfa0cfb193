#include "platform/store/SqliteEngine.h"

#include "platform/FileCopy.h"
#include "platform/store/FileInstall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fundora::platform {

namespace {

constexpr int DefaultBusyMs = static_cast<int>(StoreEngine::TransactionWait.count());

bool isOperatingSystemError(int primary)
{
    return primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR || primary == SQLITE_FULL || primary == SQLITE_PERM ||
           primary == SQLITE_READONLY;
}

// A statement that fires triggers keeps a journal of the pages it changes, to
// be undone alone. Inside a savepoint (the ledger's booking of an import's
// lines) those journals are never reset to nothing, and past SQLite's default
// 64 KiB they went to a temporary file: 100,000 booked lines wrote 1.2 million
// pages there, two thirds of the import's time. Held in memory (as
// `temp_store=MEMORY` would, for these journals only) each statement's part
// is dropped when it ends; what stays is a copy of each page a savepoint
// changes, as the rollback journal on disk holds one.
void configureSqliteOnce()
{
    // Only possible before SQLite's first use in the process; if another part
    // of the process used it first, the journals simply keep the default.
    static const int configured = sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, -1);
    Q_UNUSED(configured);
}

} // namespace

SqliteEngine::SqliteEngine(QString directory, bool withLink) : m_directory(std::move(directory))
{
    // A restore killed while it put its files in place is finished before any file is opened.
    m_unfinishedInstall = finishInterruptedInstall(m_directory, TransactionWait);
    openConnection(withLink);
}

void SqliteEngine::openConnection(bool withLink)
{
    configureSqliteOnce();
    // The link file is made private before SQLite opens it; it never holds data.
    const QString link = QDir(m_directory).filePath(LinkFileName);
    const int fd = !withLink ? -1 : ::open(QFile::encodeName(link).constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    const bool onDisk = fd >= 0;
    if (onDisk)
        ::close(fd);
    // Without a link file (a directory that cannot be written) the store still
    // reads; each file then commits on its own.
    const QByteArray name = onDisk ? QFile::encodeName(link) : QByteArray(":memory:");
    const int rc = sqlite3_open_v2(name.constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        m_startError = FileError::of(ErrorCode::StoreFailure, QString::fromUtf8(sqlite3_errstr(rc)));
        return;
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, DefaultBusyMs);
    // The link file takes part in no commit of its own: without a journal and
    // without syncs, SQLite leaves it out of the files that a commit counts,
    // and only names the super-journal after it.
    exec(QStringLiteral("PRAGMA main.journal_mode=OFF"));
    exec(QStringLiteral("PRAGMA main.synchronous=OFF"));
}

SqliteEngine::~SqliteEngine()
{
    m_statements.clear();
    sqlite3_close_v2(m_db);
}

QString SqliteEngine::pathOf(const FileDef& def) const
{
    return QDir(m_directory).filePath(def.fileName());
}

FileError SqliteEngine::fromSqlite(int result, const QString& context) const
{
    const int primary = result & 0xff;
    if (result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_ROW)
        return FileError::success();
    QString detail = QString::fromUtf8(m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(result));
    if (!context.isEmpty())
        detail = context + QStringLiteral(": ") + detail;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return FileError::of(ErrorCode::FileLocked);
    if (result == SQLITE_CONSTRAINT_UNIQUE || result == SQLITE_CONSTRAINT_PRIMARYKEY)
        return FileError::of(ErrorCode::DuplicateKey);
    if (primary == SQLITE_CORRUPT)
        return FileError::of(ErrorCode::KeysMustBeRebuilt);
    if (primary == SQLITE_NOTADB)
        return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("not a data file"));
    if (result == SQLITE_READONLY_DBMOVED) {
        FileError e = FileError::fromErrno(ESTALE, context);
        e.osText = QStringLiteral("the data file was replaced or removed by another program (a restore?) while Fundora had it open; "
                                  "close Fundora and start it again");
        return e;
    }
    if (primary == SQLITE_FULL)
        return FileError::fromErrno(ENOSPC, context); // whatever errno SQLite last saw, the disk is full
    if (isOperatingSystemError(primary)) {
        const int err = m_db ? sqlite3_system_errno(m_db) : 0;
        FileError e = FileError::fromErrno(err != 0 ? err : EIO, context);
        if (err == 0)
            e.osText = detail;
        return e;
    }
    return FileError::of(ErrorCode::StoreFailure, detail);
}

FileError SqliteEngine::exec(const QString& sql)
{
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message);
    return fromSqlite(rc);
}

StoreStatement* SqliteEngine::cached(const QString& sql, FileError& error)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end())
        it = m_statements.insert(sql, std::make_shared<Statement>(m_db, sql));
    Statement& s = **it;
    if (!s.isValid()) {
        error = fromSqlite(s.prepareResult());
        m_statements.erase(it);
        return nullptr;
    }
    error = FileError::success();
    return &s;
}

FileError SqliteEngine::failure(int result, const StoreStatement& statement, const QString& context)
{
    Q_UNUSED(statement);
    return fromSqlite(result, context);
}

FileError SqliteEngine::attach(const FileDef& def, const QString& path, const QString& as)
{
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=rw"));
    Statement s(m_db, QStringLiteral("ATTACH DATABASE ? AS ") + schema::quoted(as.isEmpty() ? schemaOf(def) : as));
    if (!s.isValid())
        return fromSqlite(s.prepareResult());
    s.bind(1, QString::fromUtf8(url.toEncoded()));
    return fromSqlite(s.step(), def.fileName());
}

void SqliteEngine::detach(const QString& schemaName)
{
    // Statements prepared against the schema must go before it can be detached.
    m_statements.clear();
    exec(QStringLiteral("DETACH DATABASE ") + schema::quoted(schemaName));
}

bool SqliteEngine::checkKeptTotals(const FileDef& def)
{
    const QString name = schemaOf(def);
    const QStringList objects = schema::keptTotalsObjects(def);
    auto whole = [&] {
        Statement s(m_db, QStringLiteral("SELECT count(*) FROM %1.sqlite_schema WHERE name IN (?, ?, ?, ?)").arg(schema::quoted(name)));
        for (int i = 0; i < objects.size(); ++i)
            s.bind(i + 1, objects[i]);
        return s.step() == SQLITE_ROW && s.integer(0) == objects.size();
    };
    if (whole())
        return true;
    // A file made by an earlier version, or one whose totals lost a piece: they are made again from
    // the records, in one transaction (another station may be doing the same).
    if (!exec(QStringLiteral("BEGIN IMMEDIATE")).ok())
        return false;
    if (whole())
        return exec(QStringLiteral("COMMIT")).ok();
    QStringList statements{QStringLiteral("DROP TABLE IF EXISTS %1.%2").arg(schema::quoted(name), schema::quoted(objects[0]))};
    for (int i = 1; i < objects.size(); ++i)
        statements << QStringLiteral("DROP TRIGGER IF EXISTS %1.%2").arg(schema::quoted(name), schema::quoted(objects[i]));
    statements << schema::createKeptTotals(def, name) << schema::fillKeptTotals(def, name) << QStringLiteral("COMMIT");
    return execAll(statements).ok();
}

FileError SqliteEngine::open(const FileDef& def, std::chrono::milliseconds wait, bool& keepsTotals)
{
    keepsTotals = false;
    if (!m_startError.ok())
        return m_startError;
    if (!m_unfinishedInstall.ok()) {
        m_unfinishedInstall = finishInterruptedInstall(m_directory, TransactionWait);
        if (!m_unfinishedInstall.ok())
            return m_unfinishedInstall;
    }
    const QString path = pathOf(def);
    removeStaleCreation(path + CreatingSuffix);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FileError::of(ErrorCode::NoSuchFile, def.fileName());
    if (!info.isFile()) {
        // Never opened: reading a FIFO or a device would hang or read without end.
        FileError e = FileError::fromErrno(info.isDir() ? EISDIR : EINVAL, path);
        if (!info.isDir())
            e.osText = QStringLiteral("%1 is not a regular file (a FIFO, a device or a link to nothing); move it out of the program "
                                      "directory, or restore the data files with the backup utility")
                           .arg(def.fileName());
        return e;
    }
    sqlite3_busy_timeout(m_db, static_cast<int>(wait.count()));
    FileError e = attach(def, path);
    if (e.ok())
        e = verify(def);
    sqlite3_busy_timeout(m_db, DefaultBusyMs);
    if (!e.ok()) {
        detach(schemaOf(def));
        return e;
    }
    m_attached.insert(schemaOf(def));
    exec(QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema::quoted(schemaOf(def))));
    // A file of an earlier version gets the summary indexes it lacks; they only make totals faster,
    // so a file that cannot be written now simply goes without them.
    for (const QString& sql : schema::createSummaryIndexes(def, schemaOf(def)))
        exec(sql);
    keepsTotals = def.keptTotals && checkKeptTotals(def);
    return FileError::success();
}

// Checks, without writing anything and without reading more than a few pages,
// that the attached file is a data file of this layout with intact keys.
FileError SqliteEngine::verify(const FileDef& def)
{
    const QString s = schema::quoted(schemaOf(def));
    auto pragmaInt = [&](const QString& name, std::int64_t* out) {
        Statement st(m_db, QStringLiteral("PRAGMA %1.%2").arg(s, name));
        if (!st.isValid())
            return fromSqlite(st.prepareResult());
        const int rc = st.step();
        if (rc != SQLITE_ROW)
            return fromSqlite(rc);
        *out = st.integer(0);
        return FileError::success();
    };
    std::int64_t appId = 0, version = 0;
    if (FileError e = pragmaInt(QStringLiteral("application_id"), &appId); !e.ok())
        return e;
    if (FileError e = pragmaInt(QStringLiteral("user_version"), &version); !e.ok())
        return e;
    if (appId != schema::ApplicationId)
        return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("not a data file of this program"));
    if (version != def.layoutVersion)
        return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("layout %1, expected %2").arg(version).arg(def.layoutVersion));

    {
        Statement cols(m_db, QStringLiteral("PRAGMA %1.table_xinfo(%2)").arg(s, schema::quoted(def.label)));
        if (!cols.isValid())
            return fromSqlite(cols.prepareResult());
        const auto expected = schema::expectedColumns(def);
        std::size_t n = 0;
        int rc = 0;
        while ((rc = cols.step()) == SQLITE_ROW) {
            if (n >= expected.size() || cols.text(1) != expected[n].name || cols.text(2).toUpper() != expected[n].type)
                return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("fields differ"));
            ++n;
        }
        if (rc != SQLITE_DONE)
            return fromSqlite(rc);
        if (n != expected.size())
            return FileError::of(ErrorCode::LayoutDiffers, QStringLiteral("fields differ"));
    }

    // Every key must exist with its components, and the ends of its index must be readable.
    for (int k = 0; k < static_cast<int>(def.keys.size()); ++k) {
        const QString index = schema::indexName(def, k);
        Statement info(m_db, QStringLiteral("PRAGMA %1.index_info(%2)").arg(s, schema::quoted(index)));
        if (!info.isValid())
            return fromSqlite(info.prepareResult());
        QStringList columns;
        int rc = 0;
        while ((rc = info.step()) == SQLITE_ROW)
            columns << schema::quoted(info.text(2));
        if (rc != SQLITE_DONE)
            return fromSqlite(rc);
        if (columns != schema::orderColumns(def, k))
            return FileError::of(ErrorCode::KeysMustBeRebuilt, def.keys[static_cast<std::size_t>(k)].name);
        const QString cols = schema::orderColumns(def, k).join(QStringLiteral(", "));
        for (const char* direction : {"ASC", "DESC"}) {
            QStringList ordered;
            for (const QString& c : schema::orderColumns(def, k))
                ordered << c + u' ' + QLatin1String(direction);
            Statement probe(m_db, QStringLiteral("SELECT %1 FROM %2 INDEXED BY %3 ORDER BY %4 LIMIT 1")
                                      .arg(cols, schema::qualifiedTable(def, schemaOf(def)), schema::quoted(index),
                                           ordered.join(QStringLiteral(", "))));
            if (!probe.isValid())
                return fromSqlite(probe.prepareResult());
            const int prc = probe.step();
            if (prc != SQLITE_ROW && prc != SQLITE_DONE)
                return fromSqlite(prc);
        }
    }
    return FileError::success();
}

namespace {

// Whether the open file `fd` is the one named `path` (not removed, not replaced).
bool isOpenAs(int fd, const QByteArray& path)
{
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::stat(path.constData(), &named) == 0 && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace

void SqliteEngine::removeStaleCreation(const QString& temporary)
{
    const QByteArray native = QFile::encodeName(temporary);
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return;
    // A creator holds its temporary locked; one that is not locked was left by a crash.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(native.constData());
    ::close(fd);
}

FileError SqliteEngine::create(const FileDef& def)
{
    const QString path = pathOf(def);
    const QString temporary = path + CreatingSuffix;
    const QByteArray nativePath = QFile::encodeName(path);
    const QByteArray nativeTemporary = QFile::encodeName(temporary);
    // One creator at a time, through a lock on the temporary. Whoever gets the
    // lock checks that the temporary is still the file it opened: a creator
    // that finished meanwhile renamed it into place, and the open of another
    // process may have removed it as a crashed creation's before the lock was
    // taken. Then it begins again on the name as it now is.
    int fd = -1;
    for (;;) {
        fd = ::open(nativeTemporary.constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (fd < 0)
            return FileError::fromErrno(errno, temporary);
        if (::flock(fd, LOCK_EX) != 0) {
            const int err = errno;
            ::close(fd);
            return FileError::fromErrno(err, temporary);
        }
        if (QFileInfo::exists(path)) {
            // Made by another process meanwhile: used as it is.
            if (isOpenAs(fd, nativeTemporary))
                ::unlink(nativeTemporary.constData());
            ::close(fd);
            return FileError::success();
        }
        if (isOpenAs(fd, nativeTemporary))
            break;
        ::close(fd);
    }
    auto finish = [&](FileError e) {
        ::unlink(nativeTemporary.constData());
        ::close(fd);
        return e;
    };
    if (::ftruncate(fd, 0) != 0) // what a killed creator left
        return finish(FileError::fromErrno(errno, temporary));

    const QString tmpSchema = QStringLiteral("new_") + schemaOf(def);
    FileError e = attach(def, temporary, tmpSchema);
    if (e.ok()) {
        // No journal: until the rename the file is nobody's, and a half-made one is thrown away.
        QStringList statements{QStringLiteral("PRAGMA %1.journal_mode=OFF").arg(schema::quoted(tmpSchema)),
                               QStringLiteral("PRAGMA %1.synchronous=FULL").arg(schema::quoted(tmpSchema)), QStringLiteral("BEGIN"),
                               schema::createTable(def, tmpSchema)};
        statements << schema::createIndexes(def, tmpSchema) << schema::createSummaryIndexes(def, tmpSchema);
        if (def.keptTotals)
            statements << schema::createKeptTotals(def, tmpSchema);
        statements << QStringLiteral("PRAGMA %1.application_id=%2").arg(schema::quoted(tmpSchema)).arg(schema::ApplicationId);
        statements << QStringLiteral("PRAGMA %1.user_version=%2").arg(schema::quoted(tmpSchema)).arg(def.layoutVersion);
        statements << QStringLiteral("COMMIT");
        e = execAll(statements);
        detach(tmpSchema);
    }
    if (!e.ok())
        return finish(e);
    if (::fsync(fd) != 0)
        return finish(FileError::fromErrno(errno, temporary));
    // Into place in one step, never over a file another process made meanwhile.
    if (::renameat2(AT_FDCWD, nativeTemporary.constData(), AT_FDCWD, nativePath.constData(), RENAME_NOREPLACE) != 0) {
        const int err = errno;
        return finish(err == EEXIST ? FileError::success() : FileError::fromErrno(err, path));
    }
    syncDirectory(m_directory);
    ::close(fd);
    return FileError::success();
}

void SqliteEngine::close(const FileDef& def)
{
    detach(schemaOf(def));
    m_attached.remove(schemaOf(def));
    m_seenVersions.remove(schemaOf(def));
}

FileError SqliteEngine::rebuildKeys(const FileDef& def)
{
    const QString path = pathOf(def);
    const QString rebuilt = path + QStringLiteral(".rebuild");
    QFile::remove(rebuilt);
    {
        const int fd = ::open(QFile::encodeName(rebuilt).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
        if (fd < 0)
            return FileError::fromErrno(errno, rebuilt);
        ::close(fd);
    }
    const QString src = QStringLiteral("old_") + schemaOf(def);
    const QString dst = QStringLiteral("new_") + schemaOf(def);
    FileError e = attach(def, path, src);
    if (e.ok()) {
        e = attach(def, rebuilt, dst);
        if (e.ok()) {
            const QString list = schema::recordColumns(def).join(QStringLiteral(", "));
            QStringList statements{QStringLiteral("BEGIN IMMEDIATE"), schema::createTable(def, dst)};
            statements << schema::createIndexes(def, dst) << schema::createSummaryIndexes(def, dst);
            // The rows are read from the table itself, never through a (possibly damaged) index.
            statements << QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 NOT INDEXED ORDER BY \"id\"")
                              .arg(schema::qualifiedTable(def, dst), list, schema::qualifiedTable(def, src));
            // The totals are worked out again from the records, never copied.
            if (def.keptTotals)
                statements << schema::createKeptTotals(def, dst) << schema::fillKeptTotals(def, dst);
            statements << QStringLiteral("PRAGMA %1.application_id=%2").arg(schema::quoted(dst)).arg(schema::ApplicationId);
            statements << QStringLiteral("PRAGMA %1.user_version=%2").arg(schema::quoted(dst)).arg(def.layoutVersion);
            statements << QStringLiteral("COMMIT");
            e = execAll(statements);
            detach(dst);
        }
        detach(src);
    }
    if (e.ok() && ::rename(QFile::encodeName(rebuilt).constData(), QFile::encodeName(path).constData()) != 0)
        e = FileError::fromErrno(errno, path);
    if (e.ok())
        syncDirectory(m_directory);
    if (!e.ok()) {
        QFile::remove(rebuilt);
        return e;
    }
    return FileError::success();
}

FileError SqliteEngine::begin(std::chrono::milliseconds wait)
{
    sqlite3_busy_timeout(m_db, static_cast<int>(wait.count()));
    const FileError e = exec(QStringLiteral("BEGIN IMMEDIATE"));
    sqlite3_busy_timeout(m_db, DefaultBusyMs);
    return e;
}

std::uint64_t SqliteEngine::generation()
{
    for (const QString& schemaName : m_attached) {
        Statement version(m_db, QStringLiteral("PRAGMA %1.data_version").arg(schema::quoted(schemaName)));
        if (version.step() != SQLITE_ROW)
            continue;
        const auto seen = m_seenVersions.find(schemaName);
        if (seen == m_seenVersions.end()) {
            m_seenVersions.insert(schemaName, version.integer(0)); // just opened: the reads that follow see it whole
        } else if (*seen != version.integer(0)) {
            *seen = version.integer(0);
            ++m_otherCommits;
        }
    }
    return static_cast<std::uint64_t>(sqlite3_total_changes64(m_db)) + (m_otherCommits << 32);
}

void SqliteEngine::observeStatements(std::function<void(const char*)> observer)
{
    m_observer = std::move(observer);
    if (!m_observer) {
        sqlite3_trace_v2(m_db, 0, nullptr, nullptr);
        return;
    }
    sqlite3_trace_v2(
        m_db, SQLITE_TRACE_STMT,
        [](unsigned, void* context, void*, void* text) {
            const char* sql = static_cast<const char*>(text);
            // A trigger's statements come as comments ("-- ..."): only the statements run count.
            if (sql && !(sql[0] == '-' && sql[1] == '-'))
                static_cast<SqliteEngine*>(context)->m_observer(sql);
            return 0;
        },
        this);
}

FileError SqliteEngine::commit()
{
    const FileError e = exec(QStringLiteral("COMMIT"));
    // The directory's sync after the journal was removed failed: the removal is
    // what commits, so the transaction took (and SQLite has ended it). Saying it
    // failed would have the caller tell the user "nothing was written".
    if (!e.ok() && sqlite3_extended_errcode(m_db) == SQLITE_IOERR_DIR_FSYNC && sqlite3_get_autocommit(m_db))
        return FileError::success();
    return e;
}

void SqliteEngine::rollback()
{
    exec(QStringLiteral("ROLLBACK"));
}

FileError SqliteEngine::execAll(const QStringList& statements)
{
    for (const QString& sql : statements)
        if (FileError e = exec(sql); !e.ok()) {
            exec(QStringLiteral("ROLLBACK"));
            return e;
        }
    return FileError::success();
}

} // namespace fundora::platform
