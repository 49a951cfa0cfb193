#pragma once

#include "platform/store/FilterExpression.h"
#include "platform/store/KeyOrder.h"
#include "platform/store/Position.h"
#include "platform/store/Record.h"

#include <deque>
#include <optional>

namespace fundora::platform {

class DataFile;

// A cursor over one key of a file, optionally limited to the records whose
// first key components equal given values (the range) and to those a filter
// accepts. Every read is one indexed query that starts at the cursor's place
// (keyset paging), so reading a page costs the same in a small file and in a
// very large one, and records changed by others are seen at the next read.
//
// The cursor stands between records. After toStart(), next() reads the first
// record and previous() the last. toValue() stands before the first record not
// below the values; toPosition() on a record, so either direction reads that
// record first. A read moves the cursor past the record it returns.
class View {
public:
    View(DataFile& file, int key);

    int key() const { return m_order.key(); }
    const FileDef& def() const;

    // The first `components` key components are fixed to `values`' fields.
    void setRange(const Record& values, int components);
    void clearRange();
    // Compiles and applies a filter; an empty expression removes it.
    FileError setFilter(const QString& expression, const FilterBindings& names);
    // Rows to read ahead per query (1: none).
    void setReadAhead(int rows) { m_readAhead = rows < 1 ? 1 : rows; }

    void toStart();
    void toValue(const Record& keyValues);
    FileError toPosition(const QString& position);

    // 0, or 33 when no further record lies in that direction.
    FileError next(Record& out);
    FileError previous(Record& out);

    // The position string of `r` in this view's key.
    QString position(const Record& r) const;

    // Count and sum (of `sumField`, -1 for none; money in units of its last
    // place) over every record of the range that the filter and `condition`
    // (a further filter expression; empty for none) let through. Read from the
    // file's kept totals when they cover every field named; else computed by
    // the store in one query: no record is read into the program.
    struct Totals {
        std::int64_t count = 0;
        std::int64_t sumUnits = 0;
    };
    FileError totals(int sumField, const QString& condition, const FilterBindings& names, Totals& out);

    // Records all views of the process have read from their files (for benchmarks and tests).
    static std::int64_t recordsRead() { return s_recordsRead; }

private:
    enum class Anchor { Start, Value, Position };
    FileError read(bool forward, Record& out);
    FileError query(bool forward);
    // Where the anchor lies against the range: -1 below, 0 within, 1 above.
    int compareToRange() const;

    DataFile& m_file;
    KeyOrder m_order;
    Anchor m_anchor = Anchor::Start;
    std::vector<SqlValue> m_anchorValues; // key components (and seq for Position on non-unique keys)
    bool m_inclusive = true;
    std::vector<SqlValue> m_range;
    // The filter as a read from a place in the key runs it (see filterAfterAnchor).
    const CompiledFilter& filterAfterAnchor(int rangeCount);

    CompiledFilter m_filter;
    QString m_filterExpression;
    FilterBindings m_filterNames;
    CompiledFilter m_pagedFilter;
    int m_pagedFilterRange = -1; // the range it was compiled for; -1: not compiled
    int m_readAhead = 1;
    std::deque<Record> m_ahead;
    bool m_aheadForward = true;
    static inline std::int64_t s_recordsRead = 0;
};

} // namespace fundora::platform
