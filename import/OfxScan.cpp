#include "import/OfxScan.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace fundora::importing {

namespace {

constexpr int MaxTagLength = 64;
// A statement's elements nest six or seven deep; far more is no statement,
// and the parser's time would grow with the square of the depth.
constexpr std::size_t MaxNesting = 32;
constexpr int MaxValueLength = 4096;

QString quoted(const QByteArray& value)
{
    return u'"' + QString::fromLatin1(value.left(40)) + (value.size() > 40 ? QStringLiteral("...\"") : QStringLiteral("\""));
}

// Reads the date of a DTPOSTED value: its first eight digits, YYYYMMDD, as the
// calendar date the file states; the time and zone after them are not used.
bool readOfxDate(const QByteArray& value, platform::DayNumber& out)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})(\\d{0,6}(\\.\\d{1,3})?)?(\\[[^\\]]*\\])?$"));
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(value));
    if (!m.hasMatch())
        return false;
    const std::chrono::year_month_day ymd{std::chrono::year{m.captured(1).toInt()}, std::chrono::month{m.captured(2).toUInt()},
                                          std::chrono::day{m.captured(3).toUInt()}};
    if (!ymd.ok())
        return false;
    out = platform::dayNumberOf(ymd);
    // The program's calendar: 1801 to 2099.
    return out >= 4 && out <= 109211;
}

class Scanner {
public:
    Scanner(OfxScan& out, ReadError& error) : m_out(out), m_error(error) {}

    bool feed(const char* data, qsizetype size)
    {
        for (qsizetype i = 0; i < size; ++i)
            if (!step(data[i]))
                return false;
        return true;
    }

    bool finish()
    {
        if (m_utf8)
            m_out.encoding = "UTF-8";
        if (!m_headerSeen)
            return fail(0, QStringLiteral("The file is empty: a statement file begins with an OFX header."));
        if (m_inTag)
            return fail(m_line, QStringLiteral("The file ends inside a tag: it is cut short."));
        if (!closeValue())
            return false;
        if (!m_ofxSeen)
            return fail(0, QStringLiteral("The file has no <OFX> element."));
        if (m_inTransaction || !m_ofxClosed)
            return fail(m_line, QStringLiteral("The file ends on line %1 before </OFX>: it is cut short.").arg(m_line));
        if (m_out.transactions.empty()) {
            if (m_emptyListLine > 0)
                return fail(m_emptyListLine, QStringLiteral("The file holds no transactions: its <BANKTRANLIST> is empty."));
            return fail(0, QStringLiteral("The file holds no transactions: it has no <BANKTRANLIST>."));
        }
        return true;
    }

private:
    bool fail(int line, const QString& text)
    {
        m_error.line = line;
        m_error.message = line > 0 && !text.startsWith(QStringLiteral("The file ends on line"))
                              ? QStringLiteral("Line %1: %2").arg(line).arg(text)
                              : text;
        return false;
    }

    bool step(char c)
    {
        if (c == '\n')
            ++m_line;
        if (!m_headerSeen)
            return header(c);
        if (m_sgmlHeader && !m_ofxSeen && !m_inTag && c != '<' && m_headerText.size() < MaxValueLength) {
            m_headerText += c;
            const QByteArray upper = m_headerText.toUpper();
            if (upper.contains("ENCODING:UTF-8"))
                m_utf8 = true;
            else if (upper.contains("CHARSET:8859-1") || upper.contains("CHARSET:ISO-8859-1"))
                m_out.encoding = "ISO-8859-1";
        }
        if (m_inTag) {
            if (c == '>') {
                m_inTag = false;
                return tag();
            }
            // Processing instructions and declarations are passed over whatever
            // their length; the start of a declaration is kept to be checked.
            if (m_tag.startsWith('?') || m_tag.startsWith('!')) {
                if (m_tag.size() < MaxTagLength * 4)
                    m_tag += c;
                return true;
            }
            if (c == '<')
                return fail(m_line, QStringLiteral("a tag is not closed with '>'."));
            if (m_tag.size() >= MaxTagLength)
                return fail(m_line, QStringLiteral("a tag longer than %1 characters: this is not an OFX file.").arg(MaxTagLength));
            m_tag += c;
            return true;
        }
        if (c == '<') {
            if (!closeValue())
                return false;
            m_inTag = true;
            m_tag.clear();
            m_tagLine = m_line;
            return true;
        }
        if (!m_pendingOpen.isEmpty() && c != ' ' && c != '\t' && c != '\r' && c != '\n')
            m_pendingOpen.clear(); // the element holds a value: it is no aggregate
        if (m_collecting) {
            if (m_value.size() >= MaxValueLength) {
                // A name or memo may be long; what it holds beyond the first part is counted, not kept.
                if (m_valueTag != "NAME" && m_valueTag != "MEMO")
                    return fail(m_valueLine, QStringLiteral("<%1> holds more than %2 characters.").arg(m_valueTag).arg(MaxValueLength));
                ++m_valueOverflow;
                return true;
            }
            m_value += c;
        }
        return true;
    }

