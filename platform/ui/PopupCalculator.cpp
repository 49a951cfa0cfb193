#include "platform/ui/PopupCalculator.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace fundora::platform {

PopupCalculator::PopupCalculator(const QString& start, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Calculator"));
    m_engine.start(start);
    auto* grid = new QGridLayout(this);
    m_display = new QLineEdit(this);
    m_display->setReadOnly(true);
    m_display->setAlignment(Qt::AlignRight);
    m_display->setAccessibleName(QStringLiteral("Result"));
    m_display->setFocusPolicy(Qt::NoFocus);
    grid->addWidget(m_display, 0, 0, 1, 4);
    const char* keys[5][4] = {
        {"C", "<-", "+/-", "/"}, {"7", "8", "9", "*"}, {"4", "5", "6", "-"}, {"1", "2", "3", "+"}, {"0", ".", "=", "OK"}};
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 4; ++c) {
            const QString key = QString::fromLatin1(keys[r][c]);
            auto* b = new QPushButton(key, this);
            b->setAccessibleName(key);
            b->setFocusPolicy(Qt::NoFocus);
            b->setAutoDefault(false);
            connect(b, &QPushButton::clicked, this, [this, key] { press(key); });
            grid->addWidget(b, r + 1, c);
        }
    }
    refresh();
}

void PopupCalculator::press(const QString& key)
{
    if (key == QStringLiteral("OK")) {
        m_engine.equals();
        m_result = m_engine.hasError() ? QString() : m_engine.display();
        accept();
        return;
    }
    if (key == QStringLiteral("C"))
        m_engine.clear();
    else if (key == QStringLiteral("<-"))
        m_engine.backspace();
    else if (key == QStringLiteral("+/-"))
        m_engine.negate();
    else if (key == QStringLiteral("="))
        m_engine.equals();
    else if (key == QStringLiteral("."))
        m_engine.point();
    else if (key.size() == 1 && key[0].isDigit())
        m_engine.digit(key[0].digitValue());
    else if (key.size() == 1)
        m_engine.operation(key[0]);
    refresh();
}

void PopupCalculator::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: press(QStringLiteral("OK")); return;
    case Qt::Key_Backspace: press(QStringLiteral("<-")); return;
    case Qt::Key_Delete: press(QStringLiteral("C")); return;
    case Qt::Key_F9: press(QStringLiteral("+/-")); return;
    case Qt::Key_Escape: reject(); return;
    default: break;
    }
    if (text.size() == 1 && QStringLiteral("0123456789.+-*/=").contains(text[0])) {
        press(text);
        return;
    }
    QDialog::keyPressEvent(event);
}

void PopupCalculator::refresh()
{
    m_display->setText(m_engine.display());
}

QString PopupCalculator::run(const QString& start, QWidget* parent)
{
    PopupCalculator calculator(start, parent);
    return calculator.exec() == QDialog::Accepted ? calculator.result() : QString();
}

} // namespace fundora::platform
