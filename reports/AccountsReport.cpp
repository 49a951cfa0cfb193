#include "reports/AccountsReport.h"

#include "accounts/AccountText.h"
#include "core/GlobalState.h"
#include "platform/pictures/Picture.h"

namespace fundora::reports {

using platform::formatPicture;

QString reportCardTypeDescription(const QString& cardType)
{
    const QChar c = cardType.isEmpty() ? QChar() : cardType[0];
    switch (c.unicode()) {
    case u'V': return QStringLiteral("Visa Account");
    case u'M': return QStringLiteral("Master Card Account");
    case u'D': return QStringLiteral("Discover Card Account");
    case u'A': return QStringLiteral("American Express Account");
    case u'S': return QStringLiteral("Store Account");
    case u'G': return QStringLiteral("Gasoline Account");
    default: return QStringLiteral("Other Account");
    }
}

QString reportCityStateZip(const core::Account& a)
{
    QString city = a.vendorCity;
    while (city.endsWith(u' '))
        city.chop(1);
    return (city + QStringLiteral(", ") + a.vendorState.leftJustified(2, u' ', true) + QStringLiteral("   ") +
            a.vendorZip.leftJustified(10, u' ', true))
        .left(35);
}

ReportSelection AccountsReport::selection() const
{
    ReportSelection s;
    s.primary = core::FileId::Accounts;
    s.key = core::AccCreditCardVendorKey;
    s.files = {core::FileId::Accounts};
    return s;
}

void AccountsReport::take(const platform::Record& record)
{
    core::accountLayout().fromRecord(record, m_account);
    m_cardTypeDescription = reportCardTypeDescription(m_account.cardType);
    m_ordinalExtension = accounts::ordinalExtension(m_account.billingDay);
    m_cityStateZip = reportCityStateZip(m_account);
    m_availableFunds = platform::Decimal::fromUnits(m_account.creditLimit.units() - m_account.accountBalance.units(), 2);
}

void AccountsReport::pageHeader(platform::ReportPage& page) const
{
    page.text({1000 + 1323, 1000 + 73, 3833, 0}, title(), font(12, true));
}

void AccountsReport::pageFooter(platform::ReportPage& page, int pageNumber) const
{
    const QPoint o(1000, 9000);
    page.text({o.x() + 4344, o.y() + 31, 900, 0}, formatPicture(std::int64_t{core::glo().runDate}, u"d2"), font(8));
    page.text({o.x() + 5250, o.y() + 30, 750, 0}, pageNumberText(pageNumber), font(8));
}

void AccountsReport::detail(platform::ReportPage& page, const QPoint& o) const
{
    const core::Account& a = m_account;
    auto at = [&o](int x, int y, int w = 0) { return QRect(o.x() + x, o.y() + y, w, 0); };
    const platform::ReportFont normal = font(10);
    const platform::ReportFont small = font(9);
    platform::ReportFont heading = font(11, true);
    heading.italic = true;
    heading.underline = true;

    page.line(o + QPoint(625, 94), o + QPoint(625 + 5490, 94));
    page.text(at(729, 271, 3000), m_cardTypeDescription, heading);
    page.text(at(740, 583, 3300), a.creditCardVendor, normal);
    page.text(at(729, 781, 3300), a.vendorAddr1, normal);
    page.text(at(729, 979, 3300), a.vendorAddr2, normal);
    page.text(at(729, 1177, 3300), m_cityStateZip, normal);
    page.text(at(729, 1552), QStringLiteral("Phones:"), normal);
    page.text(at(708, 1750, 1300), QStringLiteral("Balance Information:"), normal);
    page.text(at(2063, 1771, 1800), formatPicture(a.balanceInfoPhone, u"p(###) ###-####p").trimmed(), normal);
    page.text(at(1302, 2010, 740), QStringLiteral("Lost Card:"), normal);
    page.text(at(2063, 2031, 1800), formatPicture(a.lostCardPhone, u"p(###) ###-####p").trimmed(), normal);

    page.text(at(4417, 271, 1500), QStringLiteral("Account Number"), normal);
    page.text(at(4219, 490, 1900), a.accountNumber, normal);
    page.box({o.x() + 4167, o.y() + 740, 1792, 1552});
    page.text(at(4448, 792, 1400), QStringLiteral("Current Balance:"), normal);
    page.text(at(4594, 1000, 1250), formatPicture(a.accountBalance, u"N$(_12..2)").trimmed(), normal, Qt::AlignRight);
    page.text(at(4396, 1240, 800), QStringLiteral("Credit Limit:"), small);
    page.text(at(5208, 1250, 700), formatPicture(a.creditLimit, u"n$10.2B").trimmed(), small, Qt::AlignRight);
    page.text(at(4229, 1479, 980), QStringLiteral("Funds Available:"), small);
    page.text(at(5229, 1490, 700), formatPicture(m_availableFunds, u"n$(10.2)").trimmed(), small, Qt::AlignRight);
    page.text(at(4333, 1719, 850), QStringLiteral("Interest Rate:"), small);
    page.text(at(5208, 1729, 330), formatPicture(a.interestRate, u"n5.1").trimmed(), small, Qt::AlignRight);
    page.text(at(5552, 1719, 150), QStringLiteral("%"), small);
    page.text(at(4438, 1969, 680), QStringLiteral("Billing Day:"), small);
    page.text(at(5125, 1969, 225), formatPicture(std::int64_t{a.billingDay}, u"n2").trimmed(), small, Qt::AlignRight);
    page.text(at(5354, 1969, 200), m_ordinalExtension, small);
}

QStringList AccountsReport::csvHeader() const
{
    return {QStringLiteral("Card Type"),       QStringLiteral("Vendor"),          QStringLiteral("Address 1"),
            QStringLiteral("Address 2"),       QStringLiteral("City State Zip"),  QStringLiteral("Balance Information Phone"),
            QStringLiteral("Lost Card Phone"), QStringLiteral("Account Number"),  QStringLiteral("Current Balance"),
            QStringLiteral("Credit Limit"),    QStringLiteral("Funds Available"), QStringLiteral("Interest Rate"),
            QStringLiteral("Billing Day")};
}

QStringList AccountsReport::csvRow() const
{
    const core::Account& a = m_account;
    return {m_cardTypeDescription,
            a.creditCardVendor,
            a.vendorAddr1,
            a.vendorAddr2,
            m_cityStateZip.trimmed(),
            formatPicture(a.balanceInfoPhone, u"p(###) ###-####p").trimmed(),
            formatPicture(a.lostCardPhone, u"p(###) ###-####p").trimmed(),
            a.accountNumber,
            a.accountBalance.toString(),
            a.creditLimit.toString(),
            m_availableFunds.toString(),
            a.interestRate.toString(),
            QString::number(a.billingDay) + m_ordinalExtension};
}

} // namespace fundora::reports