    // Before the first tag: the version 1 header ("OFXHEADER:100") or the XML declaration.
    bool header(char c)
    {
        m_start += c;
        const QByteArray trimmed = m_start.startsWith("\xEF\xBB\xBF") ? m_start.mid(3).trimmed() : m_start.trimmed();
        if (trimmed.isEmpty())
            return m_start.size() < MaxValueLength || fail(0, QStringLiteral("This is not an OFX file: it begins with blanks only."));
        static const QByteArray sgml = "OFXHEADER:";
        static const QByteArray xml = "<?";
        const qsizetype n = std::min(trimmed.size(), sgml.size());
        if (trimmed.left(n) == sgml.left(n)) {
            if (trimmed.size() < sgml.size())
                return true;
            m_headerSeen = true;
            m_out.xml = false;
            m_sgmlHeader = true;
            return true;
        }
        if (trimmed.startsWith(xml)) {
            m_headerSeen = true;
            m_out.xml = true;
            m_inTag = true;
            m_tag = trimmed.mid(1);
            m_tagLine = m_line;
            return true;
        }
        if (trimmed.size() == 1 && trimmed[0] == '<')
            return true;
        return fail(0,
                    QStringLiteral(
                        "This is not an OFX file: it does not begin with an OFX header (OFXHEADER:100, or <?xml ...?> with <?OFX ...?>)."));
    }

    bool closeValue()
    {
        if (!m_collecting)
            return true;
        m_collecting = false;
        const QByteArray value = m_value.trimmed();
        if (m_valueTag == "NAME" || m_valueTag == "MEMO") {
            noteText(value);
            (m_valueTag == "NAME" ? m_current.name : m_current.memo) = value;
            return true;
        }
        if (m_valueTag == "FITID") {
            m_current.bankId = value;
            return true;
        }
        if (m_valueTag == "TRNTYPE") {
            m_current.type = value.toUpper();
            return true;
        }
        if (m_valueTag == "ACCTID") {
            m_account = value;
            return true;
        }
        if (m_valueTag == "DTPOSTED") {
            if (value.isEmpty())
                return fail(m_valueLine, QStringLiteral("<DTPOSTED> is empty: each transaction needs the date it was posted."));
            if (!readOfxDate(value, m_current.date))
                return fail(m_valueLine, QStringLiteral("<DTPOSTED> %1 is not a date; dates are written YYYYMMDD (1801 to 2099), "
                                                        "optionally followed by the time.")
                                             .arg(quoted(value)));
            m_hasDate = true;
        } else if (m_valueTag == "TRNAMT") {
            if (value.isEmpty())
                return fail(m_valueLine, QStringLiteral("<TRNAMT> is empty: each transaction needs its amount."));
            const QChar separator = value.contains(',') && !value.contains('.') ? u',' : u'.';
            if (!readPlainAmount(QString::fromLatin1(value), separator, m_current.amount))
                return fail(m_valueLine, QStringLiteral("<TRNAMT> %1 is not an amount; amounts are written like -42.50, "
                                                        "with two places at most.")
                                             .arg(quoted(value)));
            m_hasAmount = true;
        }
        return true;
    }

