#pragma once

#include <QString>

#include <vector>

namespace fundora::test {

// One transaction of a statement file written for a test.
struct OfxLine {
    QString date;   // DTPOSTED as written
    QString amount; // TRNAMT as written
    QString id;     // FITID; empty: none
    QString name;
    QString type = QStringLiteral("DEBIT");
};

// The <STMTTRN> elements of `lines`, in the SGML of version 1 (no end tags
// for the values) or the XML of version 2.
inline QString ofxTransactions(const std::vector<OfxLine>& lines, bool xml)
{
    QString out;
    auto value = [&](const char* tag, const QString& v) {
        return xml ? QStringLiteral("<%1>%2</%1>\n").arg(QLatin1String(tag), v) : QStringLiteral("<%1>%2\n").arg(QLatin1String(tag), v);
    };
    for (const OfxLine& l : lines) {
        out += QStringLiteral("<STMTTRN>\n") + value("TRNTYPE", l.type) + value("DTPOSTED", l.date) + value("TRNAMT", l.amount);
        if (!l.id.isEmpty())
            out += value("FITID", l.id);
        out += value("NAME", l.name) + QStringLiteral("</STMTTRN>\n");
    }
    return out;
}

// A credit-card statement of account `number` holding `lines`.
inline QString ofxCardStatement(const QString& number, const std::vector<OfxLine>& lines, bool xml)
{
    auto value = [&](const char* tag, const QString& v) {
        return xml ? QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), v) : QStringLiteral("<%1>%2").arg(QLatin1String(tag), v);
    };
    return QStringLiteral("<CCSTMTTRNRS>") + value("TRNUID", QStringLiteral("1")) + QStringLiteral("<STATUS>") +
           value("CODE", QStringLiteral("0")) + value("SEVERITY", QStringLiteral("INFO")) + QStringLiteral("</STATUS>\n<CCSTMTRS>") +
           value("CURDEF", QStringLiteral("USD")) + QStringLiteral("<CCACCTFROM>") + value("ACCTID", number) +
           QStringLiteral("</CCACCTFROM>\n<BANKTRANLIST>") + value("DTSTART", QStringLiteral("20261101")) +
           value("DTEND", QStringLiteral("20261130")) + u'\n' + ofxTransactions(lines, xml) +
           QStringLiteral("</BANKTRANLIST>\n<LEDGERBAL>") + value("BALAMT", QStringLiteral("0.00")) +
           value("DTASOF", QStringLiteral("20261130")) + QStringLiteral("</LEDGERBAL>\n</CCSTMTRS>\n</CCSTMTTRNRS>\n");
}

// A whole OFX file: the header of its version, the sign-on, and `statements`.
// `charset`: CHARSET of a version 1 header ("1252", "ISO-8859-1", ...), or the
// XML encoding of version 2; version 1 with "UTF-8" says ENCODING:UTF-8.
inline QString ofxFile(const QString& statements, bool xml, const QString& charset = QStringLiteral("1252"),
                       const QString& extraSignOn = {})
{
    QString header;
    if (xml) {
        header = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\" standalone=\"no\"?>\n"
                                "<?OFX OFXHEADER=\"200\" VERSION=\"211\" SECURITY=\"NONE\" OLDFILEUID=\"NONE\" NEWFILEUID=\"NONE\"?>\n")
                     .arg(charset);
    } else {
        const bool utf8 = charset == u"UTF-8";
        header = QStringLiteral("OFXHEADER:100\r\nDATA:OFXSGML\r\nVERSION:102\r\nSECURITY:NONE\r\nENCODING:%1\r\nCHARSET:%2\r\n"
                                "COMPRESSION:NONE\r\nOLDFILEUID:NONE\r\nNEWFILEUID:NONE\r\n\r\n")
                     .arg(utf8 ? QStringLiteral("UTF-8") : QStringLiteral("USASCII"), utf8 ? QStringLiteral("NONE") : charset);
    }
    auto value = [&](const char* tag, const QString& v) {
        return xml ? QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), v) : QStringLiteral("<%1>%2").arg(QLatin1String(tag), v);
    };
    return header + QStringLiteral("<OFX>\n<SIGNONMSGSRSV1><SONRS><STATUS>") + value("CODE", QStringLiteral("0")) +
           value("SEVERITY", QStringLiteral("INFO")) + QStringLiteral("</STATUS>") + value("DTSERVER", QStringLiteral("20261201")) +
           value("LANGUAGE", QStringLiteral("ENG")) + extraSignOn + QStringLiteral("</SONRS></SIGNONMSGSRSV1>\n<CREDITCARDMSGSRSV1>\n") +
           statements + QStringLiteral("</CREDITCARDMSGSRSV1>\n</OFX>\n");
}

} // namespace fundora::test
