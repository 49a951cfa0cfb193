#pragma once

#include "platform/Dates.h"
#include "platform/Decimal.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <vector>

namespace fundora::importing {

// What the file says a line is, beyond its sign.
enum class EntryKind { Plain, Interest, Fee };

// One line of a bank's statement file, as the file states it.
struct FileEntry {
    int sourceLine = 0; // the line of the file where it begins, counted from 1
    platform::DayNumber date = 0;
    // The file's sign: negative takes money from the holder (a charge on a card).
    platform::Decimal amount = platform::Decimal::fromUnits(0, 2);
    QString bankId; // the bank's transaction id; blank when the file gives none
    QString description;
    EntryKind kind = EntryKind::Plain;
    QStringList textNotes; // what reading the file changed in its text ("the entity &x; is unknown, and is dropped")
};

// One account of the file with its lines.
struct FileAccount {
    QString number; // as the file writes it (ACCTID); blank when the file has none
    std::vector<FileEntry> entries;
};

// A statement file read whole: one or more accounts.
struct StatementFile {
    QString format; // "OFX 1 (SGML)", "OFX 2 (XML)", "CSV"
    std::vector<FileAccount> accounts;
};

// Why a file could not be read: `message` names the line or the tag.
struct ReadError {
    int line = 0; // 0: not tied to a line
    QString message;
};

// The largest statement file read: a year of daily lines is far below it.
inline constexpr qint64 MaxStatementFileBytes = 64LL * 1024 * 1024;

// Opens a statement file for reading; false, with `error` saying why, when it
// is missing, larger than the largest read, or cannot be opened.
bool openStatementFile(const QString& path, QFile& file, ReadError& error);

// Whether `text` reads as an amount ("-42.50", "1234", "+0,5") by the one
// rule of every amount (platform::readMoney), with `decimalSeparator` (the
// point or the comma) before the cents.
bool readPlainAmount(QStringView text, QChar decimalSeparator, platform::Decimal& out);

// The index of the account whose number ends like `accountNumber`: equal in
// full, or in the last four digits of both. -1 when none does or several do.
int accountMatching(const StatementFile& file, const QString& accountNumber);

} // namespace fundora::importing
