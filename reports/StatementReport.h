#pragma once

#include "core/Account.h"
#include "core/Transaction.h"
#include "reports/Report.h"
#include "statements/StatementRecords.h"

namespace fundora::reports {

// One finished statement (GLO:CurrentStatement): its figures in the header,
// the transactions it reconciled as detail lines, their count and sum below.
class StatementReport final : public Report {
public:
    QString procedure() const override { return QStringLiteral("PrintStatement"); }
    QString title() const override { return QStringLiteral("Reconciled Statement"); }
    ReportSelection selection() const override;

    // Reads the statement and its account.
    void begin(core::DataFiles& files) override;
    // A line of the statement: the transaction it names, read by its row.
    void take(const platform::Record& record) override;

    QRect detailArea() const override { return {1000, 2708, 6000, 6292}; }
    int detailHeight() const override { return 458; }
    int groupFooterHeight() const override { return 458; }
    void pageHeader(platform::ReportPage& page) const override;
    void pageFooter(platform::ReportPage& page, int pageNumber) const override;
    void detail(platform::ReportPage& page, const QPoint& origin) const override;
    void groupFooter(platform::ReportPage& page, const QPoint& origin) const override;

    QStringList csvHeader() const override;
    QStringList csvRow() const override;
    std::vector<QStringList> csvTotals() const override;

    const statements::CardStatement& statement() const { return m_statement; }

private:
    core::DataFiles* m_files = nullptr;
    statements::CardStatement m_statement;
    core::Account m_account;
    core::Transaction m_transaction;
    int m_count = 0;
    std::int64_t m_totalUnits = 0;
};

} // namespace fundora::reports