    bool tag()
    {
        QByteArray name = m_tag.trimmed().toUpper();
        if (name.startsWith("?XML")) {
            // Version 2 is UTF-8 unless its declaration names another encoding.
            static const QRegularExpression declared(QStringLiteral("ENCODING\\s*=\\s*[\"']([A-Z0-9_.:-]+)[\"']"));
            const QRegularExpressionMatch m = declared.match(QString::fromLatin1(name));
            const QByteArray encoding = m.hasMatch() ? m.captured(1).toLatin1() : QByteArray("UTF-8");
            m_utf8 = encoding == "UTF-8" || encoding == "UTF8";
            if (!m_utf8)
                m_out.encoding = encoding;
        }
        if (name.startsWith("!DOCTYPE") || name.startsWith("!ENTITY"))
            return refuseDeclaration(name);
        if (name.startsWith('?') || name.startsWith('!'))
            return true; // a processing instruction or a comment
        const bool selfClosed = name.endsWith('/');
        if (selfClosed)
            name.chop(1);
        const bool closing = name.startsWith('/');
        if (closing)
            name.remove(0, 1);
        const qsizetype blank = name.indexOf(' ');
        if (blank >= 0)
            name.truncate(blank);
        if (name.isEmpty())
            return fail(m_tagLine, QStringLiteral("an empty tag <>."));
        if (!nest(name, closing, selfClosed))
            return false;
        if (name == "OFX") {
            if (closing)
                m_ofxClosed = true;
            else
                m_ofxSeen = true;
            return true;
        }
        if (!m_ofxSeen)
            return fail(m_tagLine, QStringLiteral("<%1> stands before <OFX>.").arg(QString::fromLatin1(name)));
        if (name == "BANKTRANLIST") {
            if (!closing) {
                m_listLine = m_tagLine;
                m_listCount = 0;
            } else if (m_listCount == 0 && m_emptyListLine == 0) {
                m_emptyListLine = m_listLine;
            }
            return true;
        }
        if (name == "STMTTRN")
            return closing ? endTransaction() : beginTransaction();
        const bool lineValue = m_inTransaction && (name == "DTPOSTED" || name == "TRNAMT" || name == "NAME" || name == "MEMO" ||
                                                   name == "FITID" || name == "TRNTYPE");
        const bool accountValue = !m_inTransaction && name == "ACCTID";
        if (!closing && !selfClosed && (lineValue || accountValue)) {
            m_collecting = true;
            m_value.clear();
            m_valueOverflow = 0;
            m_valueTag = name;
            m_valueLine = m_tagLine;
        }
        return true;
    }

    // A document type that names an outside identifier, or any entity, would
    // make the parser fetch a URL or open a file other than the statement
    // (or read /dev/zero without end): refused before the file reaches it.
    bool refuseDeclaration(const QByteArray& declaration)
    {
        const QList<QByteArray> words = declaration.simplified().split(' ');
        const bool outside =
            words.contains("PUBLIC") || words.contains("SYSTEM") || declaration.contains('"') || declaration.contains('\'');
        if (declaration.startsWith("!ENTITY") || declaration.contains('[') || outside)
            return fail(m_tagLine,
                        QStringLiteral("the file declares %1; a statement file may not name other files, addresses or "
                                       "entities, so it is not read.")
                            .arg(declaration.startsWith("!ENTITY") ? QStringLiteral("an entity")
                                                                   : QStringLiteral("a document type with an outside identifier")));
        return true;
    }

    // Keeps the stack of open aggregates (elements that hold elements, not a
    // value; in version 1 value elements are never closed) and bounds its depth.
    bool nest(const QByteArray& name, bool closing, bool selfClosed)
    {
        if (selfClosed)
            return true;
        if (!closing) {
            if (!m_pendingOpen.isEmpty()) {
                if (m_aggregates.size() >= MaxNesting)
                    return fail(m_tagLine,
                                QStringLiteral("the tags nest deeper than %1 levels: this is not a statement file.").arg(MaxNesting));
                m_aggregates.push_back(m_pendingOpen);
            }
            m_pendingOpen = name;
            return true;
        }
        if (m_pendingOpen == name) {
            m_pendingOpen.clear(); // an empty element
            return true;
        }
        m_pendingOpen.clear();
        for (std::size_t i = m_aggregates.size(); i-- > 0;)
            if (m_aggregates[i] == name) {
                m_aggregates.resize(i); // closes it and whatever it left open
                break;
            }
        return true;
    }

