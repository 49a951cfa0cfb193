// Mutates good OFX, QFX and CSV statements, as a damaged download or a
// hostile file would hand them over, and reads each as the import does. What
// must never happen: a crash or a hang (the run would not end), a file that is
// refused without a message, a refused file that leaves lines behind, a line
// with a date outside the calendar, or an import of what was read that breaks
// the balance rule (every tenth file read is imported into an account).
//
// Usage: import_fuzz [--cases N] [--seed S]
// Exit code 0 when every count is 0.
#include "core/FileTransaction.h"
#include "core/OpenFile.h"
#include "import/CsvMapping.h"
#include "import/ImportCommit.h"
#include "import/ImportRecords.h"
#include "import/OfxReader.h"
#include "platform/MessageService.h"
#include "tests/import/StatementFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <random>

using namespace fundora;

namespace {

std::vector<QByteArray> seeds()
{
    using test::OfxLine;
    const std::vector<OfxLine> lines = {
        {QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("T1"), QStringLiteral("Caf\u00e9 Bakery")},
        {QStringLiteral("20261110120000.000[-5:EST]"), QStringLiteral("-7.05"), QString(), QStringLiteral("Bus")},
        {QStringLiteral("20261130"), QStringLiteral("100.00"), QStringLiteral("T3"), QStringLiteral("Payment"), QStringLiteral("CREDIT")},
        {QStringLiteral("20261130"), QStringLiteral("-3.17"), QStringLiteral("T3"), QStringLiteral("Interest"), QStringLiteral("INT")}};
    std::vector<QByteArray> out;
    for (bool xml : {false, true}) {
        out.push_back(test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, xml), xml).toLatin1());
        out.push_back(test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, xml) +
                                        test::ofxCardStatement(QStringLiteral("5555"), {lines[0]}, xml),
                                    xml, QStringLiteral("UTF-8"))
                          .toUtf8());
    }
    out.push_back("Date,Description,Amount,Type\n11/03/2026,\"Caf\xc3\xa9, \"\"Nord\"\"\",-4.20,Sale\n11/30/2026,Payment,100.00,Credit\n");
    out.push_back("Datum;Text;Belastung;Gutschrift\n03.11.2026;B\xe4"
                  "ckerei;4,20;\n30.11.2026;Zahlung;;1.100,00\n");
    return out;
}

const char* const Tokens[] = {"<STMTTRN>",
                              "</STMTTRN>",
                              "<TRNAMT>",
                              "<DTPOSTED>",
                              "</OFX>",
                              "<OFX>",
                              "<",
                              ">",
                              "$120",
                              "99999999999999999",
                              "-",
                              "&amp;",
                              "\0",
                              "\xff\xfe",
                              "[+13:NZDT]",
                              "<BANKTRANLIST>",
                              "</BANKTRANLIST>",
                              "<?xml ",
                              "ENCODING:UTF-8",
                              "CHARSET:1252",
                              "<FITID>",
                              "<CCACCTFROM><ACCTID>",
                              "\"",
                              ",",
                              ";",
                              "\n",
                              "\r\n",
                              "20261340",
                              "0000",
                              "<!--"};

