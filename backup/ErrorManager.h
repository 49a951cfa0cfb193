#pragma once

#include "platform/store/FileError.h"

#include <QString>
#include <QVector>

namespace fundora::backup {

// The utility's numbered messages: a table of (number, level, title, text)
// with substitutions (%File, %ErrorText, ...). A lookup searches from the end,
// so an entry added later replaces an earlier one with the same number.
class ErrorManager {
public:
    struct Entry {
        int number = 0;
        int level = 0;
        QString title;
        QString text;
    };
    enum class Outcome { GoOn, GiveUp, Stay, Ended };

    ErrorManager();
    void add(Entry entry) { m_entries.push_back(std::move(entry)); }

    // The packed form: 16-bit count, then per entry number, level, and length-prefixed title and text.
    static QVector<Entry> unpack(const QByteArray& packed);
    static QByteArray pack(const QVector<Entry>& entries);

    void setError(const platform::FileError& error) { m_error = error; }
    void setFile(const QString& file) { m_file = file; }
    void setField(const QString& field) { m_field = field; }
    void setMessage(const QString& message) { m_message = message; }

    const Entry* find(int number) const;
    // The entry's text with every token replaced.
    QString text(int number) const;
    // Shows the message as its level says and tells the caller what to do.
    Outcome raise(int number);

private:
    QVector<Entry> m_entries;
    platform::FileError m_error;
    QString m_file, m_field, m_message;
};

} // namespace fundora::backup
