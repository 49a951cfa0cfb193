#pragma once

#include "core/RecordLayout.h"
#include "platform/store/DataFile.h"
#include "platform/store/View.h"

namespace fundora::core {

// What every typed file offers without its record type.
class AnyTypedFile {
public:
    virtual ~AnyTypedFile() = default;
    virtual platform::DataFile& file() = 0;
    // Clears the buffer: texts blank, numbers zero, not read from the file.
    virtual void clear() = 0;
};

// A data file with its one shared record buffer: reads fill `record`, writes take it.
template <class R>
class TypedFile final : public AnyTypedFile {
public:
    TypedFile(platform::Store& store, const RecordLayout<R>& layout) : m_layout(layout), m_file(store, layout.def()) {}

    R record;

    platform::DataFile& file() override { return m_file; }
    const platform::FileDef& def() const { return m_layout.def(); }
    const RecordLayout<R>& layout() const { return m_layout; }
    void clear() override { record = R{}; }

    platform::FileError add() { return write(&platform::DataFile::add); }
    platform::FileError put() { return write(&platform::DataFile::put); }
    platform::FileError remove() { return m_file.remove(m_layout.toRecord(record)); }

    void set(int key) { m_file.set(key); }
    // Positions before the first record not below the buffer's key values.
    void setOnValue(int key) { m_file.set(key, m_layout.toRecord(record)); }
    platform::FileError reset(int key, const QString& position) { return m_file.reset(key, position); }
    platform::FileError next()
    {
        return read([&](platform::Record& r) { return m_file.next(r); });
    }
    platform::FileError previous()
    {
        return read([&](platform::Record& r) { return m_file.previous(r); });
    }
    // The first record whose key equals the buffer's key values.
    platform::FileError get(int key)
    {
        const platform::Record keyValues = m_layout.toRecord(record);
        return read([&](platform::Record& r) { return m_file.get(key, keyValues, r); });
    }
    platform::FileError reget(const QString& position)
    {
        return read([&](platform::Record& r) { return m_file.reget(position, r); });
    }
    QString position(int key) const { return m_file.position(key, m_layout.toRecord(record)); }

private:
    platform::FileError write(platform::FileError (platform::DataFile::*op)(platform::Record&))
    {
        platform::Record r = m_layout.toRecord(record);
        const platform::FileError e = (m_file.*op)(r);
        if (e.ok())
            record.identity = r.identity;
        return e;
    }
    template <class Read>
    platform::FileError read(Read readInto)
    {
        platform::Record r;
        const platform::FileError e = readInto(r);
        if (e.ok())
            m_layout.fromRecord(r, record);
        return e;
    }

    const RecordLayout<R>& m_layout;
    platform::DataFile m_file;
};

// Calls `visit` with every record of `file` in the order of `key`, read
// through records of its own (the file's buffer stays as it is); stops at the
// first error, of the read or of `visit`.
template <class R, class Visit>
platform::FileError forEachRecord(platform::DataFile& file, const RecordLayout<R>& layout, int key, Visit visit)
{
    platform::View view(file, key);
    for (;;) {
        platform::Record r;
        const platform::FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            return platform::FileError::success();
        if (!e.ok())
            return e;
        R record;
        layout.fromRecord(r, record);
        if (const platform::FileError v = visit(record); !v.ok())
            return v;
    }
}

} // namespace fundora::core
