// fundora --import as a batch job runs it: a process of its own on the
// program directory, what it prints, its exit status and what it leaves.
#include "import/ImportRecords.h"
#include "tests/import/ImportFixture.h"
#include "tests/support/FileSteps.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace fundora;
using test::OfxLine;

namespace {

class ImportCommandLineTest : public test::ImportTest {
protected:
    struct Result {
        int status = -1;
        QStringList lines; // the statement's lines and the summary
        QString errors;
        QString signs; // what the run said of the file's signs, if anything
    };
    Result fundora(const QStringList& arguments)
    {
        files->closeAll();
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(QStringLiteral(FUNDORA_BIN), registerOptions() + arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        Result r{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                 QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
                 QString::fromUtf8(p.readAllStandardError()),
                 {}};
        for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, importing::importedLinesFile()})
            EXPECT_TRUE(core::acquireFile(*files, id));
        if (!r.lines.isEmpty() && r.lines.front().startsWith(QStringLiteral("signs: ")))
            r.signs = r.lines.takeFirst();
        return r;
    }
    QString statement()
    {
        const std::vector<OfxLine> lines = {
            {QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Corner Bakery")},
            {QStringLiteral("20261130"), QStringLiteral("100.00"), QStringLiteral("B"), QStringLiteral("Payment"),
             QStringLiteral("CREDIT")},
            {QStringLiteral("20261130"), QStringLiteral("0.00"), QStringLiteral("C"), QStringLiteral("Card sent")}};
        return test::writeFile(path(QStringLiteral("nov.ofx")),
                               test::ofxFile(test::ofxCardStatement(QStringLiteral("4444"), lines, false), false).toUtf8());
    }
};

TEST_F(ImportCommandLineTest, ACsvFileImportedTwiceAddsNothingTheSecondTimeYetKeepsTwoIdenticalCharges)
{
    addAccount(1, 15);
    const QByteArray november = "Date,Description,Amount\n"
                                "2026-11-03,Corner Bakery,-4.20\n"
                                "2026-11-03,Corner Bakery,-4.20\n" // two coffees on one day: two charges
                                "2026-11-05,Bus ticket,-2.00\n";
    const QString file = test::writeFile(path(QStringLiteral("nov.csv")), november);
    const QStringList import{QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")};
    Result r = fundora(import);
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines.last(),
              QStringLiteral("3 lines: 3 new, 0 duplicate, 0 matched, 0 refused; balance $0.00 -> $10.40; 3 added, 0 linked"));
    r = fundora(import);
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines.last(),
              QStringLiteral("3 lines: 0 new, 3 duplicate, 0 matched, 0 refused; balance $10.40 -> $10.40; 0 added, 0 linked"));
    EXPECT_TRUE(r.lines[1].endsWith(QStringLiteral("duplicate (a line of the same date, amount and description was imported before)")))
        << r.lines[1].toStdString();
    EXPECT_EQ(transactionsOf(1).size(), 3u);
    // A later file that holds the day once more, blanks and case aside, adds only the third coffee.
    const QString more = test::writeFile(path(QStringLiteral("more.csv")), "Date,Description,Amount\n"
                                                                           "2026-11-03,CORNER  bakery,-4.20\n"
                                                                           "2026-11-03,Corner Bakery,-4.20\n"
                                                                           "2026-11-03,Corner Bakery,-4.20\n");
    r = fundora({QStringLiteral("--import"), more, QStringLiteral("--account"), QStringLiteral("1")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines.last(),
              QStringLiteral("3 lines: 1 new, 2 duplicate, 0 matched, 0 refused; balance $10.40 -> $14.60; 1 added, 0 linked"));
    EXPECT_EQ(transactionsOf(1).size(), 4u);
    expectBalanceRule(1);
}

TEST_F(ImportCommandLineTest, TerminalAndDirectionTricksNeverReachTheScreenOrTheRegisterAndTheChangesAreShown)
{
    addAccount(1, 15);
    const QByteArray hostile = "Date,Description,Amount\n"
                               "2026-11-03,\"Shop\x1b]0;owned\x07\x1b[2J now\",-4.20\n"
                               "2026-11-04,\"\xe2\x80\xae"
                               "exe.GNP\",-1.00\n" // U+202E before the text
                               "2026-11-05," +
                               QByteArray(100, 'x') + ",-2.00\n";
    const QString file = test::writeFile(path(QStringLiteral("hostile.csv")), hostile);
    QProcess p;
    files->closeAll();
    p.start(QStringLiteral(FUNDORA_BIN),
            registerOptions() + QStringList{QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
    EXPECT_EQ(p.exitCode(), 0) << out.constData();
    EXPECT_FALSE(out.contains('\x1b') || out.contains('\x07') || out.contains("\xe2\x80\xae")) << "nothing a terminal obeys is printed";
    QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
    if (!lines.isEmpty() && lines.front().startsWith(QStringLiteral("signs: ")))
        lines.removeFirst();
    ASSERT_GE(lines.size(), 4) << out.constData();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("\"Shop]0;owned[2J now\": new (description: 3 control characters removed)"))) << lines[0];
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\"exe.GNP\": new (description: 1 text direction mark removed)"))) << lines[1];
    EXPECT_TRUE(lines[2].contains(QStringLiteral("new (description: cut to 35 of its 100 characters)"))) << lines[2];
    for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, importing::importedLinesFile()})
        ASSERT_TRUE(core::acquireFile(*files, id));
    QStringList stored;
    for (const core::Transaction& t : transactionsOf(1))
        stored << t.transactionDescription;
    EXPECT_TRUE(stored.contains(QStringLiteral("exe.GNP"))) << stored.join(u'|');
    EXPECT_TRUE(stored.contains(QStringLiteral("Shop]0;owned[2J now"))) << stored.join(u'|');
}