QByteArray mutate(QByteArray b, std::mt19937& rng)
{
    auto pick = [&](std::size_t n) { return n == 0 ? std::size_t{0} : std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    const int steps = 1 + static_cast<int>(pick(4));
    for (int s = 0; s < steps; ++s) {
        const qsizetype at = static_cast<qsizetype>(pick(static_cast<std::size_t>(b.size()) + 1));
        switch (pick(6)) {
        case 0:
            if (!b.isEmpty())
                b[std::min(at, b.size() - 1)] = static_cast<char>(pick(256));
            break;
        case 1: b.remove(at, static_cast<qsizetype>(pick(64))); break;
        case 2:
            b.insert(at, b.mid(static_cast<qsizetype>(pick(static_cast<std::size_t>(b.size()))), static_cast<qsizetype>(pick(200))));
            break;
        case 3: {
            const char* t = Tokens[pick(std::size(Tokens))];
            b.insert(at, QByteArray(t, t[0] == 0 ? 1 : static_cast<qsizetype>(std::strlen(t))));
            break;
        }
        case 4: b.truncate(at); break;
        default: b.insert(at, QByteArray(static_cast<qsizetype>(pick(3000)), static_cast<char>(pick(256)))); break;
        }
    }
    return b;
}

struct Counts {
    int cases = 0, read = 0, refused = 0, imported = 0;
    int silentRefusals = 0, leftovers = 0, badDates = 0, balanceBroken = 0;
    bool clean() const { return silentRefusals == 0 && leftovers == 0 && badDates == 0 && balanceBroken == 0; }
};

bool datesInCalendar(const importing::StatementFile& f)
{
    for (const auto& a : f.accounts)
        for (const auto& e : a.entries)
            if (e.date < 4 || e.date > 109211)
                return false;
    return true;
}

// Imports what was read into a fresh account and checks the balance rule.
bool importKeepsBalance(core::DataFiles& files, const importing::FileAccount& account, std::int32_t sysId)
{
    {
        core::FileTransaction tx(files.store);
        files.accounts.clear();
        files.accounts.record.sysId = sysId;
        files.accounts.record.creditCardVendor = QStringLiteral("Fuzz");
        if (!files.accounts.add().ok() || !tx.commit().ok())
            return false;
    }
    importing::ImportPlan plan;
    if (!importing::planImport(files, sysId, account, false, QStringLiteral("fuzz"), plan).ok())
        return false;
    importing::CommitOutcome outcome;
    importing::commitImport(files, plan, outcome); // may fail (a balance beyond the field): nothing is written then
    platform::Decimal sum = platform::Decimal::fromUnits(0, 2);
    files.transactions.clear();
    files.transactions.record.sysId = sysId;
    files.transactions.setOnValue(core::TraSysIDKey);
    while (files.transactions.next().ok() && files.transactions.record.sysId == sysId)
        sum += files.transactions.record.transactionAmount;
    core::Account a;
    return files.readAccount(sysId, a).ok() && a.accountBalance == sum.rounded(2);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int cases = 300;
    unsigned seed = 2026;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == u"--cases")
            cases = args[++i].toInt();
        else if (args[i] == u"--seed")
            seed = args[++i].toUInt();
    }
    platform::MessageService::install(nullptr);
    QTemporaryDir dir;
    core::DataFiles files(dir.path());
    core::DataFiles::setCurrent(&files);
    for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, importing::importedLinesFile()})
        if (!core::acquireFile(files, id))
            return 2;
    std::mt19937 rng(seed);
    const std::vector<QByteArray> good = seeds();
    Counts n;
    std::int32_t nextAccount = 1;
    const QString ofxPath = dir.filePath(QStringLiteral("case.ofx"));
    for (int c = 0; c < cases; ++c) {
        const std::size_t s = static_cast<std::size_t>(c) % good.size();
        const QByteArray bytes = mutate(good[s], rng);
        const bool csv = good[s].startsWith("Dat");
        importing::StatementFile out;
        importing::ReadError error;
        bool ok = false;
        if (csv) {
            importing::CsvTable table;
            ok = importing::readCsvText(bytes, {}, table, error);
            if (ok) {
                const importing::CsvProposal p = importing::proposeCsvMapping(table);
                ok = importing::csvToStatement(table, p.mapping, out, error);
            }
        } else {
            QFile f(ofxPath);
            if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                return 2;
            f.write(bytes);
            f.close();
            // Every other case through the streamed reading, which large statements take.
            ok = importing::readOfxFile(ofxPath, out, error, c % 2 ? importing::OfxParser::Streamed : importing::OfxParser::Automatic);
        }
        ++n.cases;
        if (!ok) {
            ++n.refused;
            if (error.message.trimmed().isEmpty())
                ++n.silentRefusals;
            if (!csv && !out.accounts.empty())
                ++n.leftovers;
            continue;
        }
        ++n.read;
        if (!datesInCalendar(out))
            ++n.badDates;
        if (n.read % 10 == 1 && !out.accounts.empty()) {
            ++n.imported;
            if (!importKeepsBalance(files, out.accounts.front(), nextAccount++))
                ++n.balanceBroken;
        }
    }
    std::printf("import_fuzz: %d cases (%d read, %d refused, %d imported): %d refused without a message, %d refused with lines left, "
                "%d dates outside the calendar, %d imports breaking the balance rule; 0 crashes, 0 hangs (the run ended)\n",
                n.cases, n.read, n.refused, n.imported, n.silentRefusals, n.leftovers, n.badDates, n.balanceBroken);
    files.closeAll();
    return n.clean() ? 0 : 1;
}
