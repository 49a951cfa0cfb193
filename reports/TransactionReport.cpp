#include "reports/TransactionReport.h"

#include "core/GlobalState.h"
#include "platform/pictures/Picture.h"

namespace fundora::reports {

using platform::formatPicture;

// The picture in the transaction reports' header (a resource of the program).
static const QString CardsPicture = QStringLiteral(":/reports/cards.svg");

QString reportTransactionTypeDescription(const QString& type)
{
    if (type == u"P")
        return QStringLiteral("Pmt/Credit");
    if (type == u"C")
        return QStringLiteral("Charge");
    if (type == u"F")
        return QStringLiteral("Fee");
    if (type == u"I")
        return QStringLiteral("Interest");
    if (type == u"B")
        return QStringLiteral("Balance"); // the opening balance, as the lists call it
    return QStringLiteral("Cash Adv");
}

QString TransactionReport::procedure() const
{
    switch (m_kind) {
    case Kind::Open: return QStringLiteral("PrintOpenTransactions");
    case Kind::History: return QStringLiteral("PrintAccountTransactionHistory");
    case Kind::Purchases: return QStringLiteral("PrintAccountPurchases");
    case Kind::Payments: return QStringLiteral("PrintPaymentHistory");
    }
    return {};
}

QString TransactionReport::title() const
{
    switch (m_kind) {
    case Kind::Open: return QStringLiteral("Open Transactions");
    case Kind::History: return QStringLiteral("History of Transactions");
    case Kind::Purchases: return QStringLiteral("History of Purchases");
    case Kind::Payments: return QStringLiteral("History of Payments");
    }
    return {};
}

ReportSelection TransactionReport::selection() const
{
    static const QString range = QStringLiteral(" AND TRA:DateofTransaction  >= GLO:LowDate AND TRA:DateofTransaction <= GLO:HighDate");
    ReportSelection s;
    s.primary = core::FileId::Transactions;
    s.key = core::TraSysIDDateKey;
    s.currentAccountOnly = true;
    s.files = {core::FileId::Transactions, core::FileId::Accounts};
    s.estimateOf25 = true;
    switch (m_kind) {
    case Kind::Open: s.filter = QStringLiteral("TRA:ReconciledTransaction = 0"); break;
    case Kind::History: s.filter = QStringLiteral("TRA:ReconciledTransaction = 1") + range; break;
    case Kind::Purchases:
        s.filter = QStringLiteral("TRA:TransactionType = 'C'") + range;
        s.progress = ProgressForm::RecordCount;
        break;
    case Kind::Payments: s.filter = QStringLiteral("TRA:TransactionType = 'P'") + range; break;
    }
    return s;
}

void TransactionReport::begin(core::DataFiles& files)
{
    m_account = files.accounts.record;
    if (m_account.sysId != core::glo().currentSysid) {
        const core::Account held = files.accounts.record;
        files.accounts.record.sysId = core::glo().currentSysid;
        if (files.accounts.get(core::AccSysIDKey).ok())
            m_account = files.accounts.record;
        files.accounts.record = held;
    }
    m_totalUnits = 0;
}

void TransactionReport::take(const platform::Record& record)
{
    core::transactionLayout().fromRecord(record, m_transaction);
    m_typeDescription = reportTransactionTypeDescription(m_transaction.transactionType);
    m_totalUnits += m_transaction.transactionAmount.units();
}

void TransactionReport::pageHeader(platform::ReportPage& page) const
{
    const QPoint o(1010, 1000);
    auto at = [&o](int x, int y, int w = 0) { return QRect(o.x() + x, o.y() + y, w, 0); };
    page.text(at(135, 104, 4300), title(), font(14, true));
    page.text(at(135, 313, 400), QStringLiteral("for"), font(11, true));
    page.box({o.x() + 10, o.y() + 531, 4510, 521});
    page.text(at(135, 604, 4300), m_account.creditCardVendor, font(11, true));
    page.text(at(135, 813, 4300), m_account.accountNumber, font(11, true));
    page.picture({o.x() + 4729, o.y() + 83, 1010, 970}, CardsPicture);
    page.line(o, o + QPoint(0, 1083));
    page.line(o + QPoint(6000, 0), o + QPoint(6000, 1083));
}

void TransactionReport::pageFooter(platform::ReportPage& page, int pageNumber) const
{
    page.text({1000 + 5250, 9000 + 30, 750, 0}, pageNumberText(pageNumber), font(8));
}

void drawTransactionLine(platform::ReportPage& page, const QPoint& o, const core::Transaction& t)
{
    auto at = [&o](int x, int y, int w) { return QRect(o.x() + x, o.y() + y, w, 0); };
    page.text(at(52, 146, 1400), formatPicture(std::int64_t{t.dateofTransaction}, u"d2"), font(10));
    page.text(at(917, 146, 2698), t.transactionDescription, font(10));
    page.text(at(3823, 146, 750), reportTransactionTypeDescription(t.transactionType), font(10));
    page.text(at(5063, 146, 698), formatPicture(t.transactionAmount, u"n$10.2-").trimmed(), font(10), Qt::AlignRight);
    page.line(o + QPoint(50, 460), o + QPoint(50 + 5900, 460));
}

void TransactionReport::detail(platform::ReportPage& page, const QPoint& o) const
{
    drawTransactionLine(page, o, m_transaction);
}

void TransactionReport::groupFooter(platform::ReportPage& page, const QPoint& o) const
{
    auto at = [&o](int x, int y, int w) { return QRect(o.x() + x, o.y() + y, w, 0); };
    const QString sum = formatPicture(total(), u"n$10.2-").trimmed();
    if (!isDateRange()) {
        page.text(at(3083, 83, 1700), QStringLiteral("Total Open Transactions:"), font(10, true), Qt::AlignRight);
        page.text(at(4813, 83, 938), sum, font(10, true), Qt::AlignRight);
        return;
    }
    page.box({o.x() + 42, o.y() + 115, 2333, 313});
    page.text(at(135, 167, 729), formatPicture(std::int64_t{core::glo().lowDate}, u"d2"), font(10, true));
    page.text(at(958, 167, 560), QStringLiteral("through"), font(10, true));
    page.text(at(1563, 167, 780), formatPicture(std::int64_t{core::glo().highDate}, u"d2"), font(10, true));
    page.text(at(3313, 167, 1480), QStringLiteral("Total for this date range:"), font(10, true), Qt::AlignRight);
    page.text(at(4813, 167, 938), sum, font(10, true), Qt::AlignRight);
}

QStringList TransactionReport::csvHeader() const
{
    return {QStringLiteral("Date"), QStringLiteral("Description"), QStringLiteral("Type"), QStringLiteral("Amount")};
}

QStringList TransactionReport::csvRow() const
{
    return {formatPicture(std::int64_t{m_transaction.dateofTransaction}, u"d2"), m_transaction.transactionDescription, m_typeDescription,
            m_transaction.transactionAmount.toString()};
}

std::vector<QStringList> TransactionReport::csvTotals() const
{
    const QString label = isDateRange() ? QStringLiteral("Total for %1 through %2")
                                              .arg(formatPicture(std::int64_t{core::glo().lowDate}, u"d2"),
                                                   formatPicture(std::int64_t{core::glo().highDate}, u"d2"))
                                        : QStringLiteral("Total Open Transactions");
    return {{QString(), label, QString(), total().toString()}};
}

} // namespace fundora::reports
