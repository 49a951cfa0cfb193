#include "sample/SampleRegister.h"

#include "accounts/AccountFormRecord.h"
#include "core/DataFiles.h"
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "import/ImportRecords.h"
#include "import/ImportSession.h"
#include "platform/Clock.h"
#include "platform/PrivateDirectory.h"
#include "statements/StatementRecords.h"
#include "statements/StatementSession.h"
#include "transactions/Ledger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <random>
#include <vector>

namespace fundora::sample {

namespace {

using platform::DayNumber;
using platform::Decimal;
namespace chr = std::chrono;

Decimal cents(std::int64_t amount)
{
    return Decimal::fromUnits(amount, 2);
}

struct Merchant {
    const char* name;
    std::int64_t least, most; // in cents
};

// One card of the sample and how its holder uses it.
struct Card {
    const char* vendor;
    const char* type;
    const char* number;
    const char* city;
    const char* state;
    const char* zip;
    std::int64_t limit, rate, opening; // limit and opening balance in cents, rate in hundredths of a percent
    int billingDay;
    int chargesPerMonth;
    bool paysInFull; // else pays part of the statement balance and is charged interest
    std::vector<Merchant> merchants;
};

const std::vector<Card>& cards()
{
    static const std::vector<Card> list = {
        {"First Harbor Bank",
         "V",
         "4111 0000 0000 1234",
         "Portland",
         "OR",
         "97204",
         650000,
         1999,
         184250,
         14,
         11,
         false,
         {{"Fresh Market Groceries", 2200, 14500},
          {"Harbor Fuel", 3000, 6800},
          {"Corner Bistro", 1800, 7400},
          {"City Pharmacy", 600, 4200},
          {"Online Books", 999, 4599},
          {"Hardware Depot", 1500, 21000}}},
        {"Northline Card",
         "M",
         "5500 0000 0000 9876",
         "Chicago",
         "IL",
         "60601",
         300000,
         2490,
         0,
         3,
         6,
         true,
         {{"Skyway Airlines", 18900, 46000},
          {"Metro Transit", 275, 5000},
          {"Streaming Service", 1599, 1599},
          {"Mobile Phone Co", 6500, 6500},
          {"Lakeside Hotel", 12900, 38000}}},
        {"Grand Store Charge",
         "S",
         "6011 5555 0000",
         "Dallas",
         "TX",
         "75201",
         150000,
         0,
         0,
         25,
         3,
         true,
         {{"Grand Store - Home", 2500, 18000}, {"Grand Store - Clothing", 3000, 12000}, {"Grand Store - Garden", 1200, 9000}}},
    };
    return list;
}

struct Memo {
    std::size_t card;
    const char* topic;
    const char* text;
};
const Memo Memos[] = {
    {0, "Card replaced after travel",
     "The card was replaced after a trip abroad: the new card has the same number\n"
     "and a new security code. Automatic payments (phone, streaming) were told.\n\n"
     "Ask for the annual fee to be waived at the next renewal."},
    {0, "Rate and limit",
     "The bank raised the limit in spring after six on-time payments.\n"
     "The purchase rate is variable: it follows the prime rate plus 11.49 points."},
    {1, "Disputed charge",
     "A hotel night was charged twice. The second charge was disputed by phone;\n"
     "the credit came with the next statement (see the accepted difference)."},
};

// The register being made: the files, the moving clock and the dice.
class Maker {
public:
    Maker(core::DataFiles& files, platform::FixedClock& clock) : m_files(files), m_clock(clock) {}

    void at(DayNumber day, int hour) { m_clock.set(QDateTime(platform::qDateOf(day), QTime(hour, 0))); }
    std::int64_t between(std::int64_t least, std::int64_t most)
    {
        return least + static_cast<std::int64_t>(m_dice() % static_cast<std::uint64_t>(most - least + 1));
    }

