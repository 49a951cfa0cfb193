#pragma once

#include "platform/report/ReportPage.h"

#include <QFile>
#include <QStringList>

#include <memory>
#include <optional>

class QTemporaryDir;

namespace fundora::platform {

// The pages of one report run, each written to a file as soon as it is
// finished, in a private directory (mode 0700) of its own: memory holds their
// names only, however many pages a report has. The report's rows for a
// spreadsheet are written beside them as CSV. cleanup() (or the destructor)
// removes every file.
class PageQueue {
public:
    PageQueue();
    ~PageQueue();
    PageQueue(const PageQueue&) = delete;
    PageQueue& operator=(const PageQueue&) = delete;

    bool isValid() const;
    QString directory() const;
    QString errorString() const { return m_error; }

    // Writes the page to the next file; false (and errorString()) when it could not be written.
    bool append(const ReportPage& page);
    int count() const { return static_cast<int>(m_files.size()); }
    bool isEmpty() const { return m_files.isEmpty(); }
    const QStringList& files() const { return m_files; }
    std::optional<ReportPage> page(int index) const;

    // The report as rows of a table (a CSV file beside the pages).
    bool appendRow(const QStringList& cells);
    // Ends the rows: written out and closed (the report has finished).
    void finishRows();
    bool hasRows() const { return m_rows > 0; }
    QString rowsFile() const;

    // Removes the page files and the rows; the queue is empty afterwards.
    void cleanup();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_files;
    QFile m_csv;
    int m_rows = 0;
    QString m_error;
};

// One CSV line (RFC 4180: fields with a comma, quote or line break are quoted,
// quotes doubled). A text cell a spreadsheet would run as a formula gets a
// leading apostrophe (neutralisedCell).
QByteArray csvLine(const QStringList& cells);
QString neutralisedCell(const QString& cell);

} // namespace fundora::platform
