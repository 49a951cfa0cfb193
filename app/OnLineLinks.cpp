#include "app/OnLineLinks.h"

#include "platform/IniFile.h"

namespace fundora::app {

QVector<OnLineLink> onLineLinks(const QString& iniPath)
{
    static const OnLineLink defaults[8] = {
        {QStringLiteral("&Credit Card Basics"), QStringLiteral("https://www.consumerfinance.gov/consumer-tools/credit-cards/")},
        {QStringLiteral("Free Annual &Credit Reports"), QStringLiteral("https://www.annualcreditreport.com/")},
        {QStringLiteral("Report &Identity Theft"), QStringLiteral("https://www.identitytheft.gov/")},
        {QStringLiteral("&Disputing a Charge"),
         QStringLiteral("https://consumer.ftc.gov/articles/using-credit-cards-and-disputing-charges")},
        {QStringLiteral("Credit Card &Agreements"), QStringLiteral("https://www.consumerfinance.gov/credit-cards/agreements/")},
        {QStringLiteral("&Interest Rate Explained"),
         QStringLiteral("https://www.consumerfinance.gov/ask-cfpb/what-is-a-credit-card-interest-rate-what-does-apr-mean-en-44/")},
        {QStringLiteral("Lost or &Stolen Cards"),
         QStringLiteral("https://consumer.ftc.gov/articles/lost-or-stolen-credit-atm-and-debit-cards")},
        {QStringLiteral("&Submit a Complaint"), QStringLiteral("https://www.consumerfinance.gov/complaint/")},
    };
    const platform::IniFile ini = platform::IniFile::load(iniPath);
    const QString section = QStringLiteral("OnLine");
    QVector<OnLineLink> links;
    for (int i = 0; i < 8; ++i) {
        OnLineLink link;
        link.text = ini.value(section, QStringLiteral("Text%1").arg(i + 1), defaults[i].text);
        link.address = ini.value(section, QStringLiteral("Url%1").arg(i + 1), defaults[i].address);
        links.push_back(link);
    }
    return links;
}

} // namespace fundora::app