TEST_F(ImportCommandLineTest, ACsvFileWhoseChargesArePositiveIsReadSoTheFirstTimeAndSaysSo)
{
    addAccount(1, 15);
    const QString file = test::writeFile(path(QStringLiteral("positive.csv")), "Date,Description,Amount\n"
                                                                               "2026-11-03,Corner Bakery,4.20\n"
                                                                               "2026-11-05,Bus ticket,2.00\n"
                                                                               "2026-11-20,PAYMENT - THANK YOU,-50.00\n");
    const Result r =
        fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.signs.startsWith(QStringLiteral("signs: flipped: most lines of this file are positive"))) << r.signs.toStdString();
    EXPECT_TRUE(r.lines[0].contains(QStringLiteral("charge $4.20"))) << r.lines[0].toStdString();
    EXPECT_TRUE(r.lines[2].contains(QStringLiteral("payment -$50.00"))) << r.lines[2].toStdString();
}

TEST_F(ImportCommandLineTest, AFileOfAnotherAccountOfTheRegisterIsRefusedUnlessConfirmed)
{
    for (std::int32_t id : {2, 3}) {
        addAccount(id, 15);
        files->accounts.record.accountNumber = id == 2 ? QStringLiteral("4111 2222 3333 4444") : QStringLiteral("5500 0000 1111 2222");
        ASSERT_TRUE(files->accounts.put().ok());
    }
    const std::vector<OfxLine> lines = {
        {QStringLiteral("20261103"), QStringLiteral("-42.50"), QStringLiteral("A"), QStringLiteral("Bakery")}};
    const QString file =
        test::writeFile(path(QStringLiteral("card2.ofx")),
                        test::ofxFile(test::ofxCardStatement(QStringLiteral("4111222233334444"), lines, false), false).toUtf8());
    Result r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("3")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(
        r.errors.contains(QStringLiteral("The file's account ...4444 is account 2 (Bank 2) of the register, not account 3 (Bank 3).")))
        << r.errors.toStdString();
    EXPECT_TRUE(r.errors.contains(QStringLiteral("Give --account 2, or --other-account-ok"))) << r.errors.toStdString();
    EXPECT_TRUE(transactionsOf(3).empty());
    r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("3"), QStringLiteral("--other-account-ok")});
    EXPECT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(transactionsOf(3).size(), 1u);
    // Into the account it names, nothing is asked.
    r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("2")});
    EXPECT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(transactionsOf(2).size(), 1u);
}

