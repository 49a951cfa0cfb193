#include "core/PopupKeys.h"

#include "platform/Clock.h"
#include "platform/pictures/Picture.h"
#include "platform/ui/PopupCalculator.h"
#include "platform/ui/PopupCalendar.h"

#include "platform/Text.h"
#include <QApplication>
#include <QLineEdit>
#include <QShortcut>
#include <QWidget>

namespace fundora::core {

using platform::trimmedRight;

namespace {

PopupKeys::Calculator& calculator()
{
    static PopupKeys::Calculator c;
    return c;
}

PopupKeys::Calendar& calendar()
{
    static PopupKeys::Calendar c;
    return c;
}

std::optional<platform::Picture> pictureOf(const QWidget* control)
{
    return platform::Picture::parse(control->property(PictureProperty).toString());
}

} // namespace

void PopupKeys::setPopups(Calculator c, Calendar d)
{
    calculator() = std::move(c);
    calendar() = std::move(d);
}

void PopupKeys::install(QWidget& window)
{
    auto* f5 = new QShortcut(QKeySequence(Qt::Key_F5), &window);
    f5->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(f5, &QShortcut::activated, &window, [] { calculatorOn(QApplication::focusWidget()); });
    auto* f6 = new QShortcut(QKeySequence(Qt::Key_F6), &window);
    f6->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(f6, &QShortcut::activated, &window, [] { calendarOn(QApplication::focusWidget()); });
}

void PopupKeys::calculatorOn(QWidget* control)
{
    auto* edit = qobject_cast<QLineEdit*>(control);
    QString start;
    const auto picture = control ? pictureOf(control) : std::nullopt;
    if (edit) {
        start = edit->text().trimmed();
        if (picture) {
            if (const auto v = picture->deformat(edit->text())) {
                if (const auto* d = std::get_if<platform::Decimal>(&*v))
                    start = d->toString();
                else if (const auto* i = std::get_if<std::int64_t>(&*v))
                    start = QString::number(*i);
            }
        }
    }
    const QString result = trimmedRight(calculator() ? calculator()(start) : platform::PopupCalculator::run(start, control));
    if (result.trimmed().isEmpty() || !edit || edit->isReadOnly())
        return;
    QString shown = result;
    if (picture && !picture->isDate()) {
        if (const auto v = picture->deformat(result))
            shown = picture->format(*v);
    }
    edit->setText(shown.trimmed());
    edit->setModified(true);
}

void PopupKeys::calendarOn(QWidget* control)
{
    auto* edit = qobject_cast<QLineEdit*>(control);
    const auto picture = control ? pictureOf(control) : std::nullopt;
    const bool dateControl = picture && picture->isDate();
    platform::DayNumber start = platform::Clock::current().today();
    if (dateControl) {
        const auto v = picture->deformat(edit ? edit->text() : QString());
        start = v ? static_cast<platform::DayNumber>(std::get<std::int64_t>(*v)) : 0;
    }
    const QString result = calendar() ? calendar()(start) : platform::PopupCalendar::run(start, control);
    if (result.trimmed().isEmpty() || !edit || edit->isReadOnly())
        return;
    const std::int64_t day = result.trimmed().toLongLong();
    edit->setText(dateControl ? picture->format(day) : platform::formatPicture(day, u"d17"));
    edit->setModified(true);
}

void PopupKeys::showCalendar()
{
    if (calendar())
        calendar()(0);
    else
        platform::PopupCalendar::run(0, QApplication::activeWindow());
}

} // namespace fundora::core
