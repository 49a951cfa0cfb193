#pragma once

#include "core/DataFiles.h"
#include "import/StatementFile.h"

#include <optional>

namespace fundora::importing {

// A statement line as this program books it: a charge raises the balance
// and is stored positive ("C", or "I" and "F" for interest and fees); a
// payment or credit lowers it and is stored negative ("P"). The file's debit
// (negative) is a charge; with `flipSigns` its positive amounts are.
struct BookedLine {
    int sourceLine = 0;
    platform::DayNumber date = 0;
    QString type;
    platform::Decimal amount = platform::Decimal::fromUnits(0, 2); // as stored
    QString description;                                           // cut to the transaction's field
    QString bankId;  // the bank's id, or for a line without one its content id (ContentIdPrefix)
    QString altered; // what storing changed in the file's text ("description: 2 control characters removed"); empty: nothing
};
// Begins the id a line without the bank's id is known by: its date, amount and
// description, and which occurrence of that content in the file it is.
inline const QString ContentIdPrefix = QStringLiteral("content:");
BookedLine bookEntry(const FileEntry& entry, bool flipSigns);

// Whether the file writes a card's charges as positive amounts (so its signs
// are to be flipped): most of its lines are charges, and a line named like a
// payment, credit or refund is the other sign. Nullopt when the file does not tell.
std::optional<bool> chargesArePositive(const FileAccount& account);

// Whether two descriptions name the same merchant: a word of one (three
// letters or more, accents and case aside) begins like a word of the other.
bool similarDescriptions(const QString& a, const QString& b);

enum class LineStatus { New, Duplicate, Matched, Refused };
// What the import does with a line: adds it as a transaction, links it to the
// typed transaction it matches, or leaves it.
enum class LineChoice { Add, Link, Skip };

struct PlannedLine {
    BookedLine line;
    LineStatus status = LineStatus::New;
    QString reason; // why it is a duplicate, a match or refused
    // The reason, and what storing changed in the file's text.
    QString note() const;
    std::int32_t matchedRow = 0;
    LineChoice choice = LineChoice::Add;
};

// Every line of one account's statement compared with what the account holds.
struct ImportPlan {
    std::int32_t sysId = 0;
    QString sourceName;
    platform::Decimal balanceBefore = platform::Decimal::fromUnits(0, 2);
    std::vector<PlannedLine> lines;

    platform::Decimal addedTotal() const;
    platform::Decimal balanceAfter() const { return (balanceBefore + addedTotal()).rounded(2); }
    int count(LineStatus status) const;
    int chosen(LineChoice choice) const;
    // Changes one line's choice; false (and no change) when the line cannot
    // take it: a refused line is only left, a line links only to its match.
    bool choose(std::size_t line, LineChoice choice);
};

// How far apart a typed entry's date and the bank's may be for a match.
inline constexpr int MatchWindowDays = 4;

// Compares the lines of `account` with account `sysId`: a line whose bank id
// (or, without one, whose content id) an earlier import took in with the same
// date and amount is a duplicate; a
// typed, not yet linked transaction of the same amount within four days and
// with a similar description is a match; any other line is new. An id seen
// before on a line that differs never makes it a duplicate.
platform::FileError planImport(core::DataFiles& files, std::int32_t sysId, const FileAccount& account, bool flipSigns,
                               const QString& sourceName, ImportPlan& out);

} // namespace fundora::importing
