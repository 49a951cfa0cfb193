#include "platform/report/PageQueue.h"

#include "platform/PrivateDirectory.h"

#include <QDir>
#include <QFileDevice>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace fundora::platform {

// Pages live in the program's own work directory, where the next start removes what a killed run left.
PageQueue::PageQueue()
{
    const QString entry = workEntryTemplate(QStringLiteral("report"));
    if (entry.isEmpty()) {
        m_error =
            QStringLiteral("No private directory for the report's pages could be made (XDG_RUNTIME_DIR, or the temporary directory).");
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(entry);
    // QTemporaryDir makes the directory 0700 already; say so where it matters.
    if (m_dir->isValid())
        QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    else
        m_error = m_dir->errorString();
}

PageQueue::~PageQueue()
{
    cleanup();
}

bool PageQueue::isValid() const
{
    return m_dir && m_dir->isValid();
}

QString PageQueue::directory() const
{
    return isValid() ? m_dir->path() : QString();
}

bool PageQueue::append(const ReportPage& page)
{
    if (!isValid())
        return false;
    const QString name = QStringLiteral("%1/page-%2.frpg").arg(m_dir->path()).arg(m_files.size() + 1, 6, 10, QChar(u'0'));
    if (!page.save(name, &m_error))
        return false;
    m_files << name;
    return true;
}

std::optional<ReportPage> PageQueue::page(int index) const
{
    if (index < 0 || index >= m_files.size())
        return std::nullopt;
    return ReportPage::load(m_files[index]);
}

QString PageQueue::rowsFile() const
{
    return isValid() ? m_dir->path() + QStringLiteral("/rows.csv") : QString();
}

bool PageQueue::appendRow(const QStringList& cells)
{
    if (!isValid())
        return false;
    if (!m_csv.isOpen()) {
        m_csv.setFileName(rowsFile());
        if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            m_error = m_csv.errorString();
            return false;
        }
    }
    if (m_csv.write(csvLine(cells)) < 0) {
        m_error = m_csv.errorString();
        return false;
    }
    ++m_rows;
    return true;
}

void PageQueue::finishRows()
{
    if (m_csv.isOpen())
        m_csv.close();
}

void PageQueue::cleanup()
{
    for (const QString& f : std::as_const(m_files))
        QFile::remove(f);
    m_files.clear();
    if (m_csv.isOpen())
        m_csv.close();
    if (isValid())
        QFile::remove(rowsFile());
    m_rows = 0;
}

QString neutralisedCell(const QString& cell)
{
    // A spreadsheet runs a cell that starts with one of these as a formula
    // (=HYPERLINK(...), +cmd|..., @SUM(...)); a leading apostrophe makes it
    // text. A number, negative ones included, stays a number.
    static const QRegularExpression number(QStringLiteral("^[-+]?[0-9][0-9,]*(\\.[0-9]+)?$"));
    if (cell.isEmpty() || !QStringView(u"=+-@\t\r").contains(cell.front()) || number.match(cell).hasMatch())
        return cell;
    return u'\'' + cell;
}

QByteArray csvLine(const QStringList& cells)
{
    QStringList out;
    for (const QString& raw : cells) {
        const QString cell = neutralisedCell(raw);
        if (cell.contains(u',') || cell.contains(u'"') || cell.contains(u'\n') || cell.contains(u'\r'))
            out << u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"';
        else
            out << cell;
    }
    return out.join(u',').toUtf8() + "\r\n";
}

} // namespace fundora::platform
