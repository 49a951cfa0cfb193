#pragma once

#include "import/StatementFile.h"

#include <QIODevice>

#include <deque>

namespace fundora::importing {

// What a scan of an OFX file found of one transaction (<STMTTRN>).
struct ScannedTransaction {
    int line = 0;
    platform::DayNumber date = 0;
    platform::Decimal amount = platform::Decimal::fromUnits(0, 2);
    // What the parser will change in its name or memo as the file writes it
    // (a NUL that ends it, bytes that are not the file's UTF-8, an entity it
    // does not know), so the preview can say so.
    QStringList textNotes;
    // The rest of the line as the file writes it (bytes in the file's
    // encoding, entities not yet replaced): what a streamed read takes.
    QByteArray account; // the ACCTID of the statement it belongs to
    QByteArray bankId;  // FITID
    QByteArray name, memo, type;
};

struct OfxScan {
    bool xml = false;                            // version 2
    QByteArray encoding = "windows-1252";        // what the header says its text is in, as QStringDecoder names it
    std::deque<ScannedTransaction> transactions; // grows without moving what it holds, and lets go from the front
};

// Scans an OFX file's tags as a stream, holding no more than one
// transaction's values: checks that it has a header and a whole <OFX>, that
// every transaction has a date and an amount that read, and that it holds any
// transaction at all. False with `error` naming the line and the tag.
bool scanOfx(QIODevice& device, OfxScan& out, ReadError& error);

} // namespace fundora::importing
