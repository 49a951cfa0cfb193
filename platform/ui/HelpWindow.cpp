#include "platform/ui/HelpWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace fundora::platform {

HelpWindow& HelpWindow::instance()
{
    static HelpWindow* window = new HelpWindow();
    return *window;
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window)
{
    setWindowTitle(QStringLiteral("Fundora Help"));
    setAccessibleName(QStringLiteral("Fundora Help"));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout();
    auto* contents = new QPushButton(QStringLiteral("&Contents"), this);
    auto* back = new QPushButton(QStringLiteral("&Back"), this);
    auto* forward = new QPushButton(QStringLiteral("&Forward"), this);
    auto* findLabel = new QLabel(QStringLiteral("F&ind:"), this);
    m_find = new QLineEdit(this);
    findLabel->setBuddy(m_find);
    for (QPushButton* b : {contents, back, forward})
        b->setAccessibleName(b->text().remove(u'&'));
    m_find->setAccessibleName(QStringLiteral("Find"));
    bar->addWidget(contents);
    bar->addWidget(back);
    bar->addWidget(forward);
    bar->addStretch();
    bar->addWidget(findLabel);
    bar->addWidget(m_find);
    layout->addLayout(bar);
    m_browser = new QTextBrowser(this);
    m_browser->setAccessibleName(QStringLiteral("Help text"));
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser);
    connect(contents, &QPushButton::clicked, this, [this] { m_browser->setSource(m_contents); });
    connect(back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_find, &QLineEdit::returnPressed, this, &HelpWindow::find);
    resize(640, 520);
    m_contents = QUrl(QStringLiteral("qrc:/help/index.html"));
}

void HelpWindow::showPage(const QUrl& page)
{
    m_browser->setSource(page);
    show();
    raise();
    activateWindow();
}

QUrl HelpWindow::currentPage() const
{
    return m_browser->source();
}

void HelpWindow::find()
{
    if (!m_browser->find(m_find->text())) {
        // From the top again.
        m_browser->moveCursor(QTextCursor::Start);
        m_browser->find(m_find->text());
    }
}

} // namespace fundora::platform
