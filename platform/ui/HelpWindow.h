#pragma once

#include <QUrl>
#include <QWidget>

class QLineEdit;
class QTextBrowser;

namespace fundora::platform {

// The help window: HTML pages with Back, Forward, Contents and a Find field.
// One window serves the whole program; showing a page raises it.
class HelpWindow : public QWidget {
public:
    static HelpWindow& instance();
    void showPage(const QUrl& page);
    QUrl currentPage() const;
    QTextBrowser* browser() const { return m_browser; }

private:
    HelpWindow();
    void find();

    QTextBrowser* m_browser;
    QLineEdit* m_find;
    QUrl m_contents;
};

} // namespace fundora::platform
