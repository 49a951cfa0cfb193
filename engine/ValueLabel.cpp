#include "engine/ValueLabel.h"

#include <QAccessibleWidget>

namespace fundora::engine {

namespace {

class ValueLabelAccessible : public QAccessibleWidget {
public:
    explicit ValueLabelAccessible(ValueLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        const auto* label = static_cast<const ValueLabel*>(widget());
        switch (t) {
        case QAccessible::Name: return label->prompt();
        case QAccessible::Value: return label->text();
        default: return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* valueLabelFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("fundora::engine::ValueLabel") && object && object->isWidgetType())
        return new ValueLabelAccessible(static_cast<ValueLabel*>(object));
    return nullptr;
}

} // namespace

ValueLabel::ValueLabel(const QString& prompt, QWidget* parent) : QLabel(parent), m_prompt(prompt)
{
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAccessibleName(prompt);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void ValueLabel::setValue(const QString& text)
{
    if (text == this->text())
        return;
    setText(text);
    QAccessibleValueChangeEvent changed(this, text);
    QAccessible::updateAccessibility(&changed);
}

} // namespace fundora::engine
