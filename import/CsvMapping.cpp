#include "import/CsvMapping.h"

#include "import/ImportRecords.h"
#include "platform/Clock.h"
#include "platform/pictures/Picture.h"

#include <QDate>
#include <QRegularExpression>

#include <algorithm>

namespace fundora::importing {

const QStringList& csvDateFormats()
{
    static const QStringList formats = {QStringLiteral("yyyy-MM-dd"), QStringLiteral("M/d/yyyy"),   QStringLiteral("d/M/yyyy"),
                                        QStringLiteral("d.M.yyyy"),   QStringLiteral("yyyy/MM/dd"), QStringLiteral("d-M-yyyy"),
                                        QStringLiteral("M-d-yyyy"),   QStringLiteral("yyyyMMdd"),   QStringLiteral("M/d/yy"),
                                        QStringLiteral("d/M/yy")};
    return formats;
}

namespace {

platform::Decimal magnitude(const platform::Decimal& d)
{
    return d.isNegative() ? -d : d;
}

bool readDate(const QString& text, const QString& format, platform::DayNumber& out)
{
    QString t = text.trimmed();
    QString f = format;
    // A two-digit year stands for the year the forms take it for (platform::yearOfTwoDigits).
    if (f.endsWith(QStringLiteral("/yy"))) {
        const qsizetype slash = t.lastIndexOf(u'/');
        bool ok = false;
        const int twoDigits = t.mid(slash + 1).toInt(&ok);
        if (slash < 0 || t.size() - slash - 1 != 2 || !ok)
            return false;
        t = t.left(slash + 1) + QString::number(platform::yearOfTwoDigits(twoDigits, platform::Clock::current().today()));
        f += QStringLiteral("yy");
    }
    const QDate d = QDate::fromString(t, f);
    if (!d.isValid())
        return false;
    if (d.year() < 1801 || d.year() > 2099)
        return false;
    out = platform::dayNumberOf(d.year(), d.month(), d.day());
    return true;
}

QString cell(const QStringList& row, int column)
{
    return column >= 1 && column <= row.size() ? row[column - 1].trimmed() : QString();
}

// An amount as CSV files write it, by the one rule of every amount; blanks
// between the digits ("1 042,50") are left out first.
bool readCsvAmount(QString text, QChar decimalSeparator, platform::Decimal& out)
{
    text.remove(u' ');
    text.remove(QChar(0x00A0));
    return readPlainAmount(text, decimalSeparator, out);
}

bool looksLikeAmount(const QString& text, QChar separator)
{
    platform::Decimal ignored;
    return !text.trimmed().isEmpty() && readCsvAmount(text, separator, ignored);
}

int columnNamed(const QStringList& header, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        for (int i = 0; i < header.size(); ++i)
            if (header[i].trimmed().toLower().contains(QLatin1String(name)))
                return i + 1;
    return 0;
}

QStringList fittingFormats(const CsvTable& table, int skip, int column)
{
    QStringList out;
    for (const QString& format : csvDateFormats()) {
        bool all = true, any = false;
        for (std::size_t r = static_cast<std::size_t>(skip); r < table.rows.size() && all; ++r) {
            platform::DayNumber d = 0;
            const QString text = cell(table.rows[r], column);
            all = readDate(text, format, d);
            any = true;
        }
        if (all && any)
            out << format;
    }
    return out;
}

} // namespace

CsvProposal proposeCsvMapping(const CsvTable& table)
{
    CsvProposal p;
    CsvMapping& m = p.mapping;
    if (table.rows.empty())
        return p;
    // A first line whose cells are no dates and no amounts is a header.
    const QStringList& first = table.rows.front();
    bool firstHasData = false;
    for (const QString& c : first) {
        platform::DayNumber d = 0;
        for (const QString& f : csvDateFormats())
            firstHasData = firstHasData || readDate(c, f, d);
    }
    const bool header = !firstHasData && table.rows.size() > 1;
    m.skipLines = header ? 1 : 0;
    if (header) {
        m.dateColumn = columnNamed(first, {"posted", "transaction date", "date"});
        m.descriptionColumn = columnNamed(first, {"description", "payee", "merchant", "name", "details", "memo", "text"});
        m.amountColumn = columnNamed(first, {"amount", "value", "sum"});
        m.debitColumn = columnNamed(first, {"debit", "withdrawal", "charge"});
        m.creditColumn = columnNamed(first, {"credit", "deposit", "payment"});
        m.typeColumn = columnNamed(first, {"type", "category"});
        if (m.amountColumn)
            m.debitColumn = m.creditColumn = 0;
        if (m.typeColumn == m.dateColumn || m.typeColumn == m.amountColumn)
            m.typeColumn = 0;
    }
    const QStringList& sample = table.rows[std::min<std::size_t>(static_cast<std::size_t>(m.skipLines), table.rows.size() - 1)];
    // The decimal separator: a comma when the sample's amounts read only with it.
    for (const QString& c : sample)
        if (!looksLikeAmount(c, u'.') && looksLikeAmount(c, u',')) {
            m.decimalSeparator = u',';
            break;
        }
    for (int column = 1; column <= sample.size(); ++column) {
        const QString c = cell(sample, column);
        if (!m.dateColumn && !fittingFormats(table, m.skipLines, column).isEmpty())
            m.dateColumn = column;
        else if (!m.amountColumn && !m.debitColumn && column != m.dateColumn && looksLikeAmount(c, m.decimalSeparator))
            m.amountColumn = column;
    }
    if (!m.descriptionColumn) {
        // The column with the longest texts that are no amounts.
        qsizetype longest = 0;
        for (int column = 1; column <= sample.size(); ++column) {
            const QString c = cell(sample, column);
            if (column == m.dateColumn || column == m.amountColumn || looksLikeAmount(c, m.decimalSeparator))
                continue;
            if (c.size() > longest) {
                longest = c.size();
                m.descriptionColumn = column;
            }
        }
    }
    if (m.dateColumn) {
        p.fittingDateFormats = fittingFormats(table, m.skipLines, m.dateColumn);
        // Where the dates fit several formats, another column of dates (a bank
        // that writes the posting and the transaction date) may decide it: a
        // file writes its dates one way.
        for (int column = 1; column <= sample.size() && p.fittingDateFormats.size() > 1; ++column) {
            if (column == m.dateColumn)
                continue;
            const QStringList other = fittingFormats(table, m.skipLines, column);
            QStringList both;
            for (const QString& f : p.fittingDateFormats)
                if (other.contains(f))
                    both << f;
            if (!other.isEmpty() && !both.isEmpty())
                p.fittingDateFormats = both;
        }
        if (!p.fittingDateFormats.isEmpty())
            m.dateFormat = p.fittingDateFormats.front();
        p.dateFormatAmbiguous = p.fittingDateFormats.size() > 1;
    }
    return p;
}

QString csvMappingProblem(const CsvTable& table, const CsvMapping& m)
{
    if (m.dateColumn <= 0)
        return QStringLiteral("Pick the column that holds the dates.");
    if (m.amountColumn <= 0 && (m.debitColumn <= 0 || m.creditColumn <= 0))
        return QStringLiteral("Pick the column that holds the amounts, or both a debit and a credit column.");
    if (!csvDateFormats().contains(m.dateFormat))
        return QStringLiteral("Pick the format of the dates.");
    if (m.skipLines < 0 || static_cast<std::size_t>(m.skipLines) >= table.rows.size())
        return QStringLiteral("The file has %1 lines: skip fewer header lines.").arg(table.rows.size());
    return {};
}

bool csvToStatement(const CsvTable& table, const CsvMapping& m, StatementFile& out, ReadError& error)
{
    out = StatementFile{};
    out.format = QStringLiteral("CSV");
    if (const QString problem = csvMappingProblem(table, m); !problem.isEmpty()) {
        error = {0, problem};
        return false;
    }
    FileAccount account;
    auto fail = [&](int line, int column, const QString& text) {
        error = {line, QStringLiteral("Line %1, column %2: %3").arg(line).arg(column).arg(text)};
        return false;
    };
    const QString amountHint = m.decimalSeparator == u'.' ? QStringLiteral("-42.50") : QStringLiteral("-42,50");
    for (std::size_t r = static_cast<std::size_t>(m.skipLines); r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        const int line = table.lines[r];
        FileEntry e;
        e.sourceLine = line;
        const QString dateText = cell(row, m.dateColumn);
        if (dateText.isEmpty())
            return fail(line, m.dateColumn, QStringLiteral("the date is missing."));
        if (!readDate(dateText, m.dateFormat, e.date))
            return fail(line, m.dateColumn, QStringLiteral("\"%1\" is not a date written %2 (1801 to 2099).").arg(dateText, m.dateFormat));
        auto amountIn = [&](int column, platform::Decimal& value) {
            const QString text = cell(row, column);
            if (!readCsvAmount(text, m.decimalSeparator, value))
                return fail(
                    line, column,
                    QStringLiteral("\"%1\" is not an amount; amounts are written like %2, with two places at most.").arg(text, amountHint));
            return true;
        };
        if (m.amountColumn > 0) {
            if (cell(row, m.amountColumn).isEmpty())
                return fail(line, m.amountColumn, QStringLiteral("the amount is missing."));
            if (!amountIn(m.amountColumn, e.amount))
                return false;
        } else {
            const bool debit = !cell(row, m.debitColumn).isEmpty();
            const bool credit = !cell(row, m.creditColumn).isEmpty();
            if (debit == credit)
                return fail(line, m.debitColumn,
                            debit ? QStringLiteral("both the debit and the credit column hold an amount.")
                                  : QStringLiteral("neither the debit nor the credit column holds an amount."));
            platform::Decimal value;
            if (!amountIn(debit ? m.debitColumn : m.creditColumn, value))
                return false;
            e.amount = debit ? -magnitude(value) : magnitude(value);
        }
        const QString type = cell(row, m.typeColumn).toLower();
        if (type.contains(QStringLiteral("interest")) || type == u"int")
            e.kind = EntryKind::Interest;
        else if (type.contains(QStringLiteral("fee")) || type.contains(QStringLiteral("service charge")))
            e.kind = EntryKind::Fee;
        if (m.amountColumn > 0 && m.typeColumn > 0) {
            if (type.startsWith(QStringLiteral("debit")) || type.startsWith(QStringLiteral("sale")) ||
                type.startsWith(QStringLiteral("purchase")))
                e.amount = -magnitude(e.amount);
            else if (type.startsWith(QStringLiteral("credit")) || type.startsWith(QStringLiteral("payment")) ||
                     type.startsWith(QStringLiteral("refund")) || type.startsWith(QStringLiteral("return")))
                e.amount = magnitude(e.amount);
        }
        e.description = cell(row, m.descriptionColumn).simplified();
        account.entries.push_back(std::move(e));
    }
    if (account.entries.empty()) {
        error = {0, QStringLiteral("The file holds no statement lines after its header.")};
        return false;
    }
    out.accounts.push_back(std::move(account));
    return true;
}

CsvMapping mappingOf(const importing::ImportSettings& s)
{
    CsvMapping m;
    m.skipLines = s.skipLines;
    m.dateColumn = s.dateColumn;
    m.descriptionColumn = s.descriptionColumn;
    m.amountColumn = s.amountColumn;
    m.debitColumn = s.debitColumn;
    m.creditColumn = s.creditColumn;
    m.typeColumn = s.typeColumn;
    m.dateFormat = s.dateFormat.trimmed();
    m.decimalSeparator = s.decimalComma ? u',' : u'.';
    return m;
}

void storeMapping(const CsvMapping& m, QChar delimiter, importing::ImportSettings& s)
{
    s.skipLines = static_cast<std::int16_t>(m.skipLines);
    s.delimiter = delimiter.isNull() ? QString() : QString(delimiter);
    s.dateColumn = static_cast<std::int16_t>(m.dateColumn);
    s.descriptionColumn = static_cast<std::int16_t>(m.descriptionColumn);
    s.amountColumn = static_cast<std::int16_t>(m.amountColumn);
    s.debitColumn = static_cast<std::int16_t>(m.debitColumn);
    s.creditColumn = static_cast<std::int16_t>(m.creditColumn);
    s.typeColumn = static_cast<std::int16_t>(m.typeColumn);
    s.dateFormat = m.dateFormat;
    s.decimalComma = m.decimalSeparator == u',' ? 1 : 0;
}

} // namespace fundora::importing
