#pragma once

#include "core/DataFiles.h"

#include <QDialog>

namespace fundora::engine {
class DateSpinBox;
}

namespace fundora::reports {

using engine::DateSpinBox;

// UpdateDates: edits the report date range GLO:LowDate to GLO:HighDate in
// place. OK and Cancel both close it, and what was entered stays either way.
class UpdateDatesWindow final : public QDialog {
    Q_OBJECT
public:
    explicit UpdateDatesWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~UpdateDatesWindow() override;

    DateSpinBox* startDate() const { return m_low; }
    DateSpinBox* endDate() const { return m_high; }

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    core::DataFiles& m_files;
    bool m_holdsFiles = false;
    DateSpinBox* m_low;
    DateSpinBox* m_high;
};

} // namespace fundora::reports
