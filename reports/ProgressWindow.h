#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace fundora::reports {

// The small window a report shows while it is made: the thermometer, an upper
// and a lower text, and Cancel (Escape and the close box act as Cancel).
class ProgressWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);

    void setTexts(const QString& title, const QString& upper);
    void showThermometer();
    // The lower text is set every time; the thermometer and window redraw only when the value changes.
    void setProgress(int percent, const QString& lower, bool redrawAlways);
    int thermometer() const;
    QString lowerText() const;
    // Lets the window close (the run has ended).
    void allowClose() { m_closable = true; }

signals:
    void cancelPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_thermometer;
    QLabel* m_upper;
    QLabel* m_lower;
    QPushButton* m_cancel;
    bool m_closable = false;
};

} // namespace fundora::reports
