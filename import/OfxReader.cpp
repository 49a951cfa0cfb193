#include "import/OfxReader.h"

#include "import/OfxScan.h"
#include "platform/PrivateDirectory.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <libofx/libofx.h>

#include <map>

namespace fundora::importing {

namespace {

// What libofx reports of one transaction.
struct ParsedTransaction {
    QString accountId;
    QString bankId;
    QString name;
    QString memo;
    double amount = 0;
    EntryKind kind = EntryKind::Plain;
};

struct ParsedFile {
    std::map<QString, QString> accountNumbers; // libofx's account id -> ACCTID
    std::vector<QString> accountOrder;
    std::vector<ParsedTransaction> transactions;
};

void silenceLibofx()
{
    ofx_PARSER_msg = ofx_DEBUG_msg = ofx_DEBUG1_msg = ofx_DEBUG2_msg = ofx_DEBUG3_msg = ofx_DEBUG4_msg = ofx_DEBUG5_msg = 0;
    ofx_STATUS_msg = ofx_INFO_msg = ofx_WARNING_msg = ofx_ERROR_msg = 0;
}

int onAccount(const OfxAccountData data, void* context)
{
    auto& parsed = *static_cast<ParsedFile*>(context);
    if (!data.account_id_valid)
        return 0;
    const QString id = QString::fromUtf8(data.account_id);
    if (!parsed.accountNumbers.count(id))
        parsed.accountOrder.push_back(id);
    parsed.accountNumbers[id] = data.account_number_valid ? QString::fromUtf8(data.account_number) : QString();
    return 0;
}

int onTransaction(const OfxTransactionData data, void* context)
{
    auto& parsed = *static_cast<ParsedFile*>(context);
    ParsedTransaction t;
    if (data.account_id_valid)
        t.accountId = QString::fromUtf8(data.account_id);
    if (data.fi_id_valid)
        t.bankId = QString::fromUtf8(data.fi_id).trimmed();
    if (data.name_valid)
        t.name = QString::fromUtf8(data.name).simplified();
    if (data.memo_valid)
        t.memo = QString::fromUtf8(data.memo).simplified();
    t.amount = data.amount_valid ? data.amount : 0;
    if (data.transactiontype_valid) {
        if (data.transactiontype == OFX_INT)
            t.kind = EntryKind::Interest;
        else if (data.transactiontype == OFX_FEE || data.transactiontype == OFX_SRVCHG)
            t.kind = EntryKind::Fee;
    }
    parsed.transactions.push_back(std::move(t));
    return 0;
}

bool parseWithLibofx(const QString& path, ParsedFile& parsed)
{
    silenceLibofx();
    LibofxContextPtr context = libofx_get_new_context();
    ofx_set_account_cb(context, onAccount, &parsed);
    ofx_set_transaction_cb(context, onTransaction, &parsed);
    const QByteArray name = QFile::encodeName(path);
    // libofx copies the statement to a file in TMPDIR: the program's own
    // work directory, never the shared temporary one, and cleaned at the next start.
    const QString work = platform::processWorkDirectory(QStringLiteral("import"));
    if (work.isEmpty())
        return false;
    const QByteArray before = qgetenv("TMPDIR");
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(work));
    libofx_proc_file(context, name.constData(), AUTODETECT);
    if (hadTmpdir)
        qputenv("TMPDIR", before);
    else
        qunsetenv("TMPDIR");
    libofx_free_context(context);
    return true;
}

} // namespace

bool looksLikeOfx(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray start = file.read(512);
    if (start.startsWith("\xEF\xBB\xBF"))
        start.remove(0, 3);
    start = start.trimmed();
    return start.startsWith("OFXHEADER") || start.startsWith("<?xml") || start.startsWith("<?OFX") || start.startsWith("<OFX>");
}

namespace {

// A text of the file as libofx would give it: decoded from the file's
// encoding (cut at a NUL or at the first byte that is not the declared
// UTF-8), the standard entities replaced and unknown ones dropped, blanks folded.
QString fileText(const QByteArray& raw, const QByteArray& encoding)
{
    QByteArray bytes = raw;
    if (const qsizetype nul = bytes.indexOf('\0'); nul >= 0)
        bytes.truncate(nul);
    QString text;
    if (encoding == "UTF-8") {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInvalidToNull);
        text = utf8(bytes);
        if (const qsizetype bad = text.indexOf(QChar(0)); bad >= 0)
            text.truncate(bad);
    } else {
        QStringDecoder decoder(encoding.constData());
        text = decoder.isValid() ? decoder(bytes) : QString::fromLatin1(bytes);
    }
    if (!text.contains(u'&'))
        return text.simplified();
    static const QRegularExpression entity(QStringLiteral("&(#[0-9]+|#x[0-9A-Fa-f]+|[A-Za-z][A-Za-z0-9]*);"));
    static const QHash<QString, QString> named{
        {QStringLiteral("amp"), QStringLiteral("&")},  {QStringLiteral("lt"), QStringLiteral("<")},
        {QStringLiteral("gt"), QStringLiteral(">")},   {QStringLiteral("quot"), QStringLiteral("\"")},
        {QStringLiteral("apos"), QStringLiteral("'")}, {QStringLiteral("nbsp"), QStringLiteral(" ")}};
    QString out;
    qsizetype at = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(at, m.capturedStart() - at);
        const QString name = m.captured(1);
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint code = name.startsWith(QStringLiteral("#x")) ? name.mid(2).toUInt(&ok, 16) : name.mid(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF)
                out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else {
            out += named.value(name); // an unknown entity is dropped, as the parser drops it
        }
        at = m.capturedEnd();
    }
    out += QStringView(text).mid(at);
    return out.simplified();
}

