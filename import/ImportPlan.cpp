#include "import/ImportPlan.h"

#include "import/ImportRecords.h"
#include "import/StorableText.h"
#include "platform/store/View.h"
#include "statements/StatementText.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSet>

#include <map>

namespace fundora::importing {

using platform::Decimal;
using platform::FileError;

namespace {

// The transaction's description holds 35 characters, its amount 7 digits.
constexpr int DescriptionSize = 35;
const Decimal LargestAmount = Decimal::fromUnits(9999999, 2);

QStringList wordsOf(const QString& text)
{
    QString folded;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.isLetterOrNumber())
            folded += c.toUpper();
        else if (c.category() != QChar::Mark_NonSpacing)
            folded += u' ';
    QStringList words;
    for (const QString& w : folded.split(u' ', Qt::SkipEmptyParts))
        if (w.size() >= 3)
            words << w;
    return words;
}

// A line without the bank's id is known by its content: the date, the amount
// as booked and the description (blanks and case aside), with the number of
// times the same content came before it in the file. Two identical charges of
// one day are then two lines, and the same file imported again gives the same ids.
QString contentId(const BookedLine& line, const QString& description, int occurrence)
{
    const QByteArray key = QByteArray::number(line.date) + '|' + QByteArray::number(line.amount.units()) + '|' +
                           description.simplified().toCaseFolded().toUtf8();
    return ContentIdPrefix + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24)) + u'#' +
           QString::number(occurrence);
}

QString duplicateReason(const QString& bankId)
{
    return bankId.startsWith(ContentIdPrefix) ? QStringLiteral("a line of the same date, amount and description was imported before")
                                              : QStringLiteral("bank id %1 was imported before").arg(bankId);
}

} // namespace

BookedLine bookEntry(const FileEntry& entry, bool flipSigns)
{
    BookedLine b;
    b.sourceLine = entry.sourceLine;
    b.date = entry.date;
    b.amount = (flipSigns ? entry.amount : -entry.amount).rounded(2);
    if (b.amount.isNegative())
        b.type = QStringLiteral("P");
    else if (entry.kind == EntryKind::Interest)
        b.type = QStringLiteral("I");
    else if (entry.kind == EntryKind::Fee)
        b.type = QStringLiteral("F");
    else
        b.type = QStringLiteral("C");
    QStringList description = entry.textNotes, bankId;
    b.description = storableText(entry.description, DescriptionSize, description);
    b.bankId = storableText(entry.bankId, 255, bankId);
    QStringList altered;
    if (!description.isEmpty())
        altered << QStringLiteral("description: ") + description.join(QStringLiteral(", "));
    if (!bankId.isEmpty())
        altered << QStringLiteral("bank id: ") + bankId.join(QStringLiteral(", "));
    b.altered = altered.join(QStringLiteral("; "));
    return b;
}

QString PlannedLine::note() const
{
    if (line.altered.isEmpty())
        return reason;
    return reason.isEmpty() ? line.altered : reason + QStringLiteral("; ") + line.altered;
}

std::optional<bool> chargesArePositive(const FileAccount& account)
{
    static const QStringList paymentWords{QStringLiteral("PAYMENT"), QStringLiteral("THANK"), QStringLiteral("CREDIT"),
                                          QStringLiteral("REFUND"), QStringLiteral("RETURN")};
    int positiveCharges = 0, negativeCharges = 0;
    for (const FileEntry& e : account.entries) {
        if (e.amount.isZero())
            continue;
        const QString upper = e.description.toUpper();
        const bool payment = std::any_of(paymentWords.begin(), paymentWords.end(), [&](const QString& w) { return upper.contains(w); });
        // A payment's sign is the opposite of a charge's.
        const bool positive = !e.amount.isNegative();
        ++((positive != payment) ? positiveCharges : negativeCharges);
    }
    if (positiveCharges == negativeCharges)
        return std::nullopt;
    return positiveCharges > negativeCharges;
}

