#pragma once

#include "platform/store/Store.h"

namespace fundora::core {

// A transaction over the open data files for as long as it lives: begun on
// construction (waiting at most `wait` for other stations), rolled back on
// destruction unless commit() succeeded.
class FileTransaction {
public:
    explicit FileTransaction(platform::Store& store, std::chrono::milliseconds wait = platform::Store::TransactionWait)
        : m_store(store), m_begin(store.begin(wait))
    {
    }
    ~FileTransaction() { rollback(); }
    FileTransaction(const FileTransaction&) = delete;
    FileTransaction& operator=(const FileTransaction&) = delete;

    bool begun() const { return m_begin.ok(); }
    const platform::FileError& beginError() const { return m_begin; }
    platform::FileError commit()
    {
        if (!active())
            return platform::FileError::of(platform::ErrorCode::StoreFailure, QStringLiteral("no transaction"));
        const platform::FileError e = m_store.commit();
        m_done = e.ok();
        return e;
    }
    void rollback()
    {
        if (active()) {
            m_store.rollback();
            m_done = true;
        }
    }

private:
    bool active() const { return m_begin.ok() && !m_done; }
    platform::Store& m_store;
    platform::FileError m_begin;
    bool m_done = false;
};

} // namespace fundora::core
