#include "platform/store/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace fundora::platform {

namespace {

FileError sqliteError(sqlite3* db, int rc, const QString& what)
{
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return FileError::of(ErrorCode::FileLocked, what);
    const QString detail = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    return FileError::of(ErrorCode::StoreFailure, what + QStringLiteral(": ") + detail);
}

int exec(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

QString uriOf(const QString& path, const char* query)
{
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setQuery(QString::fromLatin1(query));
    return QString::fromUtf8(url.toEncoded());
}

} // namespace

bool looksLikeDatabase(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

QString databaseProblem(const QString& path, DatabaseCheck depth)
{
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(uriOf(path, "mode=ro").toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    QString problem;
    if (rc == SQLITE_OK) {
        // Read through a mapping of the file: the check then runs several times faster.
        exec(db, "PRAGMA mmap_size=2147418112");
        sqlite3_stmt* st = nullptr;
        rc = sqlite3_prepare_v2(db, depth == DatabaseCheck::Full ? "PRAGMA integrity_check" : "PRAGMA quick_check", -1, &st, nullptr);
        if (rc == SQLITE_OK) {
            while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
                const QString line = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
                if (line != QStringLiteral("ok") && problem.isEmpty())
                    problem = line;
            }
            if (rc != SQLITE_DONE && problem.isEmpty())
                problem = QString::fromUtf8(sqlite3_errmsg(db));
        } else {
            problem = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
    } else {
        problem = QString::fromUtf8(sqlite3_errstr(rc));
    }
    sqlite3_close_v2(db);
    return problem;
}

SnapshotHold::~SnapshotHold()
{
    release();
}

FileError SnapshotHold::hold(const QStringList& paths, std::chrono::milliseconds wait)
{
    release();
    if (sqlite3_open_v2(":memory:", &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr) != SQLITE_OK)
        return sqliteError(m_db, SQLITE_CANTOPEN, QStringLiteral("snapshot"));
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, static_cast<int>(wait.count()));
    QStringList schemas;
    for (const QString& path : paths) {
        if (!looksLikeDatabase(path))
            continue;
        const QString schema = QStringLiteral("f%1").arg(schemas.size());
        // Attached for writing: rolling back a crashed writer's journal writes the file.
        const QString sql =
            QStringLiteral("ATTACH DATABASE '%1' AS %2").arg(uriOf(path, "mode=rw").replace(u'\'', QStringLiteral("''")), schema);
        const int rc = exec(m_db, sql.toUtf8().constData());
        if (rc != SQLITE_OK) {
            const FileError e = sqliteError(m_db, rc, QFileInfo(path).fileName());
            release();
            return e;
        }
        schemas << schema;
        m_held << path;
    }
    int rc = exec(m_db, "BEGIN");
    QStringList whole;
    for (qsizetype i = 0; rc == SQLITE_OK && i < schemas.size(); ++i) {
        // The first read of each file takes its shared lock (and plays back a hot journal).
        rc = exec(m_db, QStringLiteral("SELECT count(*) FROM %1.sqlite_schema").arg(schemas[i]).toUtf8().constData());
        if ((rc & 0xff) == SQLITE_NOTADB || (rc & 0xff) == SQLITE_CORRUPT) {
            // Damaged: copied as it is, like any other file that is not a database.
            rc = SQLITE_OK;
            continue;
        }
        if (rc != SQLITE_OK) {
            const FileError e = sqliteError(m_db, rc, QFileInfo(m_held[i]).fileName());
            release();
            return e;
        }
        whole << m_held[i];
    }
    m_held = whole;
    if (rc != SQLITE_OK) {
        const FileError e = sqliteError(m_db, rc, QStringLiteral("snapshot"));
        release();
        return e;
    }
    return FileError::success();
}

void SnapshotHold::release()
{
    if (m_db) {
        exec(m_db, "ROLLBACK");
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_held.clear();
}

} // namespace fundora::platform
