#pragma once

#include "core/OpenFile.h"
#include "statements/CycleInterest.h"
#include "transactions/AccountFigure.h"

namespace fundora::statements {

// "$14.57 (estimate)": the interest of the cycle as the lists show it.
QString estimateText(const CycleInterest& interest);

// The interest of the card's cycle beside its current transactions, with its
// breakdown on request. Holds the statements file open while the window is.
class CycleInterestFigure final : public transactions::AccountFigure {
public:
    explicit CycleInterestFigure(core::DataFiles& files);

    QString prompt() const override { return QStringLiteral("Interest This Cycle"); }
    std::optional<Value> valueFor(const core::Account& account, platform::DayNumber today) override;

private:
    core::DataFiles& m_files;
    core::FileUses m_uses;
};

} // namespace fundora::statements
