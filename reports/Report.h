#pragma once

#include "core/DataFiles.h"
#include "platform/report/ReportPage.h"
#include "platform/store/Record.h"

#include <QRect>
#include <QStringList>

#include <vector>

namespace fundora::reports {

// How the progress window counts.
enum class ProgressForm { Percentage, RecordCount };

// What a report reads: one view over its primary file, in a key order, through
// a filter that may name the globals GLO:CurrentSysid, GLO:LowDate and GLO:HighDate.
struct ReportSelection {
    core::FileId primary = core::FileId::Accounts;
    int key = 0;
    // The key's first component fixed to the current account (GLO:CurrentSysid): the view reads
    // that account's records alone, every batch seeking to where the last one ended. The filter
    // then holds only what the key does not answer.
    bool currentAccountOnly = false;
    QString filter;
    std::vector<core::FileId> files; // every file the report opens (the primary first)
    bool estimateOf25 = false;       // RecordsToProcess: 25, or the primary file's record count
    ProgressForm progress = ProgressForm::Percentage;
};

// How a report's page header, detail lines, group footer and page footer are
// drawn (in layout units from the paper's corner; bands from their own
// top-left corner). BandedPages lays them out.
class BandLayout {
public:
    virtual ~BandLayout() = default;

    virtual QRect detailArea() const = 0;
    virtual int detailHeight() const = 0;
    virtual int groupFooterHeight() const = 0;
    virtual void pageHeader(platform::ReportPage& page) const = 0;
    virtual void pageFooter(platform::ReportPage& page, int pageNumber) const = 0;
    virtual void detail(platform::ReportPage& page, const QPoint& origin) const = 0;
    virtual void groupFooter(platform::ReportPage& page, const QPoint& origin) const = 0;
};

// One report over the register: what it selects, what it works out for each
// record, and its bands. The same rows go to CSV.
class Report : public BandLayout {
public:
    virtual QString procedure() const = 0; // "PrintFundora"
    virtual QString title() const = 0;     // the report's printed title
    virtual ReportSelection selection() const = 0;

    // Once, after the files are open and before the first record.
    virtual void begin(core::DataFiles& files) = 0;
    // The next record that passed the filter: keep it and work out its values.
    virtual void take(const platform::Record& record) = 0;

    virtual QStringList csvHeader() const = 0;
    virtual QStringList csvRow() const = 0;
    // Rows after the last record (the totals); none when there are none.
    virtual std::vector<QStringList> csvTotals() const = 0;
};

// The page number as the footers print it ("pPage <<<#p").
QString pageNumberText(int page);

// Shorthands the layouts use.
inline platform::ReportFont font(int points, bool bold = false)
{
    platform::ReportFont f;
    f.pointSize = points;
    f.bold = bold;
    return f;
}

} // namespace fundora::reports