bool similarDescriptions(const QString& a, const QString& b)
{
    const QStringList left = wordsOf(a), right = wordsOf(b);
    for (const QString& x : left)
        for (const QString& y : right) {
            const qsizetype n = std::min<qsizetype>({x.size(), y.size(), 4});
            if (x.left(n) == y.left(n))
                return true;
        }
    return false;
}

Decimal ImportPlan::addedTotal() const
{
    Decimal total = Decimal::fromUnits(0, 2);
    for (const PlannedLine& l : lines)
        if (l.choice == LineChoice::Add)
            total += l.line.amount;
    return total.rounded(2);
}

int ImportPlan::count(LineStatus status) const
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const PlannedLine& l) { return l.status == status; }));
}

int ImportPlan::chosen(LineChoice choice) const
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const PlannedLine& l) { return l.choice == choice; }));
}

bool ImportPlan::choose(std::size_t index, LineChoice choice)
{
    if (index >= lines.size())
        return false;
    PlannedLine& l = lines[index];
    if (l.status == LineStatus::Refused && choice != LineChoice::Skip)
        return false;
    if (choice == LineChoice::Link && l.matchedRow == 0)
        return false;
    l.choice = choice;
    return true;
}

namespace {

struct Remembered {
    platform::DayNumber date;
    std::int64_t amountUnits;
};

struct Candidate {
    std::int32_t row;
    platform::DayNumber date;
    QString description;
};

// What earlier imports of the account took in: the lines by bank id, and the
// transactions they added or linked (those are no typed entries to match).
FileError readImported(core::DataFiles& files, std::int32_t sysId, QHash<QString, std::vector<Remembered>>& byId,
                       QSet<std::int32_t>& linkedRows)
{
    platform::View view(importing::importedLinesOf(files).file(), importing::ImlSysIDKey);
    importing::ImportedLine owner;
    owner.sysId = sysId;
    view.setRange(importing::importedLineLayout().toRecord(owner), 1);
    view.setReadAhead(500);
    view.toStart();
    platform::Record r;
    importing::ImportedLine line;
    for (;;) {
        const FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            return FileError::success();
        if (!e.ok())
            return e;
        importing::importedLineLayout().fromRecord(r, line);
        linkedRows.insert(line.transactionRow);
        if (!line.bankId.isEmpty())
            byId[line.bankId].push_back({line.lineDate, line.lineAmount.rounded(2).units()});
    }
}

// The account's transactions dated from `first` to `last`, by amount.
FileError readNearby(core::DataFiles& files, std::int32_t sysId, platform::DayNumber first, platform::DayNumber last,
                     std::map<std::int64_t, std::vector<Candidate>>& byAmount)
{
    platform::View view(files.transactions.file(), core::TraSysIDDateKey);
    core::Transaction from;
    from.sysId = sysId;
    from.dateofTransaction = first;
    view.setRange(core::transactionLayout().toRecord(from), 1);
    view.setReadAhead(500);
    view.toValue(core::transactionLayout().toRecord(from));
    platform::Record r;
    core::Transaction t;
    for (;;) {
        const FileError e = view.next(r);
        if (e.code == platform::ErrorCode::EndOfFile)
            return FileError::success();
        if (!e.ok())
            return e;
        core::transactionLayout().fromRecord(r, t);
        if (t.dateofTransaction > last)
            return FileError::success();
        byAmount[t.transactionAmount.rounded(2).units()].push_back(
            {static_cast<std::int32_t>(t.identity.row), t.dateofTransaction, t.transactionDescription});
    }
}

} // namespace

