#include "platform/store/View.h"

#include "platform/store/DataFile.h"
#include "platform/store/Store.h"
#include "platform/store/StoreSchema.h"

namespace fundora::platform {

View::View(DataFile& file, int key) : m_file(file), m_order(file.def(), key, file.store().dialect())
{
}

const FileDef& View::def() const
{
    return m_file.def();
}

void View::setRange(const Record& values, int components)
{
    m_range = m_order.values(values, components);
    m_ahead.clear();
}

void View::clearRange()
{
    m_range.clear();
    m_ahead.clear();
}

FileError View::setFilter(const QString& expression, const FilterBindings& names)
{
    m_ahead.clear();
    m_filterExpression = expression;
    m_filterNames = names;
    m_pagedFilterRange = -1;
    return m_file.store().note(compileFilter(expression, m_file.def(), names, m_filter, {}, m_file.store().dialect()));
}

void View::toStart()
{
    m_anchor = Anchor::Start;
    m_anchorValues.clear();
    m_inclusive = true;
    m_ahead.clear();
}

void View::toValue(const Record& keyValues)
{
    m_anchor = Anchor::Value;
    m_anchorValues = m_order.values(keyValues, m_order.componentCount());
    m_inclusive = true;
    m_ahead.clear();
}

FileError View::toPosition(const QString& position)
{
    const auto p = Position::decode(position);
    if (!p || p->key != m_order.key() || static_cast<int>(p->values.size()) != m_order.componentCount())
        return m_file.store().note(FileError::of(ErrorCode::RecordNotFound, QStringLiteral("bad position")));
    m_anchor = Anchor::Position;
    m_anchorValues = p->values;
    if (!m_order.unique())
        m_anchorValues.emplace_back(p->row);
    m_inclusive = true;
    m_ahead.clear();
    return m_file.store().note(FileError::success());
}

QString View::position(const Record& r) const
{
    Position p;
    p.key = m_order.key();
    p.row = r.identity.row;
    p.values = m_order.values(r, m_order.componentCount());
    return p.encode();
}

FileError View::next(Record& out)
{
    return read(true, out);
}

FileError View::previous(Record& out)
{
    return read(false, out);
}

FileError View::read(bool forward, Record& out)
{
    if (!m_file.isOpen())
        return m_file.store().note(FileError::of(ErrorCode::FileNotOpen, m_file.def().label));
    if (!m_ahead.empty() && m_aheadForward != forward)
        m_ahead.clear();
    if (m_ahead.empty()) {
        if (FileError e = query(forward); !e.ok())
            return e;
        if (m_ahead.empty()) {
            // Reading past either end keeps the cursor where it was, except that
            // the first backward read from the start wraps to the last record.
            return m_file.store().note(FileError::of(ErrorCode::EndOfFile));
        }
    }
    out = std::move(m_ahead.front());
    m_ahead.pop_front();
    m_anchor = Anchor::Position;
    m_anchorValues = m_order.values(out, m_order.componentCount());
    if (!m_order.unique())
        m_anchorValues.emplace_back(out.identity.row);
    m_inclusive = false;
    return m_file.store().note(FileError::success());
}

const CompiledFilter& View::filterAfterAnchor(int rangeCount)
{
    // From a place in the key, the index seeks on the place: a filter's own bounds on the key's
    // components after the range (a report's dates) would otherwise be taken as the seek, and every
    // read would walk again from the filter's bound up to the place.
    if (m_pagedFilterRange != rangeCount) {
        std::vector<int> ordered;
        for (int i = rangeCount; i < m_order.componentCount(); ++i)
            ordered.push_back(m_order.parts().at(static_cast<std::size_t>(i)).field);
        compileFilter(m_filterExpression, m_file.def(), m_filterNames, m_pagedFilter, ordered, m_file.store().dialect());
        m_pagedFilterRange = rangeCount;
    }
    return m_pagedFilter;
}

int View::compareToRange() const
{
    for (std::size_t i = 0; i < m_range.size() && i < m_anchorValues.size(); ++i) {
        const int c = compareSqlValues(m_anchorValues[i], m_range[i], m_order.noCase());
        if (c != 0)
            return c;
    }
    return 0;
}

FileError View::query(bool forward)
{
    QStringList conditions;
    std::vector<SqlValue> params;
    const int rangeCount = static_cast<int>(m_range.size());
    Anchor anchor = m_anchor;
    if (rangeCount > 0 && anchor != Anchor::Start) {
        // An anchor outside the range reads from the range's near end, or finds nothing.
        const int side = compareToRange();
        if (side != 0) {
            m_ahead.clear();
            if ((side < 0) != forward)
                return FileError::success();
            anchor = Anchor::Start;
        }
    }
    if (rangeCount > 0) {
        conditions << m_order.tuple(rangeCount) + QStringLiteral(" = ") + m_order.marks(rangeCount);
        params.insert(params.end(), m_range.begin(), m_range.end());
    }
    if (anchor != Anchor::Start) {
        // Within the range the anchor equals it on the range's components, so it is compared on
        // the rest alone: the index then seeks on the range's equality, on any field the filter
        // fixes that an index puts next (FileDef::fixedFieldKeys), and on the anchor.
        const int n = static_cast<int>(m_anchorValues.size());
        if (n > rangeCount) {
            QString op = forward ? QStringLiteral(">") : QStringLiteral("<");
            if (m_inclusive)
                op += u'=';
            conditions << m_order.tuple(rangeCount, n) + u' ' + op + u' ' + m_order.marks(rangeCount, n);
            params.insert(params.end(), m_anchorValues.begin() + rangeCount, m_anchorValues.end());
        } else if (!m_inclusive) {
            m_ahead.clear(); // past an anchor that is all range: nothing further in it
            return FileError::success();
        }
    }
    const CompiledFilter& filter = anchor == Anchor::Start ? m_filter : filterAfterAnchor(rangeCount);
    if (!filter.isEmpty()) {
        conditions << u'(' + filter.sql() + u')';
        const auto fp = filter.parameters();
        params.insert(params.end(), fp.begin(), fp.end());
    }
    const FileDef& d = m_file.def();
    QString sql =
        QStringLiteral("SELECT ") + selectList(d) + QStringLiteral(" FROM ") + schema::qualifiedTable(d, m_file.store().schemaOf(d));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + m_order.orderBy(!forward) + QStringLiteral(" LIMIT ?");
    params.emplace_back(static_cast<std::int64_t>(m_readAhead));

    StoreStatement* s = m_file.store().cached(sql);
    if (!s)
        return m_file.store().lastError();
    s->bindAll(params);
    int rc = 0;
    while ((rc = s->step()) == StoreStatement::Row) {
        m_ahead.push_back(readRecord(d, *s));
        ++s_recordsRead;
    }
    m_aheadForward = forward;
    FileError e = FileError::success();
    if (rc != StoreStatement::Done) {
        m_ahead.clear();
        e = m_file.store().failure(rc, *s, d.label);
    }
    s->reset();
    return e;
}

FileError View::totals(int sumField, const QString& condition, const FilterBindings& names, Totals& out)
{
    out = Totals();
    if (!m_file.isOpen())
        return m_file.store().note(FileError::of(ErrorCode::FileNotOpen, m_file.def().label));
    CompiledFilter extra;
    if (FileError e = compileFilter(condition, m_file.def(), names, extra, {}, m_file.store().dialect()); !e.ok())
        return m_file.store().note(e);
    QStringList conditions;
    std::vector<SqlValue> params;
    if (!m_range.empty()) {
        const int n = static_cast<int>(m_range.size());
        conditions << m_order.tuple(n) + QStringLiteral(" = ") + m_order.marks(n);
        params.insert(params.end(), m_range.begin(), m_range.end());
    }
    for (const CompiledFilter* f : {&m_filter, &extra}) {
        if (f->isEmpty())
            continue;
        conditions << u'(' + f->sql() + u')';
        const auto fp = f->parameters();
        params.insert(params.end(), fp.begin(), fp.end());
    }
    const FileDef& d = m_file.def();
    // The range's and the filters' fields all among the kept totals' groups: summed over the groups.
    std::vector<int> named = extra.fields();
    named.insert(named.end(), m_filter.fields().begin(), m_filter.fields().end());
    bool ascendingRange = true;
    for (std::size_t i = 0; i < m_range.size(); ++i) {
        named.push_back(m_order.parts().at(i).field);
        ascendingRange = ascendingRange && !m_order.parts().at(i).descending;
    }
    const QString schemaName = m_file.store().schemaOf(d);
    QString sql;
    if (ascendingRange && m_file.store().keepsTotals(d) && d.keepsTotalsOf(named, sumField)) {
        sql = QStringLiteral("SELECT COALESCE(SUM(\"Count\"), 0), %1 FROM %2")
                  .arg(sumField < 0 ? QStringLiteral("0") : QStringLiteral("COALESCE(SUM(\"Sum\"), 0)"),
                       schema::qualifiedKeptTotals(d, schemaName));
    } else {
        const QString sum =
            sumField < 0
                ? QStringLiteral("0")
                : QStringLiteral("COALESCE(SUM(%1), 0)").arg(schema::quoted(d.fields.at(static_cast<std::size_t>(sumField)).column()));
        sql = QStringLiteral("SELECT COUNT(*), %1 FROM %2").arg(sum, schema::qualifiedTable(d, schemaName));
    }
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    StoreStatement* s = m_file.store().cached(sql);
    if (!s)
        return m_file.store().lastError();
    s->bindAll(params);
    const int rc = s->step();
    if (rc == StoreStatement::Row) {
        out.count = s->integer(0);
        out.sumUnits = s->integer(1);
    }
    const FileError e = rc == StoreStatement::Row ? FileError::success() : m_file.store().failure(rc, *s, d.label);
    s->reset();
    return m_file.store().note(e);
}

} // namespace fundora::platform
