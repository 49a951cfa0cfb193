#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProcess;

namespace fundora::backup {

// "Compressing" / "Un-Compressing": an animated clock while the outside
// compressor runs. It closes as soon as the process has ended, however it
// ended, or when the time limit has passed (the process is then killed).
class WaitWindow : public QDialog {
public:
    // `tick` runs on every timer event while the window waits.
    WaitWindow(QProcess& process, const QString& title, const QString& text, int limitMs, std::function<void()> tick = {},
               QWidget* parent = nullptr);
    ~WaitWindow() override;
    // Icon numbers in the order shown: 3, 4, ... 20, 1, 2, ...
    int frame() const { return m_frame; }
    static int nextFrame(int frame) { return frame >= 20 ? 1 : frame + 1; }

private:
    void tick();

    QProcess& m_process;
    QLabel* m_icon;
    int m_frame = 2;
    qint64 m_elapsed = 0;
    int m_limitMs;
    std::function<void()> m_tick;
};

} // namespace fundora::backup