FileError planImport(core::DataFiles& files, std::int32_t sysId, const FileAccount& account, bool flipSigns, const QString& sourceName,
                     ImportPlan& out)
{
    out = ImportPlan{};
    out.sysId = sysId;
    out.sourceName = sourceName;
    core::Account holder;
    if (FileError e = files.readAccount(sysId, holder); !e.ok())
        return e;
    out.balanceBefore = holder.accountBalance.rounded(2);

    QHash<QString, std::vector<Remembered>> byId;
    QSet<std::int32_t> linkedRows;
    if (FileError e = readImported(files, sysId, byId, linkedRows); !e.ok())
        return e;
    platform::DayNumber first = 0, last = 0;
    for (const FileEntry& entry : account.entries) {
        first = first == 0 ? entry.date : std::min(first, entry.date);
        last = std::max(last, entry.date);
    }
    std::map<std::int64_t, std::vector<Candidate>> byAmount;
    if (!account.entries.empty())
        if (FileError e = readNearby(files, sysId, first - MatchWindowDays, last + MatchWindowDays, byAmount); !e.ok())
            return e;

    // Lines of this file already planned, by bank id: a file that lists one line twice adds it once.
    QHash<QString, std::vector<std::size_t>> plannedById;
    QSet<std::int32_t> claimed;
    out.lines.reserve(account.entries.size());
    QHash<QString, int> contentSeen;
    for (const FileEntry& entry : account.entries) {
        PlannedLine p;
        p.line = bookEntry(entry, flipSigns);
        if (p.line.bankId.isEmpty()) {
            const QString content = contentId(p.line, entry.description, 0);
            p.line.bankId = contentId(p.line, entry.description, ++contentSeen[content]);
        }
        const BookedLine& b = p.line;
        const std::int64_t units = b.amount.units();
        auto refuse = [&](const QString& why) {
            p.status = LineStatus::Refused;
            p.choice = LineChoice::Skip;
            p.reason = why;
        };
        bool decided = false;
        if (b.amount.isZero()) {
            refuse(QStringLiteral("the amount is 0.00"));
            decided = true;
        } else if (b.amount > LargestAmount || -b.amount > LargestAmount) {
            refuse(QStringLiteral("the amount is beyond 99,999.99, the most a transaction holds"));
            decided = true;
        }
        QString reusedNote;
        if (!decided && !b.bankId.isEmpty()) {
            for (const Remembered& r : byId.value(b.bankId)) {
                if (r.date == b.date && r.amountUnits == units) {
                    p.status = LineStatus::Duplicate;
                    p.choice = LineChoice::Skip;
                    p.reason = duplicateReason(b.bankId);
                    decided = true;
                    break;
                }
                reusedNote = QStringLiteral("bank id %1 was imported before for %2 on %3")
                                 .arg(b.bankId, statements::moneyText(Decimal::fromUnits(r.amountUnits, 2)), statements::dateText(r.date));
            }
            for (std::size_t earlier : plannedById.value(b.bankId)) {
                if (decided)
                    break;
                const BookedLine& o = out.lines[earlier].line;
                if (o.date == b.date && o.amount == b.amount) {
                    p.status = LineStatus::Duplicate;
                    p.choice = LineChoice::Skip;
                    p.reason = QStringLiteral("the file lists this line already on line %1").arg(o.sourceLine);
                    decided = true;
                } else if (reusedNote.isEmpty()) {
                    reusedNote = QStringLiteral("bank id %1 is also given to line %2").arg(b.bankId).arg(o.sourceLine);
                }
            }
        }
        if (!decided) {
            const Candidate* best = nullptr;
            if (auto it = byAmount.find(units); it != byAmount.end())
                for (const Candidate& c : it->second) {
                    const int apart = std::abs(c.date - b.date);
                    if (apart > MatchWindowDays || linkedRows.contains(c.row) || claimed.contains(c.row))
                        continue;
                    if (best && std::abs(best->date - b.date) <= apart)
                        continue;
                    if (similarDescriptions(c.description, b.description))
                        best = &c;
                }
            if (best) {
                p.status = LineStatus::Matched;
                p.choice = LineChoice::Link;
                p.matchedRow = best->row;
                p.reason =
                    QStringLiteral("matches the entry of %1 \"%2\"").arg(statements::dateText(best->date), best->description.trimmed());
                claimed.insert(best->row);
            } else {
                p.status = LineStatus::New;
                p.choice = LineChoice::Add;
                p.reason = reusedNote;
            }
        }
        if (!b.bankId.isEmpty())
            plannedById[b.bankId].push_back(out.lines.size());
        out.lines.push_back(std::move(p));
    }
    return FileError::success();
}

} // namespace fundora::importing
