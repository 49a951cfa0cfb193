#include "app/AboutWindow.h"

#include "app/ToolbarIcons.h"

#include <QLabel>
#include <QVBoxLayout>

namespace fundora::app {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Fundora 2000"));
    setAccessibleName(QStringLiteral("Fundora 2000"));
    auto* layout = new QVBoxLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(toolbarIcon(0).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    auto* name = new QLabel(QStringLiteral("<h2>Fundora 2000</h2>"), this);
    name->setAccessibleName(QStringLiteral("Fundora 2000"));
    auto* version = new QLabel(QStringLiteral("v2.0"), this);
    version->setAccessibleName(QStringLiteral("v2.0"));
    auto* blurb = new QLabel(QStringLiteral("A register of your credit-card and charge accounts."), this);
    for (QLabel* l : {name, version, blurb})
        l->setAlignment(Qt::AlignCenter);
    layout->addWidget(icon);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(blurb);
    setFixedSize(sizeHint().expandedTo(QSize(280, 180)));
}

} // namespace fundora::app