TEST_F(ImportCommandLineTest, AmbiguousCsvDatesAreDecidedByTheOtherDateColumnOrByDateFormat)
{
    addAccount(1, 15);
    const QString ambiguous = test::writeFile(path(QStringLiteral("amb.csv")), "Date,Description,Amount\n"
                                                                               "01/02/2026,Bakery,-4.20\n"
                                                                               "03/04/2026,Bus,-2.00\n");
    const QStringList import{QStringLiteral("--import"), ambiguous, QStringLiteral("--account"), QStringLiteral("1")};
    Result r = fundora(import);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("The dates could be written M/d/yyyy or d/M/yyyy: give --date-format")))
        << r.errors.toStdString();
    r = fundora(import + QStringList{QStringLiteral("--date-format"), QStringLiteral("yyyy-MM-dd")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("The dates are not all written yyyy-MM-dd; they read as M/d/yyyy or d/M/yyyy.")))
        << r.errors.toStdString();
    r = fundora(import + QStringList{QStringLiteral("--date-format"), QStringLiteral("dd/mm")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("--date-format needs one of: yyyy-MM-dd, M/d/yyyy, d/M/yyyy"))) << r.errors.toStdString();
    r = fundora(import + QStringList{QStringLiteral("--date-format"), QStringLiteral("d/M/yyyy"), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.lines[0].contains(QStringLiteral("02/01/2026"))) << "the first of February: " << r.lines[0].toStdString();

    // A second column of dates that only one format reads decides it.
    const QString decided = test::writeFile(path(QStringLiteral("two.csv")), "Posted,Transaction Date,Description,Amount\n"
                                                                             "01/02/2026,31/01/2026,Bakery,-4.20\n"
                                                                             "03/04/2026,02/04/2026,Bus,-2.00\n");
    r = fundora({QStringLiteral("--import"), decided, QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_TRUE(r.lines[0].contains(QStringLiteral("02/01/2026"))) << r.lines[0].toStdString();
}

TEST_F(ImportCommandLineTest, AFullDiskDuringTheImportSaysSoAndWritesNothing)
{
    FUNDORA_SKIP_ON_SERVER(); // the disk's and the files' steps
    addAccount(1, 15);
    const QString file = test::writeFile(path(QStringLiteral("nov.csv")), "Date,Description,Amount\n2026-11-03,Corner Bakery,-4.20\n");
    files->closeAll();
    QProcess p;
    QProcessEnvironment env = test::fileStepEnvironment(QStringLiteral(FUNDORA_STEP_SHIM), QDir(dir()).absolutePath());
    env.insert(QStringLiteral("FUNDORA_STEP_FULL"), QStringLiteral("1")); // every write into the register fails
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(FUNDORA_BIN),
            registerOptions() + QStringList{QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString errors = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("The disk is full: free some space there, then try again."))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("Nothing was imported."))) << errors.toStdString();
    for (core::FileId id : {core::FileId::Accounts, core::FileId::Transactions, importing::importedLinesFile()})
        ASSERT_TRUE(core::acquireFile(*files, id));
    EXPECT_TRUE(transactionsOf(1).empty());
    EXPECT_EQ(rememberedLines(1), 0);
}

