// fundora --print as a batch job runs it: a separate process on the program
// directory, its exit status, its standard error and the file it leaves.
#include "reports/ReportCommandLine.h"
#include "core/OpenFile.h"
#include "tests/reports/ReportFixture.h"

#include <tuple>

using namespace fundora;

namespace {

class ReportCommandLineTest : public test::ReportTest {
protected:
    struct Result {
        int status = -1;
        QString errors;
    };
    Result fundora(QStringList arguments)
    {
        files->closeAll();
        QProcess p;
        p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        p.start(QStringLiteral(FUNDORA_BIN), registerOptions() + arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardError())};
    }
};

TEST_F(ReportCommandLineTest, AReportGoesIntoItsPdfOrCsvAndNothingElseIsAsked)
{
    addAccount(1, QStringLiteral("Alpha Bank"), "12.00");
    addTransaction(1, day(2026, 3, 1), "C", QStringLiteral("Spring coat"), "120.00");
    addTransaction(1, day(2026, 3, 31), "C", QStringLiteral("Last of March"), "5.00");
    addTransaction(1, day(2026, 4, 1), "C", QStringLiteral("April"), "7.00");
    const QString pdf = path(QStringLiteral("out.pdf"));
    Result r = fundora({QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_TRUE(test::pdfText(pdf).contains(QStringLiteral("Alpha Bank")));

    const QString csv = path(QStringLiteral("out.csv"));
    r = fundora({QStringLiteral("--print"), QStringLiteral("purchases"), QStringLiteral("--csv"), csv, QStringLiteral("--account"),
                 QStringLiteral("1"), QStringLiteral("--from"), QStringLiteral("03/01/2026"), QStringLiteral("--to"),
                 QStringLiteral("03/31/2026")});
    EXPECT_EQ(r.status, 0) << r.errors;
    EXPECT_EQ(QString::fromUtf8(test::readAll(csv)), QStringLiteral("Date,Description,Type,Amount\r\n"
                                                                    "03/01/2026,Spring coat,Charge,120.00\r\n"
                                                                    "03/31/2026,Last of March,Charge,5.00\r\n"
                                                                    ",Total for 03/01/2026 through 03/31/2026,,125.00\r\n"));
}

TEST_F(ReportCommandLineTest, DescriptionsThatASpreadsheetWouldRunStayTextAndTheFilesArePrivate)
{
    addAccount(1, QStringLiteral("Alpha Bank"));
    const char* hostile[] = {
        "=HYPERLINK(\"http://x\",\"y\")", "+cmd|' /C calc'!A0", "-1+1", "@SUM(A1:A9)", "\tTabbed", "\rReturned", "Plain -1"};
    int d = 1;
    for (const char* text : hostile)
        addTransaction(1, day(2026, 3, d++), "C", QString::fromUtf8(text), "1.00");
    addTransaction(1, day(2026, 3, d), "P", QStringLiteral("Payment"), "-25.00");
    const QString csv = path(QStringLiteral("out.csv"));
    const Result r = fundora({QStringLiteral("--print"), QStringLiteral("open"), QStringLiteral("--csv"), csv, QStringLiteral("--account"),
                              QStringLiteral("1")});
    ASSERT_EQ(r.status, 0) << r.errors;
    const QStringList lines = QString::fromUtf8(test::readAll(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList expected{QStringLiteral("\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""),
                               QStringLiteral("'+cmd|' /C calc'!A0"),
                               QStringLiteral("'-1+1"),
                               QStringLiteral("'@SUM(A1:A9)"),
                               QStringLiteral("'\tTabbed"),
                               QStringLiteral("\"'\rReturned\""),
                               QStringLiteral("Plain -1")};
    for (const QString& cell : expected)
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(u',' + cell + u','); }))
            << cell << " in " << lines.join(u'|');
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral(",-18.00"))) << "numbers stay numbers: " << lines.last();
    EXPECT_EQ(QFile(csv).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    const QString pdf = path(QStringLiteral("out.pdf"));
    ASSERT_EQ(fundora({QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--pdf"), pdf}).status, 0);
    EXPECT_EQ(QFile(pdf).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
}

TEST_F(ReportCommandLineTest, HelpVersionAndUnknownOptionsAnswerWithoutMakingAnythingAndPathsAreTheCallers)
{
    const QString start = path(QStringLiteral("start"));
    QDir().mkpath(start);
    auto run = [&](const QStringList& arguments) {
        QProcess p;
        p.setWorkingDirectory(start);
        p.start(QStringLiteral(FUNDORA_BIN), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::tuple{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
                          QString::fromLocal8Bit(p.readAllStandardError())};
    };
    for (const char* help : {"--help", "-h"}) {
        const auto [status, out, err] = run({QString::fromLatin1(help)});
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(out.startsWith(QStringLiteral("usage: fundora"))) << out;
        EXPECT_TRUE(out.contains(QStringLiteral("--import FILE"))) << out;
    }
    const auto [versionStatus, version, versionErr] = run({QStringLiteral("--version")});
    EXPECT_EQ(versionStatus, 0);
    EXPECT_TRUE(version.startsWith(QStringLiteral("fundora 0."))) << version;
    const auto [unknownStatus, unknownOut, unknown] = run({QStringLiteral("--frobnicate")});
    EXPECT_EQ(unknownStatus, 2);
    EXPECT_TRUE(unknown.contains(QStringLiteral("unknown option --frobnicate"))) << unknown;
    EXPECT_TRUE(QDir(start).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty()) << "nothing was made";

    // A sample register in a directory named relative to the start, made once and never over a register.
    const auto [sampleStatus, sampleOut, sampleErr] = run({QStringLiteral("--sample"), QStringLiteral("tour")});
    EXPECT_EQ(sampleStatus, 0) << sampleErr;
    EXPECT_TRUE(sampleOut.contains(QStringLiteral("Open it with: fundora --dir ") + start + QStringLiteral("/tour"))) << sampleOut;
    EXPECT_EQ(QFile(start + QStringLiteral("/tour")).permissions() & 0x0077, 0) << "nobody else may enter it";
    const auto [againStatus, againOut, again] = run({QStringLiteral("--sample"), QStringLiteral("tour")});
    EXPECT_EQ(againStatus, 1);
    EXPECT_TRUE(again.contains(QStringLiteral("already holds a register"))) << again;

    // A relative output path is the caller's, not the register's.
    addAccount(1, QStringLiteral("Alpha Bank"));
    files->closeAll();
    QDir().mkpath(start + QStringLiteral("/out"));
    const auto [printed, printOut, printErr] = run(registerOptions() + QStringList{QStringLiteral("--print"), QStringLiteral("accounts"),
                                                                                   QStringLiteral("--csv"), QStringLiteral("out/a.csv")});
    EXPECT_EQ(printed, 0) << printErr;
    EXPECT_TRUE(QFile::exists(start + QStringLiteral("/out/a.csv")));
    const auto [reversed, reversedOut, reversedErr] = run(
        registerOptions() + QStringList{QStringLiteral("--print"), QStringLiteral("history"), QStringLiteral("--csv"),
                                        QStringLiteral("h.csv"), QStringLiteral("--account"), QStringLiteral("1"), QStringLiteral("--from"),
                                        QStringLiteral("12/31/2026"), QStringLiteral("--to"), QStringLiteral("01/01/2026")});
    EXPECT_EQ(reversed, 2) << "a reversed range is a wrong argument";
    EXPECT_TRUE(reversedErr.contains(QStringLiteral("--from must not come after --to"))) << reversedErr;
}

TEST_F(ReportCommandLineTest, WithoutDirTheProgramWorksOnTheUsersOwnRegisterTheSameEveryTime)
{
    const QString home = path(QStringLiteral("home")), data = path(QStringLiteral("data"));
    QDir().mkpath(home);
    auto run = [&](const QStringList& arguments, const QString& fundoraDir = {}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home);
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.remove(QStringLiteral("FUNDORA_DIR"));
        if (!fundoraDir.isEmpty())
            env.insert(QStringLiteral("FUNDORA_DIR"), fundoraDir);
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(home);
        p.start(QStringLiteral(FUNDORA_BIN), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return QString::fromLocal8Bit(p.readAllStandardError());
    };
    const QString csv = path(QStringLiteral("accounts.csv"));
    const QStringList print{QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--csv"), csv};
    run(print); // the first start makes the register
    const QString registerDir = data + QStringLiteral("/fundora");
    ASSERT_TRUE(QFileInfo::exists(registerDir + QStringLiteral("/ACCOUNTS.TPS"))) << registerDir;
    EXPECT_EQ(QFile(registerDir).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::ExeOther),
              QFileDevice::Permissions())
        << "the register is the user's alone";
    EXPECT_TRUE(QDir(home).entryList(QDir::Files).isEmpty()) << "nothing is scattered where the program was started";
    {
        // Something saved in the register...
        core::DataFiles other(registerDir);
        ASSERT_TRUE(core::acquireFile(other, core::FileId::Accounts));
        other.accounts.clear();
        other.accounts.record.sysId = 7;
        other.accounts.record.creditCardVendor = QStringLiteral("Saved Yesterday Bank");
        ASSERT_TRUE(other.accounts.add().ok());
    }
    // ...is there at the next start.
    const QString err = run(print);
    EXPECT_TRUE(QString::fromUtf8(test::readAll(csv)).contains(QStringLiteral("Saved Yesterday Bank"))) << err;
    // FUNDORA_DIR wins over the default, and --dir over both.
    const QString named = path(QStringLiteral("named"));
    run(print, named);
    EXPECT_TRUE(QFileInfo::exists(named + QStringLiteral("/ACCOUNTS.TPS")));
    addAccount(1, QStringLiteral("Given With Dir Bank"));
    files->closeAll();
    run(registerOptions() + print, named);
    const QString printed = QString::fromUtf8(test::readAll(csv));
    EXPECT_TRUE(printed.contains(QStringLiteral("Given With Dir Bank"))) << printed;
    EXPECT_FALSE(printed.contains(QStringLiteral("Saved Yesterday Bank"))) << printed;
}

TEST_F(ReportCommandLineTest, PagesThatCannotBeKeptAreSaidNotTakenForAnEmptyReport)
{
    addAccount(1, QStringLiteral("Alpha Bank"));
    files->closeAll();
    // The private place for the pages is taken by a file.
    const QString runtime = path(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    test::writeAll(runtime + QStringLiteral("/fundora-report"), "in the way");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    QProcess p;
    p.setProcessEnvironment(env);
    const QString pdf = path(QStringLiteral("out.pdf"));
    p.start(QStringLiteral(FUNDORA_BIN),
            registerOptions() + QStringList{QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("No private directory for the report's pages could be made"))) << errors;
    EXPECT_FALSE(errors.contains(QStringLiteral("Nothing to Preview"))) << errors;
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportCommandLineTest, NothingToReportExitsWithOneAndWritesNoFile)
{
    addAccount(2, QStringLiteral("Quiet Card"));
    const QString pdf = path(QStringLiteral("none.pdf"));
    const Result r = fundora({QStringLiteral("--print"), QStringLiteral("history"), QStringLiteral("--pdf"), pdf,
                              QStringLiteral("--account"), QStringLiteral("2")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("Nothing to Preview."))) << r.errors;
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST_F(ReportCommandLineTest, WrongArgumentsExitWithTwoAndSayWhatIsAccepted)
{
    addAccount(3, QStringLiteral("Some Card"));
    const QString pdf = path(QStringLiteral("x.pdf"));
    const QStringList wrong[] = {
        {QStringLiteral("--print"), QStringLiteral("everything"), QStringLiteral("--pdf"), pdf},
        {QStringLiteral("--print"), QStringLiteral("accounts")},
        {QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--pdf"), pdf, QStringLiteral("--csv"), pdf},
        {QStringLiteral("--print"), QStringLiteral("open"), QStringLiteral("--pdf"), pdf},
        {QStringLiteral("--print"), QStringLiteral("open"), QStringLiteral("--pdf"), pdf, QStringLiteral("--account"), QStringLiteral("x")},
        {QStringLiteral("--print"), QStringLiteral("history"), QStringLiteral("--pdf"), pdf, QStringLiteral("--account"),
         QStringLiteral("3"), QStringLiteral("--from"), QStringLiteral("13/45/2026"), QStringLiteral("--to"), QStringLiteral("01/01/2026")},
        {QStringLiteral("--print"), QStringLiteral("history"), QStringLiteral("--pdf"), pdf, QStringLiteral("--account"),
         QStringLiteral("3"), QStringLiteral("--from"), QStringLiteral("01/01/2026")},
        {QStringLiteral("--print"), QStringLiteral("accounts"), QStringLiteral("--pdf"), pdf, QStringLiteral("--bogus")},
    };
    for (const QStringList& args : wrong) {
        QString error;
        EXPECT_FALSE(reports::parseReportCommand(QStringList{QStringLiteral("fundora")} + args, &error)) << args.join(u' ');
        EXPECT_TRUE(error.contains(QStringLiteral("REPORT is one of: accounts, open, history, purchases, payments"))) << error;
    }
    const Result r = fundora(wrong[3]);
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.errors.contains(QStringLiteral("The open report needs --account SYSID."))) << r.errors;
    // An account that does not exist is a wrong argument too.
    const Result missing = fundora({QStringLiteral("--print"), QStringLiteral("open"), QStringLiteral("--pdf"), pdf,
                                    QStringLiteral("--account"), QStringLiteral("99")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_TRUE(missing.errors.contains(QStringLiteral("no account with SysID 99"))) << missing.errors;
    EXPECT_FALSE(QFile::exists(pdf));
}

} // namespace
