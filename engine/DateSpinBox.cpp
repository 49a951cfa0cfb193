#include "engine/DateSpinBox.h"

#include "platform/Clock.h"
#include "platform/pictures/Picture.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

namespace fundora::engine {

namespace {

std::optional<int> dayOf(const QString& text)
{
    const std::optional<std::int64_t> d = platform::DatePicture{2}.deformat(text);
    if (!d || *d < DateSpinBox::FirstDay || *d > DateSpinBox::LastDay)
        return std::nullopt;
    return static_cast<int>(*d);
}

} // namespace

DateSpinBox::DateSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setRange(FirstDay, LastDay);
    setProperty("picture", QStringLiteral("d2"));
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setToolTip(QStringLiteral("Enter a date as mm/dd/yyyy, from 01/01/1801 to 12/31/2099"));
}

QString DateSpinBox::textFromValue(int value) const
{
    return platform::DatePicture{2}.format(value);
}

int DateSpinBox::valueFromText(const QString& text) const
{
    return dayOf(text).value_or(value());
}

QValidator::State DateSpinBox::validate(QString& text, int&) const
{
    if (dayOf(text))
        return QValidator::Acceptable;
    // Digits and separators may still become a date.
    for (QChar c : text)
        if (!c.isDigit() && c != u'/' && c != u'-' && c != u'.')
            return QValidator::Invalid;
    return QValidator::Intermediate;
}

void DateSpinBox::fixup(QString& text) const
{
    if (dayOf(text))
        return;
    QApplication::beep();
    text = textFromValue(value());
    // Selected again once the spin box has put the text back.
    QTimer::singleShot(0, const_cast<DateSpinBox*>(this), [box = const_cast<DateSpinBox*>(this)] {
        box->setFocus();
        box->selectAll();
    });
}

} // namespace fundora::engine
