#pragma once

#include "core/Account.h"
#include "reports/Report.h"

namespace fundora::reports {

// PrintFundora: every account as a card, in vendor order.
class AccountsReport final : public Report {
public:
    QString procedure() const override { return QStringLiteral("PrintFundora"); }
    QString title() const override { return QStringLiteral("Personal Credit Card Account Information"); }
    ReportSelection selection() const override;

    void begin(core::DataFiles&) override {}
    void take(const platform::Record& record) override;

    QRect detailArea() const override { return {990, 1365, 6500, 7635}; }
    int detailHeight() const override { return 2427; }
    int groupFooterHeight() const override { return 0; }
    void pageHeader(platform::ReportPage& page) const override;
    void pageFooter(platform::ReportPage& page, int pageNumber) const override;
    void detail(platform::ReportPage& page, const QPoint& origin) const override;
    void groupFooter(platform::ReportPage&, const QPoint&) const override {}

    QStringList csvHeader() const override;
    QStringList csvRow() const override;
    std::vector<QStringList> csvTotals() const override { return {}; }

    // The values worked out for each account.
    const QString& cardTypeDescription() const { return m_cardTypeDescription; }
    const QString& cityStateZip() const { return m_cityStateZip; }
    const platform::Decimal& availableFunds() const { return m_availableFunds; }
    const QString& ordinalExtension() const { return m_ordinalExtension; }

private:
    core::Account m_account;
    QString m_cardTypeDescription;
    QString m_cityStateZip;
    platform::Decimal m_availableFunds = platform::Decimal::fromUnits(0, 2);
    QString m_ordinalExtension;
};

// "Visa Account", "Master Card Account", ...; "Other Account" for any other letter.
QString reportCardTypeDescription(const QString& cardType);
// City without trailing blanks, ", ", the state (2), three blanks, the zip (10), cut to 35.
QString reportCityStateZip(const core::Account& account);

} // namespace fundora::reports