// A disk that fails one step of the import (a write, a sync, a rename, a
// removal; with EIO or ENOSPC), at every step in turn: the import is then
// whole or not there at all, its exit status says which, and the balance is
// the sum of the transactions.
TEST_F(ImportCommandLineTest, AStepThatFailsAnywhereLeavesTheWholeImportOrNothing)
{
    FUNDORA_SKIP_ON_SERVER(); // the disk's and the files' steps
    addAccount(1, 15);
    const QString file = test::writeFile(path(QStringLiteral("nov.csv")), "Date,Description,Amount\n2026-11-03,Corner Bakery,-4.20\n");
    files->closeAll();
    const QStringList dataFiles = QDir(dir()).entryList({QStringLiteral("*.TPS")}, QDir::Files);
    auto run = [&](const QString& registerDir, const QString& setting, const QString& value) {
        QProcess p;
        QProcessEnvironment env = test::fileStepEnvironment(QStringLiteral(FUNDORA_STEP_SHIM), registerDir);
        env.insert(setting, value);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(FUNDORA_BIN),
                {QStringLiteral("--dir"), registerDir, QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")});
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
    };
    auto copyOfRegister = [&](QTemporaryDir& to) {
        for (const QString& name : dataFiles)
            EXPECT_TRUE(QFile::copy(QDir(dir()).filePath(name), QDir(to.path()).filePath(name)));
        return QDir(to.path()).absolutePath();
    };
    // The steps of a whole import.
    QTemporaryDir counted;
    const QString log = path(QStringLiteral("steps.log"));
    ASSERT_EQ(run(copyOfRegister(counted), QStringLiteral("FUNDORA_STEP_LOG"), log).first, 0);
    const QStringList stepNames = QString::fromUtf8(test::readAll(log)).split(u'\n', Qt::SkipEmptyParts);
    const int steps = static_cast<int>(stepNames.size());
    ASSERT_GT(steps, 5);
    int failed = 0;
    for (int step = 1; step <= steps; step += test::stepStride()) {
        QTemporaryDir work;
        const QString registerDir = copyOfRegister(work);
        const auto [status, errors] =
            run(registerDir, QStringLiteral("FUNDORA_STEP_FAIL"), QStringLiteral("%1:%2").arg(step).arg(step % 2 ? "EIO" : "ENOSPC"));
        ASSERT_TRUE(status == 0 || status == 1) << "step " << step << ": " << errors.toStdString();
        failed += status == 1;
        core::DataFiles after(registerDir);
        core::AccountFileUses uses(after);
        core::FileUse imported(after, importing::importedLinesFile());
        ASSERT_TRUE(uses.ok() && imported.ok()) << "step " << step;
        int count = 0;
        platform::Decimal sum = test::money("0.00");
        after.transactions.clear();
        after.transactions.set(core::TraSysIDKey);
        while (after.transactions.next().ok()) {
            ++count;
            sum += after.transactions.record.transactionAmount;
        }
        core::Account account;
        ASSERT_TRUE(after.readAccount(1, account).ok());
        EXPECT_EQ(account.accountBalance, sum.rounded(2)) << "step " << step;
        EXPECT_EQ(count, status == 0 ? 1 : 0) << "step " << stepNames[step - 1].toStdString() << " (exit " << status
                                              << "): " << errors.toStdString();
        EXPECT_TRUE(status == 0 || !errors.isEmpty()) << "step " << step << " failed without a word";
    }
    EXPECT_GT(failed, 0) << "no failing step was noticed";
}

TEST_F(ImportCommandLineTest, ADryRunListsEveryLineAndWritesNothingTheImportThenWritesThem)
{
    addAccount(1, 15);
    book(1, test::day(2026, 11, 1), "C", "42.50", QStringLiteral("Bakery"));
    const QString file = statement();
    Result r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--dry-run")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    ASSERT_EQ(r.lines.size(), 4);
    EXPECT_TRUE(r.lines[0].endsWith(
        QStringLiteral("11/03/2026 charge $42.50 \"Corner Bakery\": matched (matches the entry of 11/01/2026 \"Bakery\")")))
        << r.lines[0].toStdString();
    EXPECT_TRUE(r.lines[1].endsWith(QStringLiteral("11/30/2026 payment -$100.00 \"Payment\": new")));
    EXPECT_TRUE(r.lines[2].endsWith(QStringLiteral("\"Card sent\": refused (the amount is 0.00)")));
    EXPECT_TRUE(r.lines[0].startsWith(QStringLiteral("line ")));
    EXPECT_EQ(r.lines[3],
              QStringLiteral("3 lines: 1 new, 0 duplicate, 1 matched, 1 refused; balance $42.50 -> -$57.50; dry run, nothing written"));
    EXPECT_EQ(transactionsOf(1).size(), 1u);
    EXPECT_EQ(rememberedLines(1), 0);

    r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(r.lines.last(),
              QStringLiteral("3 lines: 1 new, 0 duplicate, 1 matched, 1 refused; balance $42.50 -> -$57.50; 1 added, 1 linked"));
    EXPECT_EQ(transactionsOf(1).size(), 2u);
    EXPECT_EQ(balanceOf(1), test::money("-57.50"));
    expectBalanceRule(1);

    r = fundora({QStringLiteral("--import"), file, QStringLiteral("--account"), QStringLiteral("1")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.lines.last(),
              QStringLiteral("3 lines: 0 new, 2 duplicate, 0 matched, 1 refused; balance -$57.50 -> -$57.50; 0 added, 0 linked"));
    EXPECT_EQ(transactionsOf(1).size(), 2u);
}

TEST_F(ImportCommandLineTest, FlipSignsTurnsTheBanksSignsForThisRun)
{
    addAccount(1, 15);
    const Result r = fundora(
        {QStringLiteral("--import"), statement(), QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--flip-signs")});
    ASSERT_EQ(r.status, 0) << r.errors.toStdString();
    EXPECT_EQ(balanceOf(1), test::money("57.50"));
    expectBalanceRule(1);
}

TEST_F(ImportCommandLineTest, ABadFileExitsOneAndWritesNothingWrongArgumentsExitTwo)
{
    addAccount(1, 15);
    const QString bad = test::writeFile(
        path(QStringLiteral("bad.ofx")),
        test::ofxFile(test::ofxCardStatement(
                          QStringLiteral("4444"),
                          {{QStringLiteral("20261103"), QStringLiteral("12.345"), QStringLiteral("A"), QStringLiteral("Shoes")}}, false),
                      false)
            .toUtf8());
    Result r = fundora({QStringLiteral("--import"), bad, QStringLiteral("--account"), QStringLiteral("1")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("<TRNAMT> \"12.345\" is not an amount"))) << r.errors.toStdString();
    EXPECT_TRUE(r.errors.contains(QStringLiteral("Nothing was imported.")));
    EXPECT_TRUE(r.lines.isEmpty());
    EXPECT_TRUE(transactionsOf(1).empty());

    r = fundora({QStringLiteral("--import"), path(QStringLiteral("missing.ofx")), QStringLiteral("--account"), QStringLiteral("1")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("There is no file")));

    r = fundora({QStringLiteral("--import"), statement(), QStringLiteral("--account"), QStringLiteral("7")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("there is no account with SysID 7")));
    r = fundora({QStringLiteral("--import"), statement()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("--account is needed")));
    r = fundora({QStringLiteral("--import"), statement(), QStringLiteral("--account"), QStringLiteral("one")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(
        QStringLiteral("usage: fundora [--dir DIR | --server URI] --import FILE --account SYSID [--dry-run] [--flip-signs]")));
    r = fundora({QStringLiteral("--import"), statement(), QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--force")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("Unknown argument --force.")));
    EXPECT_TRUE(transactionsOf(1).empty());
}

} // namespace
