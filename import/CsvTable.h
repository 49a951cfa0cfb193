#pragma once

#include "import/StatementFile.h"

#include <QStringList>

namespace fundora::importing {

// A CSV file read into rows of fields, as text.
struct CsvTable {
    QChar delimiter = u',';
    QString encoding; // "UTF-8" or "Windows-1252"
    std::vector<QStringList> rows;
    std::vector<int> lines; // the file line each row begins on
};

// Reads a CSV file: UTF-8 (with or without its mark) or, when the bytes are
// not UTF-8, Windows-1252 (of which ISO-8859-1's letters are a part); fields
// separated by `delimiter` or, when it is null, by whichever of , ; and tab
// the first line uses most; quoted fields may hold the delimiter, doubled
// quotes and line breaks. Blank lines are left out.
bool readCsvFile(const QString& path, QChar delimiter, CsvTable& out, ReadError& error);
bool readCsvText(const QByteArray& bytes, QChar delimiter, CsvTable& out, ReadError& error);

} // namespace fundora::importing
