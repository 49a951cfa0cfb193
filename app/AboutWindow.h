#pragma once

#include <QWidget>

namespace fundora::app {

// "Fundora 2000": the product name and version; no buttons.
class AboutWindow : public QWidget {
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

} // namespace fundora::app
