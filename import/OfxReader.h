#pragma once

#include "import/StatementFile.h"

namespace fundora::importing {

// Whether the file begins like an OFX or QFX file (an OFX header, SGML or XML).
bool looksLikeOfx(const QString& path);

// Reads an OFX or QFX statement file, version 1 (SGML) or 2 (XML), with every
// account it holds. libofx parses it (and turns its CHARSET or encoding into
// text); the file is first scanned here so that a fault is reported with its
// line and tag, and so that each line's date and amount are taken exactly as
// written: the date as the calendar date the file states (never moved by a
// time zone), the amount as a decimal, never through a binary fraction.
// False with `error` set when the file cannot be read; nothing is then kept.
//
// A large statement (more than StreamedAbove lines) is read from the scan
// alone, as it streams by: libofx holds a whole parse tree and its time grows
// faster than the number of lines, so beyond that size the scan's own
// reading of the accounts, ids, names and types (decoded from the file's
// charset, entities replaced) is used. Both readings give the same lines;
// `parser` forces one of them (tests).
enum class OfxParser { Automatic, Libofx, Streamed };
inline constexpr std::size_t StreamedAbove = 2000;
bool readOfxFile(const QString& path, StatementFile& out, ReadError& error, OfxParser parser = OfxParser::Automatic);

} // namespace fundora::importing
