#pragma once

#include "core/TypedFile.h"
#include "platform/store/Record.h"

namespace fundora::engine {

// The shared record buffer of a file, seen as a store record: what the list
// engine loads rows into and reads key values from.
class RecordBuffer {
public:
    virtual ~RecordBuffer() = default;
    virtual platform::Record get() const = 0;
    virtual void set(const platform::Record& r) = 0;
    virtual void clear() = 0;
    virtual platform::DataFile& file() = 0;
};

template <class R>
class TypedBuffer final : public RecordBuffer {
public:
    explicit TypedBuffer(core::TypedFile<R>& file) : m_file(file) {}
    platform::Record get() const override { return m_file.layout().toRecord(m_file.record); }
    void set(const platform::Record& r) override { m_file.layout().fromRecord(r, m_file.record); }
    void clear() override { m_file.clear(); }
    platform::DataFile& file() override { return m_file.file(); }

private:
    core::TypedFile<R>& m_file;
};

} // namespace fundora::engine
