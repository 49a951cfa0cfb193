#include "statements/CycleInterestFigure.h"

#include "platform/pictures/Picture.h"
#include "statements/StatementRecords.h"

namespace fundora::statements {

QString estimateText(const CycleInterest& interest)
{
    return interest.estimated ? platform::formatPicture(interest.interest, u"n$10.2").trimmed() + QStringLiteral(" (estimate)") : QString();
}

CycleInterestFigure::CycleInterestFigure(core::DataFiles& files) : m_files(files), m_uses(files, {statementsFile()})
{
}

std::optional<transactions::AccountFigure::Value> CycleInterestFigure::valueFor(const core::Account& account, platform::DayNumber today)
{
    CycleInterest interest;
    if (!m_uses.ok() || !cycleInterestOf(m_files, account, today, interest).ok())
        return std::nullopt;
    return Value{estimateText(interest), interest.estimated ? interest.breakdown() : QString()};
}

} // namespace fundora::statements
