#pragma once

#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "platform/Dates.h"
#include "platform/report/ReportManager.h"
#include "platform/report/ReportOutput.h"
#include "reports/ReportRun.h"
#include "tests/core/CoreFixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QPointer>
#include <QProcess>

#include <deque>

namespace fundora::test {

// The report manager of the tests: answers the destination dialog from a
// queue (Cancelled when empty, and counted) and, instead of the preview,
// keeps what it was handed: the page count, every page's texts, and a PDF
// and the CSV rows when asked for.
class ScriptedReportManager final : public platform::ReportManager {
public:
    platform::ReportDestination chooseDestination(platform::ReportJob& job) override
    {
        ++asked;
        if (beforeAnswer)
            beforeAnswer();
        if (answers.empty()) {
            ++unexpected;
            return platform::ReportDestination::Cancelled;
        }
        const platform::ReportDestination d = answers.front();
        answers.pop_front();
        job.pdfFile = pdfFile;
        return d;
    }
    int present(const platform::ReportJob& job, platform::ReportDestination destination, const platform::PageQueue& pages) override
    {
        ++presented;
        lastDestination = destination;
        lastTitle = job.title;
        pageCount = pages.count();
        texts.clear();
        for (int i = 0; i < pages.count(); ++i)
            if (const auto page = pages.page(i))
                texts << page->texts();
        pageFiles = pages.files();
        if (!pdfFile.isEmpty())
            platform::writePdf(pages, pdfFile, job.title, nullptr);
        if (!csvFile.isEmpty())
            platform::writeRows(pages, csvFile, nullptr);
        return presentResult;
    }

    std::deque<platform::ReportDestination> answers;
    std::function<void()> beforeAnswer;
    QString pdfFile;
    QString csvFile;
    int presentResult = 1;
    int asked = 0;
    int unexpected = 0;
    int presented = 0;
    int pageCount = 0;
    QString lastTitle;
    QStringList texts;
    QStringList pageFiles;
    platform::ReportDestination lastDestination = platform::ReportDestination::Cancelled;
};

// A program directory with accounts and transactions to report on, and the
// scripted report manager installed.
class ReportTest : public CoreTest {
protected:
    void SetUp() override
    {
        CoreTest::SetUp();
        // The program works in its program directory (the display strings file is there).
        m_home = QDir::currentPath();
        QDir::setCurrent(dir());
        core::resetGlobalState();
        manager = std::make_shared<ScriptedReportManager>();
        platform::ReportManager::install(manager);
    }
    void TearDown() override
    {
        reports::ReportRun::setAutoRun(true);
        platform::ReportManager::install(nullptr);
        QDir::setCurrent(m_home);
        CoreTest::TearDown();
    }

    static platform::DayNumber day(int y, int m, int d) { return platform::dayNumberOf(y, m, d); }

    core::Account& addAccount(std::int32_t id, const QString& vendor, const char* balance = "0.00", const char* limit = "1000.00")
    {
        core::FileUse use(*files, core::FileId::Accounts);
        core::Account a;
        a.sysId = id;
        a.creditCardVendor = vendor;
        a.cardType = QStringLiteral("V");
        a.accountNumber = QStringLiteral("4000-%1").arg(id, 4, 10, QChar(u'0'));
        a.vendorCity = QStringLiteral("Springfield");
        a.vendorState = QStringLiteral("IL");
        a.vendorZip = QStringLiteral("62701");
        a.billingDay = 14;
        a.interestRate = *platform::Decimal::parse(u"18.9");
        a.accountBalance = *platform::Decimal::parse(QString::fromLatin1(balance));
        a.creditLimit = *platform::Decimal::parse(QString::fromLatin1(limit));
        files->accounts.record = a;
        EXPECT_TRUE(files->accounts.add().ok());
        return files->accounts.record;
    }
    void putAccount(const core::Account& a)
    {
        core::FileUse use(*files, core::FileId::Accounts);
        files->accounts.record.sysId = a.sysId;
        ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
        const platform::RecordIdentity identity = files->accounts.record.identity;
        files->accounts.record = a;
        files->accounts.record.identity = identity;
        ASSERT_TRUE(files->accounts.put().ok());
    }
    void addTransaction(std::int32_t account, platform::DayNumber date, const char* type, const QString& text, const char* amount,
                        bool reconciled = false)
    {
        core::FileUse use(*files, core::FileId::Transactions);
        files->transactions.clear();
        files->transactions.record.sysId = account;
        files->transactions.record.dateofTransaction = date;
        files->transactions.record.transactionType = QString::fromLatin1(type);
        files->transactions.record.transactionDescription = text;
        files->transactions.record.transactionAmount = *platform::Decimal::parse(QString::fromLatin1(amount));
        files->transactions.record.reconciledTransaction = reconciled ? 1 : 0;
        ASSERT_TRUE(files->transactions.add().ok());
    }
    // Makes the account current, as the accounts list does when it is highlighted.
    void makeCurrent(std::int32_t id)
    {
        core::FileUse use(*files, core::FileId::Accounts);
        core::glo().currentSysid = id;
        files->accounts.record.sysId = id;
        ASSERT_TRUE(files->accounts.get(core::AccSysIDKey).ok());
    }
    // Runs a report to the end through the scripted manager (preview chosen).
    void runToEnd(std::unique_ptr<reports::Report> report)
    {
        manager->answers.push_back(platform::ReportDestination::Preview);
        const int presented = manager->presented;
        QPointer<reports::ReportRun> run = reports::ReportRun::start(*files, std::move(report));
        while (run && manager->presented == presented)
            run->runBatch();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    std::shared_ptr<ScriptedReportManager> manager;

private:
    QString m_home;
};

// The text of a PDF as pdftotext reads it (in reading order, layout kept).
inline QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed: %1>").arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace fundora::test
