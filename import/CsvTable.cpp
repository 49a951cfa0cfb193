#include "import/CsvTable.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <tuple>

namespace fundora::importing {

namespace {

QString decoded(QByteArray bytes, QString& encoding)
{
    // UTF-16, as spreadsheets save "Unicode text": known by its byte order mark.
    for (const auto& [mark, kind, name] : {std::tuple{QByteArrayLiteral("\xFF\xFE"), QStringDecoder::Utf16LE, "UTF-16LE"},
                                           std::tuple{QByteArrayLiteral("\xFE\xFF"), QStringDecoder::Utf16BE, "UTF-16BE"}}) {
        if (bytes.startsWith(mark)) {
            QStringDecoder utf16(kind, QStringDecoder::Flag::Stateless);
            encoding = QString::fromLatin1(name);
            return utf16(bytes.mid(2));
        }
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError()) {
        encoding = QStringLiteral("UTF-8");
        return text;
    }
    QStringDecoder windows("windows-1252");
    encoding = QStringLiteral("Windows-1252");
    return windows.isValid() ? windows(bytes) : QString::fromLatin1(bytes);
}

QChar delimiterOf(const QString& text)
{
    const qsizetype end = text.indexOf(u'\n');
    const QStringView first = QStringView(text).left(end < 0 ? text.size() : end);
    QChar best = u',';
    qsizetype most = 0;
    for (QChar c : {QChar(u','), QChar(u';'), QChar(u'\t')}) {
        const qsizetype n = first.count(c);
        if (n > most) {
            most = n;
            best = c;
        }
    }
    return best;
}

} // namespace

bool readCsvText(const QByteArray& bytes, QChar delimiter, CsvTable& out, ReadError& error)
{
    out = CsvTable{};
    const QString text = decoded(bytes, out.encoding);
    if (text.contains(QChar(0))) {
        error = {0, QStringLiteral("The file holds NUL characters, so it is no text file this program reads: UTF-16 without its "
                                   "byte order mark, or not a CSV file at all. Save it as CSV (UTF-8) and import it again.")};
        return false;
    }
    out.delimiter = delimiter.isNull() ? delimiterOf(text) : delimiter;
    QStringList row;
    QString field;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the field began with a quote
    bool rowHasText = false;
    int line = 1;
    int rowLine = 1;
    int quoteLine = 0;
    auto endField = [&] {
        row << (wasQuoted ? field : field.trimmed());
        rowHasText = rowHasText || !field.trimmed().isEmpty();
        field.clear();
        wasQuoted = false;
    };
    auto endRow = [&] {
        endField();
        if (rowHasText) {
            out.rows.push_back(row);
            out.lines.push_back(rowLine);
        }
        row.clear();
        rowHasText = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.trimmed().isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
            quoteLine = line;
            field.clear();
        } else if (c == out.delimiter) {
            endField();
        } else if (c == u'\n') {
            endRow();
            ++line;
            rowLine = line;
        } else if (c != u'\r') {
            if (wasQuoted && !c.isSpace()) {
                error = {line, QStringLiteral("Line %1: text follows a quoted field before the next %2.")
                                   .arg(line)
                                   .arg(out.delimiter == u'\t' ? QStringLiteral("tab") : QString(out.delimiter))};
                return false;
            }
            if (!wasQuoted)
                field += c;
        }
    }
    if (quoted) {
        error = {quoteLine, QStringLiteral("Line %1: a quoted field is not closed: the file is cut short.").arg(quoteLine)};
        return false;
    }
    endRow();
    if (out.rows.empty()) {
        error = {0, QStringLiteral("The file holds no lines.")};
        return false;
    }
    return true;
}

bool readCsvFile(const QString& path, QChar delimiter, CsvTable& out, ReadError& error)
{
    QFile file;
    if (!openStatementFile(path, file, error))
        return false;
    return readCsvText(file.readAll(), delimiter, out, error);
}

} // namespace fundora::importing