// The statement read from the scan alone (see StreamedAbove). Each scanned
// line is let go as soon as its entry holds it, so a large file is not held twice.
void readFromScan(OfxScan&& scan, StatementFile& out)
{
    std::map<QByteArray, std::size_t> accountIndex, lines;
    for (const ScannedTransaction& t : scan.transactions)
        ++lines[t.account];
    for (; !scan.transactions.empty(); scan.transactions.pop_front()) {
        ScannedTransaction& t = scan.transactions.front();
        auto it = accountIndex.find(t.account);
        if (it == accountIndex.end()) {
            FileAccount a;
            a.number = fileText(t.account, scan.encoding);
            a.entries.reserve(lines[t.account]);
            out.accounts.push_back(std::move(a));
            it = accountIndex.emplace(t.account, out.accounts.size() - 1).first;
        }
        FileEntry e;
        e.sourceLine = t.line;
        e.date = t.date;
        e.amount = t.amount;
        e.bankId = fileText(t.bankId, scan.encoding).trimmed();
        const QString name = fileText(t.name, scan.encoding);
        e.description = name.isEmpty() ? fileText(t.memo, scan.encoding) : name;
        if (t.type == "INT")
            e.kind = EntryKind::Interest;
        else if (t.type == "FEE" || t.type == "SRVCHG")
            e.kind = EntryKind::Fee;
        e.textNotes = std::move(t.textNotes);
        out.accounts[it->second].entries.push_back(std::move(e));
    }
}

} // namespace

bool readOfxFile(const QString& path, StatementFile& out, ReadError& error, OfxParser parser)
{
    out = StatementFile{};
    QFile file;
    if (!openStatementFile(path, file, error))
        return false;
    OfxScan scan;
    if (!scanOfx(file, scan, error))
        return false;
    file.close();
    if (parser == OfxParser::Streamed || (parser == OfxParser::Automatic && scan.transactions.size() > StreamedAbove)) {
        out.format = scan.xml ? QStringLiteral("OFX 2 (XML)") : QStringLiteral("OFX 1 (SGML)");
        readFromScan(std::move(scan), out);
        return true;
    }

    ParsedFile parsed;
    if (!parseWithLibofx(path, parsed)) {
        error = {0, QStringLiteral("The file could not be read: no private work directory could be made (XDG_RUNTIME_DIR, or the "
                                   "temporary directory).")};
        return false;
    }
    // The scan and the parse see the same transactions in the same order; where
    // they part, the file holds something the parser could not follow.
    const std::size_t understood = parsed.transactions.size();
    for (std::size_t i = 0; i < scan.transactions.size(); ++i) {
        const ScannedTransaction& s = scan.transactions[i];
        const double exact = static_cast<double>(s.amount.units()) / 100.0;
        if (i >= understood || std::abs(parsed.transactions[i].amount - exact) > 0.006) {
            error = {s.line, QStringLiteral("Line %1: the <STMTTRN> that begins here could not be read (%2 of the file's %3 "
                                            "transactions were understood): the file is damaged or not a statement.")
                                 .arg(s.line)
                                 .arg(std::min(i, understood))
                                 .arg(scan.transactions.size())};
            return false;
        }
    }
    if (understood != scan.transactions.size()) {
        error = {0, QStringLiteral("The file holds transactions outside its statements; it could not be read.")};
        return false;
    }

    out.format = scan.xml ? QStringLiteral("OFX 2 (XML)") : QStringLiteral("OFX 1 (SGML)");
    std::map<QString, std::size_t> accountIndex;
    auto accountFor = [&](const QString& id) -> FileAccount& {
        auto it = accountIndex.find(id);
        if (it == accountIndex.end()) {
            FileAccount a;
            const auto number = parsed.accountNumbers.find(id);
            a.number = number != parsed.accountNumbers.end() && !number->second.isEmpty() ? number->second : id;
            out.accounts.push_back(std::move(a));
            it = accountIndex.emplace(id, out.accounts.size() - 1).first;
        }
        return out.accounts[it->second];
    };
    for (const QString& id : parsed.accountOrder)
        accountFor(id);
    for (std::size_t i = 0; i < understood; ++i) {
        const ParsedTransaction& p = parsed.transactions[i];
        FileEntry e;
        e.sourceLine = scan.transactions[i].line;
        e.date = scan.transactions[i].date;
        e.amount = scan.transactions[i].amount;
        e.bankId = p.bankId;
        e.description = p.name.isEmpty() ? p.memo : p.name;
        e.kind = p.kind;
        e.textNotes = scan.transactions[i].textNotes;
        accountFor(p.accountId).entries.push_back(std::move(e));
    }
    return true;
}

} // namespace fundora::importing
