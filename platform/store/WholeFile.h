#pragma once

#include "platform/store/FileError.h"

#include <QString>
#include <QStringList>

#include <chrono>

struct sqlite3;

namespace fundora::platform {

// Whole data files as the backup utility handles them: copied while nobody
// can change them, checked before they are put in place, and put in place so
// that no journal of the file they replace is ever played back into them.

// Whether the file begins like an SQLite database.
bool looksLikeDatabase(const QString& path);

// How deeply a database file is checked. Quick checks the file's structure,
// not whether every index agrees with its rows or a changed byte inside a
// record; full is SQLite's integrity check, many times slower.
enum class DatabaseCheck { Quick, Full };

// Runs SQLite's check on a database file nobody else uses; empty when it
// passes, else what it found. Safe to run on a thread of its own.
QString databaseProblem(const QString& path, DatabaseCheck depth);

// Holds files still for as long as it lives: a read transaction on every
// database among them, so that no process can commit a change to any of them
// until release(). A journal left by a crashed writer is rolled back first,
// so the files read under the hold are whole and consistent with each other.
//
// Open the file descriptors used for copying *before* hold() and close them
// only after release(): closing any descriptor of a file drops this
// process's locks on it.
class SnapshotHold {
public:
    SnapshotHold() = default;
    ~SnapshotHold();
    SnapshotHold(const SnapshotHold&) = delete;
    SnapshotHold& operator=(const SnapshotHold&) = delete;

    // Files that are not databases are left alone (they are copied as bytes).
    // Code 32 when another process keeps writing one of them for longer than `wait`.
    FileError hold(const QStringList& paths, std::chrono::milliseconds wait);
    const QStringList& held() const { return m_held; }
    void release();

private:
    sqlite3* m_db = nullptr;
    QStringList m_held;
};

} // namespace fundora::platform
