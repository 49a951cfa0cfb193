#include "engine/ListLocator.h"

#include "core/KeyStepping.h"

namespace fundora::engine {

ListLocator::ListLocator(const platform::FileDef& def, int field) : m_field(field)
{
    const platform::FieldDef& f = def.fields[static_cast<std::size_t>(field)];
    m_text = f.type == platform::FieldType::String || f.type == platform::FieldType::Memo;
    m_width = f.size;
}

QChar ListLocator::leadingCharacter(const platform::Record& r) const
{
    const QString s = m_text ? r.text(m_field) : QString::number(r.integer(m_field));
    return s.isEmpty() ? QChar() : s[0].toUpper();
}

platform::Record ListLocator::seekRecord(platform::Record from, QChar typed) const
{
    if (m_text)
        from.values[static_cast<std::size_t>(m_field)] = QString(typed);
    else
        from.values[static_cast<std::size_t>(m_field)] = std::int64_t{typed.isDigit() ? typed.digitValue() : 0};
    return from;
}

std::vector<QString> ListLocator::thumbStops(platform::View& view, int count) const
{
    platform::Record high, low;
    if (!view.previous(high).ok())
        return {};
    view.toStart();
    if (!view.next(low).ok())
        return {};
    core::KeyStepper stepper;
    stepper.setup(low.text(m_field), high.text(m_field), m_width, core::KeyStepper::Letters);
    std::vector<QString> stops;
    for (int i = 0; i < count; ++i)
        stops.push_back(stepper.next());
    return stops;
}

} // namespace fundora::engine
