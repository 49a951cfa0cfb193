#pragma once

#include "core/Account.h"
#include "core/Transaction.h"
#include "reports/Report.h"

namespace fundora::reports {

// The four reports over one account's transactions (GLO:CurrentSysid), in
// date order: one layout, configured by what each selects.
class TransactionReport final : public Report {
public:
    enum class Kind { Open, History, Purchases, Payments };
    explicit TransactionReport(Kind kind) : m_kind(kind) {}

    Kind kind() const { return m_kind; }
    bool isDateRange() const { return m_kind != Kind::Open; }

    QString procedure() const override;
    QString title() const override;
    ReportSelection selection() const override;

    // Keeps the account as the Accounts buffer holds it when the report starts
    // (fetched by GLO:CurrentSysid when the buffer holds another one).
    void begin(core::DataFiles& files) override;
    void take(const platform::Record& record) override;

    QRect detailArea() const override { return {1000, 2083, 6000, 6917}; }
    int detailHeight() const override { return 458; }
    int groupFooterHeight() const override { return isDateRange() ? 490 : 458; }
    void pageHeader(platform::ReportPage& page) const override;
    void pageFooter(platform::ReportPage& page, int pageNumber) const override;
    void detail(platform::ReportPage& page, const QPoint& origin) const override;
    void groupFooter(platform::ReportPage& page, const QPoint& origin) const override;

    QStringList csvHeader() const override;
    QStringList csvRow() const override;
    std::vector<QStringList> csvTotals() const override;

    const QString& typeDescription() const { return m_typeDescription; }
    platform::Decimal total() const { return platform::Decimal::fromUnits(m_totalUnits, 2); }

private:
    Kind m_kind;
    core::Account m_account;
    core::Transaction m_transaction;
    QString m_typeDescription;
    std::int64_t m_totalUnits = 0;
};

// "Pmt/Credit", "Charge", "Fee", "Interest", "Balance" (the opening balance);
// any other type "Cash Adv".
QString reportTransactionTypeDescription(const QString& type);

// One transaction's detail line (458 units high): date, description, type and amount.
void drawTransactionLine(platform::ReportPage& page, const QPoint& origin, const core::Transaction& transaction);

} // namespace fundora::reports
