#pragma once

#include "platform/store/FileDefinition.h"
#include "platform/store/Record.h"
#include "platform/store/View.h"

#include <memory>

namespace fundora::platform {

class Store;

// One data file of a Store: its records, keys and one cursor for sequential
// access. Opening and closing go through the Store; the operations here need
// the file open and report 37 otherwise.
//
// Every write checks the version of the record as it was read: put() and
// remove() of a record that another station changed or deleted since fail with
// 89 and change nothing.
class DataFile {
public:
    DataFile(Store& store, FileDef def);

    Store& store() const { return m_store; }
    const FileDef& def() const { return m_def; }
    bool isOpen() const;

    FileError open();
    FileError create();
    FileError close();
    FileError rebuildKeys();
    // "Recover=N" (lock wait at the next open) or "QUICKSCAN=on|off" (read ahead in sequential reads).
    FileError sendOption(const QString& option);

    // Adds the record; its identity is set. 40 when a unique key would repeat.
    FileError add(Record& r);
    // Writes the record back (it must have been read); its version moves on.
    FileError put(Record& r);
    FileError remove(const Record& r);

    // The first record whose key components equal those of `keyValues` (35 if none).
    FileError get(int key, const Record& keyValues, Record& out);
    // Reads the record at `row` (35 if none).
    FileError fetch(std::int64_t row, Record& out);
    // Reads the record that a position string names (35 if it is gone).
    FileError reget(const QString& position, Record& out);
    // The position string of `r` within `key`.
    QString position(int key, const Record& r) const;

    // Sequential access on the file's cursor (see View for where it stands).
    void set(int key);
    void set(int key, const Record& keyValues);
    FileError reset(int key, const QString& position);
    FileError next(Record& out);
    FileError previous(Record& out);

    // Number of records (the whole file).
    FileError count(std::int64_t& out);
    // The sum of a numeric field over the whole file, computed by the store
    // (for money: in units of the field's last place). Both read the kept
    // totals when the file has them, whatever its size.
    FileError sum(int field, std::int64_t& out);

private:
    View& cursor(int key);
    // One whole number computed over the file by the store ("COUNT(*)", ...).
    // One value over the records, or over the kept totals (FileDef::keptTotals).
    FileError aggregate(const QString& expression, std::int64_t& out, bool fromKeptTotals = false);
    FileError checkOpen() const;
    // Runs a write, binding the record's values (none for an empty record)
    // and then `after`; no row changed is 89 (the record's version moved on).
    FileError write(const QString& sql, const Record& r, const std::vector<std::int64_t>& after, std::int64_t* row = nullptr);
    // Reads the first row of a query of selectList() (35 when there is none).
    FileError readOne(const QString& sql, const std::vector<SqlValue>& values, Record& out);

    Store& m_store;
    FileDef m_def;
    std::unique_ptr<View> m_cursor;
    int m_readAhead = 1;
};

} // namespace fundora::platform