    QString addAccount(std::int32_t sysId, const Card& card, DayNumber opened)
    {
        at(opened, 9);
        core::FileTransaction tx(m_files.store);
        if (!tx.begun())
            return tx.beginError().text;
        core::Account& a = m_files.accounts.record;
        m_files.accounts.clear();
        a.sysId = sysId;
        a.creditCardVendor = QString::fromLatin1(card.vendor);
        a.cardType = QString::fromLatin1(card.type);
        a.accountNumber = QString::fromLatin1(card.number);
        a.expirationDate = platform::dayNumberOf(platform::qDateOf(opened).addYears(4));
        a.vendorAddr1 = QStringLiteral("P.O. Box %1").arg(1000 + sysId * 317);
        a.vendorCity = QString::fromLatin1(card.city);
        a.vendorState = QString::fromLatin1(card.state);
        a.vendorZip = QString::fromLatin1(card.zip);
        a.balanceInfoPhone = Decimal::fromUnits(8005550100 + sysId, 0);
        a.lostCardPhone = Decimal::fromUnits(8005550200 + sysId, 0);
        a.interestRate = cents(card.rate);
        a.creditLimit = cents(card.limit);
        a.billingDay = static_cast<std::int16_t>(card.billingDay);
        a.accountBalance = cents(card.opening);
        if (platform::FileError e = m_files.accounts.add(); !e.ok())
            return e.text;
        if (platform::FileError e = accounts::AccountFormRecord::bookOpeningBalance(m_files); !e.ok())
            return e.text;
        return tx.commit().text;
    }

    // A transaction and the balance it moves, in one commit as the form writes them.
    QString book(std::int32_t sysId, DayNumber day, const char* type, const QString& text, const Decimal& amount)
    {
        at(day, 12);
        core::Transaction t;
        t.sysId = sysId;
        t.dateofTransaction = day;
        t.transactionType = QString::fromLatin1(type);
        t.transactionDescription = text;
        t.transactionAmount = amount;
        return transactions::Ledger(m_files).book(t).text;
    }

    Decimal balanceOf(std::int32_t sysId)
    {
        core::Account a;
        m_files.readAccount(sysId, a);
        return a.accountBalance;
    }

    // The statement closing on `closing`, typed in three days later with everything up to it ticked.
    // `difference` is what the bank's balance differs by (accepted); `draft` keeps it for later.
    QString reconcile(std::int32_t sysId, DayNumber closing, const Decimal& difference, bool draft, Decimal* endingBalance)
    {
        at(closing + 3, 20);
        statements::StatementSession session(m_files, sysId);
        if (platform::FileError e = session.open(closing + 3); !e.ok())
            return e.text;
        session.setClosingDate(closing);
        session.tickAllUpTo(closing);
        const Decimal ending = session.resultingBalance() + difference;
        session.setEndingBalance(ending);
        const Decimal owed = ending.isNegative() ? cents(0) : ending;
        Decimal minimum = (owed * Decimal::fromUnits(2, 2)).rounded(2);
        minimum = std::min(owed, std::max(minimum, cents(2500)));
        session.setMinimumPayment(minimum);
        session.setDueDate(closing + 25);
        *endingBalance = ending;
        const statements::StatementSession::Result result = draft ? session.later() : session.finish(!difference.isZero());
        if (result != statements::StatementSession::Result::Done)
            return session.error().text.isEmpty() ? QStringLiteral("a statement could not be finished") : session.error().text;
        if (!draft)
            ++m_statements;
        return {};
    }

    // The last lines of the card's bank file, read by the import as a user would: the ones the
    // register has not yet are added, the one it has (`known`) is linked.
    QString importRecent(std::int32_t sysId, DayNumber today, const std::optional<core::Transaction>& known)
    {
        QTemporaryDir work(platform::workEntryTemplate(QStringLiteral("import")));
        if (!work.isValid())
            return QStringLiteral("no directory for the bank file");
        QByteArray csv = "Date,Description,Amount\n";
        auto line = [&csv](DayNumber day, const QString& text, const Decimal& charge) {
            csv +=
                platform::qDateOf(day).toString(Qt::ISODate).toLatin1() + ',' + text.toUtf8() + ",-" + charge.toString().toLatin1() + '\n';
        };
        if (known)
            line(known->dateofTransaction, known->transactionDescription, known->transactionAmount);
        line(today - 4, QStringLiteral("Metro Transit"), cents(between(275, 900)));
        line(today - 2, QStringLiteral("Museum Shop"), cents(between(1200, 4500)));
        line(today, QStringLiteral("Airport Parking"), cents(between(2400, 6000)));
        const QString path = QDir(work.path()).filePath(QStringLiteral("northline-recent.csv"));
        QFile out(path);
        if (!out.open(QIODevice::WriteOnly) || out.write(csv) != csv.size() || !out.flush())
            return QStringLiteral("the bank file could not be written");
        out.close();

        at(today, 8);
        core::FileUse imported(m_files, importing::importedLinesFile()), settings(m_files, importing::importSettingsFile());
        importing::ImportSession session(m_files, sysId);
        if (platform::FileError e = session.begin(); !e.ok())
            return e.text;
        if (!session.open(path))
            return session.problem();
        importing::CommitOutcome outcome;
        if (platform::FileError e = session.commit(outcome); !e.ok())
            return e.text;
        return outcome.conflict ? outcome.conflictText : QString();
    }