    // What the parser will change in a name or memo as the file writes it.
    void noteText(const QByteArray& value)
    {
        QStringList& notes = m_current.textNotes;
        if (value.contains('\0'))
            notes << QStringLiteral("the file's text holds a NUL character, and what follows it is dropped");
        if (m_utf8) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = utf8(value); // the decoder works as its result is taken
            if (utf8.hasError())
                notes << QStringLiteral("the text is not the UTF-8 the file declares, and is cut at the first wrong byte");
        }
        static const QRegularExpression entity(QStringLiteral("&([A-Za-z][A-Za-z0-9]*);"));
        static const QStringList known{QStringLiteral("amp"),  QStringLiteral("lt"),   QStringLiteral("gt"),
                                       QStringLiteral("quot"), QStringLiteral("apos"), QStringLiteral("nbsp")};
        for (auto it = entity.globalMatch(QString::fromLatin1(value)); it.hasNext();) {
            const QString name = it.next().captured(1);
            if (!known.contains(name)) {
                notes << QStringLiteral("the entity &%1; is unknown, and is dropped").arg(name);
                break;
            }
        }
        if (m_valueOverflow > 0)
            notes << QStringLiteral("the file's text is over %1 characters long").arg(MaxValueLength);
        notes.removeDuplicates();
    }

    bool beginTransaction()
    {
        if (m_inTransaction)
            return fail(m_tagLine, QStringLiteral("a <STMTTRN> begins before the one of line %1 ends.").arg(m_current.line));
        m_inTransaction = true;
        m_current = ScannedTransaction{};
        m_current.line = m_tagLine;
        m_current.account = m_account;
        m_hasDate = m_hasAmount = false;
        return true;
    }

    bool endTransaction()
    {
        if (!m_inTransaction)
            return fail(m_tagLine, QStringLiteral("</STMTTRN> closes no transaction."));
        m_inTransaction = false;
        if (!m_hasDate)
            return fail(m_current.line, QStringLiteral("the <STMTTRN> that begins here has no <DTPOSTED> date."));
        if (!m_hasAmount)
            return fail(m_current.line, QStringLiteral("the <STMTTRN> that begins here has no <TRNAMT> amount."));
        m_out.transactions.push_back(m_current);
        ++m_listCount;
        return true;
    }

    OfxScan& m_out;
    ReadError& m_error;
    int m_line = 1;
    QByteArray m_start;
    bool m_headerSeen = false;
    bool m_inTag = false;
    QByteArray m_tag;
    int m_tagLine = 0;
    bool m_collecting = false;
    QByteArray m_value;
    QByteArray m_valueTag;
    int m_valueLine = 0;
    bool m_ofxSeen = false;
    bool m_ofxClosed = false;
    int m_listLine = 0;
    int m_listCount = 0;
    int m_emptyListLine = 0;
    bool m_inTransaction = false;
    bool m_hasDate = false;
    bool m_hasAmount = false;
    ScannedTransaction m_current;
    QByteArray m_account;                 // the ACCTID of the statement being read
    bool m_utf8 = false;                  // the header declares UTF-8
    bool m_sgmlHeader = false;            // a version 1 header, whose lines come before the first tag
    QByteArray m_headerText;              // those lines
    qint64 m_valueOverflow = 0;           // what a name or memo holds beyond what is kept
    QByteArray m_pendingOpen;             // the last element opened, until a value or an element follows it
    std::vector<QByteArray> m_aggregates; // the open elements that hold elements
};

} // namespace

bool scanOfx(QIODevice& device, OfxScan& out, ReadError& error)
{
    out = OfxScan{};
    Scanner scanner(out, error);
    char buffer[64 * 1024];
    for (;;) {
        const qint64 n = device.read(buffer, sizeof buffer);
        if (n < 0) {
            error = {0, QStringLiteral("The file could not be read: %1").arg(device.errorString())};
            return false;
        }
        if (n == 0)
            break;
        if (!scanner.feed(buffer, n))
            return false;
    }
    return scanner.finish();
}

} // namespace fundora::importing
