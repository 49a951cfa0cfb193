#include "engine/ButtonRow.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace fundora::engine {

ButtonRow::ButtonRow(QWidget* owner) : m_owner(owner), m_layout(new QHBoxLayout())
{
}

QPushButton* ButtonRow::add(const QString& text, const QString& tip, std::function<void()> action)
{
    auto* b = new QPushButton(text, m_owner);
    // Never narrower than its label: the window's smallest size keeps every button whole.
    b->setMinimumWidth(b->sizeHint().width());
    QString name = text;
    name.remove(u'&');
    b->setAccessibleName(name);
    if (!tip.isEmpty()) {
        b->setToolTip(tip);
        b->setStatusTip(tip);
    }
    if (action)
        QObject::connect(b, &QPushButton::clicked, m_owner, std::move(action));
    m_buttons.insert(name, b);
    m_layout->addWidget(b);
    return b;
}

} // namespace fundora::engine