    QString addMemo(std::int32_t sysId, const Card& card, DayNumber day, const char* topic, const char* text)
    {
        at(day, 19);
        core::MemoCard& m = m_files.memoCards.record;
        m_files.memoCards.clear();
        m.type = QStringLiteral("ACC");
        m.firstId = sysId;
        m.secondId = QString::fromLatin1(card.number);
        m.date = day;
        m.topic = QString::fromLatin1(topic);
        m.cardMemo = QString::fromLatin1(text);
        return m_files.memoCards.add().text;
    }

    int statements() const { return m_statements; }

private:
    core::DataFiles& m_files;
    platform::FixedClock& m_clock;
    std::mt19937_64 m_dice{20261208};
    int m_statements = 0;
};

// The day of the month's billing day, or its last day when the month is shorter.
DayNumber closingDayOf(chr::year_month month, int billingDay)
{
    const chr::day last = chr::year_month_day_last(month / chr::last).day();
    return platform::dayNumberOf(chr::year_month_day(month / std::min(chr::day(static_cast<unsigned>(billingDay)), last)));
}

bool holdsRegister(const QString& directory)
{
    const QStringList entries = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
    return std::any_of(entries.begin(), entries.end(), [](const QString& n) { return n.endsWith(u".tps", Qt::CaseInsensitive); });
}

// What the sample remembers of a card between days.
struct CardState {
    std::vector<DayNumber> charges;  // this month's days with a charge, latest first
    std::optional<DayNumber> closed; // the last closing whose statement is still to be typed in
    Decimal statementBalance = cents(0);
    DayNumber paymentDay = 0;
};

QString makeInto(Maker& make, DayNumber today)
{
    const chr::year_month_day now = platform::dateOf(today);
    const chr::year_month thisMonth = now.year() / now.month();
    const chr::year_month firstMonth = thisMonth - chr::months(17);
    const DayNumber opened = platform::dayNumberOf(chr::year_month_day(firstMonth / 1)) - 1;
    // The months of the first card's late payment and of the second card's statement whose
    // difference was accepted (the bank's credit for a hotel night charged twice).
    const chr::year_month lateMonth = thisMonth - chr::months(10);
    const chr::year_month differenceMonth = thisMonth - chr::months(7);
    const chr::year_month foreignFeeMonth = thisMonth - chr::months(13);

    const std::size_t count = cards().size();
    for (std::size_t c = 0; c < count; ++c)
        if (QString e = make.addAccount(static_cast<std::int32_t>(c + 1), cards()[c], opened); !e.isEmpty())
            return e;

    std::vector<CardState> state(count);
    for (DayNumber day = opened + 1; day <= today; ++day) {
        const chr::year_month_day date = platform::dateOf(day);
        const chr::year_month month = date.year() / date.month();
        if (date.day() == chr::day(1)) {
            const DayNumber monthEnd = platform::dayNumberOf(chr::year_month_day_last(month / chr::last));
            for (std::size_t c = 0; c < count; ++c) {
                state[c].charges.clear();
                for (int n = 0; n < cards()[c].chargesPerMonth; ++n)
                    state[c].charges.push_back(static_cast<DayNumber>(make.between(day, monthEnd)));
                std::sort(state[c].charges.begin(), state[c].charges.end(), std::greater<>());
            }
        }
        for (std::size_t c = 0; c < count; ++c) {
            const Card& card = cards()[c];
            CardState& s = state[c];
            const auto sysId = static_cast<std::int32_t>(c + 1);
            QString error;
            while (error.isEmpty() && !s.charges.empty() && s.charges.back() == day) {
                s.charges.pop_back();
                const Merchant& m = card.merchants[static_cast<std::size_t>(make.between(0, std::ssize(card.merchants) - 1))];
                error = make.book(sysId, day, "C", QString::fromLatin1(m.name), cents(make.between(m.least, m.most)));
            }
            if (error.isEmpty() && day == s.paymentDay && s.statementBalance > cents(0)) {
                const Decimal paid =
                    card.paysInFull ? s.statementBalance : std::min(s.statementBalance, cents(make.between(560, 820) * 100));
                error = make.book(sysId, day, "P", QStringLiteral("Payment - Check number %1").arg(1000 + make.between(0, 8999)), -paid);
                if (error.isEmpty() && c == 0 && month == lateMonth)
                    error = make.book(sysId, day, "F", QStringLiteral("Late payment fee"), cents(2900));
            }
            if (error.isEmpty() && day == closingDayOf(month, card.billingDay)) {
                // The interest of the cycle on what was carried, and now and then a fee.
                const Decimal owed = make.balanceOf(sysId);
                if (!card.paysInFull && owed > cents(0))
                    error = make.book(sysId, day, "I", QStringLiteral("Interest charge on purchases"),
                                      (owed * cents(card.rate)).dividedBy(Decimal::fromInteger(1200), 2).value_or(cents(0)));
                if (error.isEmpty() && c == 1 && month == foreignFeeMonth)
                    error = make.book(sysId, day, "F", QStringLiteral("Foreign transaction fee"), cents(1287));
                s.closed = day;
            }
            // The statement arrives three days after its closing and is typed in that evening; the
            // first card's latest is kept as a draft.
            if (error.isEmpty() && s.closed && day == *s.closed + 3) {
                const chr::year_month closedMonth = platform::dateOf(*s.closed).year() / platform::dateOf(*s.closed).month();
                const bool latest = closingDayOf(closedMonth + chr::months(1), card.billingDay) + 3 > today;
                const bool draft = c == 0 && latest;
                const Decimal difference = c == 1 && closedMonth == differenceMonth ? cents(-4200) : cents(0);
                error = make.reconcile(sysId, *s.closed, difference, draft, &s.statementBalance);
                if (!draft)
                    s.paymentDay = *s.closed + 20;
                s.closed.reset();
            }
            if (!error.isEmpty())
                return error;
        }
    }
    return {};
}

// The most recent open charge of an account, for the bank file to repeat.
std::optional<core::Transaction> latestOpenCharge(core::DataFiles& files, std::int32_t sysId)
{
    std::optional<core::Transaction> found;
    files.transactions.clear();
    files.transactions.record.sysId = sysId;
    files.transactions.setOnValue(core::TraSysIDKey);
    while (files.transactions.next().ok() && files.transactions.record.sysId == sysId)
        if (files.transactions.record.reconciledTransaction == 0 && files.transactions.record.transactionType == u"C")
            found = files.transactions.record;
    return found;
}

} // namespace

QString makeSampleRegister(const QString& directory, DayNumber today, SampleSummary* summary)
{
    const QString path = QDir(directory).absolutePath();
    if (!QDir(path).exists() && ::mkdir(QFile::encodeName(path).constData(), 0700) != 0)
        return QStringLiteral("%1 could not be made: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (holdsRegister(path))
        return QStringLiteral("%1 already holds a register (its *.TPS files): a sample is made only in a new or empty directory.")
            .arg(path);

    auto clock = std::make_shared<platform::FixedClock>(QDateTime(platform::qDateOf(today), QTime(8, 0)));
    const std::shared_ptr<platform::Clock> before = platform::Clock::install(clock);
    QString error;
    {
        core::DataFiles files(path);
        // Every file of the register, the features' ones included (declared by their first use here).
        statements::statementFiles();
        importing::importedLinesFile();
        importing::importSettingsFile();
        core::FileUses uses(files, core::allFiles());
        Maker make(files, *clock);
        if (!uses.ok())
            error = files.store.lastError().text;
        if (error.isEmpty())
            error = makeInto(make, today);
        if (error.isEmpty())
            error = make.importRecent(2, today, latestOpenCharge(files, 2));
        DayNumber memoDay = today;
        for (const Memo& m : Memos)
            if (error.isEmpty())
                error = make.addMemo(static_cast<std::int32_t>(m.card + 1), cards()[m.card], memoDay -= 40, m.topic, m.text);
        std::int64_t written = 0;
        files.file(core::FileId::Transactions).count(written);
        if (summary)
            *summary = {static_cast<int>(cards().size()), static_cast<int>(written), make.statements()};
    }
    platform::Clock::install(before);
    return error;
}

} // namespace fundora::sample
