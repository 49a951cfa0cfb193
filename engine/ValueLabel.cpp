#include "engine/ValueLabel.h"

#include <QAccessibleWidget>
#include <QRect>

namespace fundora::engine {

namespace {

// What the accessibility bus carries of a value label: its prompt as the
// name, and its value as the value and as its text (AT-SPI's Text interface,
// which is what a screen reader reads of a static text).
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ValueLabelAccessible(ValueLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return label()->prompt();
        case QAccessible::Value: return label()->text();
        default: return QAccessibleWidget::text(t);
        }
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this) : QAccessibleWidget::interface_cast(t);
    }

    // The text interface: the value, read-only, without a selection or a cursor of its own.
    QString text(int start, int end) const override { return label()->text().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(label()->text().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    const ValueLabel* label() const { return static_cast<const ValueLabel*>(widget()); }
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
    const QString before = this->text();
    setText(text);
    QAccessibleValueChangeEvent changed(this, text);
    QAccessible::updateAccessibility(&changed);
    // The bus's Text interface hears the new text as a change of its text.
    QAccessibleTextUpdateEvent updated(this, 0, before, text);
    QAccessible::updateAccessibility(&updated);
}

} // namespace fundora::engine
