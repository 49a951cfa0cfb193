#include "reports/ReportGenerator.h"

#include "core/GlobalState.h"
#include "core/StandardWarning.h"

namespace fundora::reports {

namespace {

QString fileLabel(core::FileId id)
{
    return id == core::FileId::Accounts ? QStringLiteral("Accounts") : QStringLiteral("Transactions");
}

} // namespace

platform::FilterBindings reportBindings()
{
    platform::FilterBindings names;
    names.bind(QStringLiteral("GLO:CurrentSysid"), [] { return platform::FieldValue{std::int64_t{core::glo().currentSysid}}; });
    names.bind(QStringLiteral("GLO:CurrentStatement"), [] { return platform::FieldValue{std::int64_t{core::glo().currentStatementId}}; });
    names.bind(QStringLiteral("GLO:LowDate"), [] { return platform::FieldValue{std::int64_t{core::glo().lowDate}}; });
    names.bind(QStringLiteral("GLO:HighDate"), [] { return platform::FieldValue{std::int64_t{core::glo().highDate}}; });
    return names;
}

ReportGenerator::ReportGenerator(core::DataFiles& files, Report& report, platform::PageQueue& pages)
    : m_files(files), m_report(report), m_selection(report.selection()), m_pages(pages), m_bands(pages, report)
{
}

ReportGenerator::~ReportGenerator() = default;

ReportGenerator::Start ReportGenerator::start()
{
    const ReportSelection& s = m_selection;
    platform::DataFile& file = m_files.file(s.primary);
    m_recordsToProcess = 25;
    if (!s.estimateOf25) {
        std::int64_t n = 0;
        if (file.count(n).ok())
            m_recordsToProcess = n;
    }
    m_recordsProcessed = 0;
    m_percent = 0;
    m_view = std::make_unique<platform::View>(file, s.key);
    m_view->setReadAhead(256);
    if (s.currentAccountOnly) {
        platform::Record account = platform::Record::blank(file.def());
        const auto& part = file.def().keys.at(static_cast<std::size_t>(s.key)).parts.front();
        account.values.at(static_cast<std::size_t>(part.field)) = std::int64_t{core::glo().currentSysid};
        m_view->setRange(account, 1);
    }
    const platform::FileError e = m_view->setFilter(s.filter, reportBindings());
    if (!e.ok()) {
        m_files.savedError.save(e);
        core::standardWarning(m_files, core::Warning::ViewOpenError);
        return Start::Failed;
    }
    m_view->toStart();
    m_report.begin(m_files);
    m_pages.appendRow(m_report.csvHeader());
    return readNext() ? Start::Ready : Start::Empty;
}

bool ReportGenerator::readNext()
{
    m_haveRecord = false;
    const platform::FileError e = m_view->next(m_record);
    if (!e.ok()) {
        if (e.code != 33) {
            m_files.savedError.save(e);
            core::standardWarning(m_files, core::Warning::RecordRetrievalError, fileLabel(m_selection.primary));
        }
        return false;
    }
    m_haveRecord = true;
    ++m_recordsProcessed;
    if (m_percent < 100 && m_recordsToProcess > 0)
        m_percent = static_cast<int>(std::min<std::int64_t>(100, m_recordsProcessed * 100 / m_recordsToProcess));
    else if (m_recordsToProcess <= 0)
        m_percent = 100;
    return true;
}

bool ReportGenerator::runBatch(int records)
{
    for (int n = 0; n < records && m_haveRecord; ++n) {
        m_report.take(m_record);
        if (!m_bands.detail()) {
            m_error = m_bands.error();
            m_haveRecord = false;
            return true;
        }
        m_pages.appendRow(m_report.csvRow());
        if (!readNext())
            m_completed = true;
    }
    return !m_haveRecord;
}

bool ReportGenerator::finish(bool complete)
{
    bool ok = true;
    if (complete && m_recordsProcessed > 0) {
        ok = m_bands.groupFooter();
        for (const QStringList& row : m_report.csvTotals())
            m_pages.appendRow(row);
    }
    ok = m_bands.endPage() && ok;
    m_pages.finishRows();
    if (!ok && m_error.isEmpty())
        m_error = m_bands.error();
    return ok;
}

ReportGenerator::Start ReportGenerator::runToEnd()
{
    const Start s = start();
    if (s != Start::Ready)
        return s;
    while (!runBatch(1000)) {
    }
    if (!finish(true) && m_error.isEmpty())
        m_error = QStringLiteral("the last page could not be written");
    return s;
}

ReportFiles::ReportFiles(core::DataFiles& files, const ReportSelection& selection)
{
    for (core::FileId id : selection.files) {
        m_uses.push_back(std::make_unique<core::FileUse>(files, id));
        if (!m_uses.back()->ok()) {
            m_ok = false;
            return;
        }
    }
}

QString progressText(ProgressForm form, int percent, std::int64_t records, const QString& percentText, const QString& recordText)
{
    if (form == ProgressForm::RecordCount)
        return QStringLiteral("%1 %2").arg(records).arg(recordText);
    return QStringLiteral("%1").arg(percent, 3) + percentText;
}

} // namespace fundora::reports
