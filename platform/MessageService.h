#pragma once

#include <QString>

#include <deque>
#include <memory>
#include <vector>

namespace fundora::platform {

// Message-box buttons; the values are what the box returns, and they combine as flags.
namespace Button {
inline constexpr int Ok = 1;
inline constexpr int Yes = 2;
inline constexpr int No = 4;
inline constexpr int Abort = 8;
inline constexpr int Retry = 16;
inline constexpr int Ignore = 32;
inline constexpr int Cancel = 64;
inline constexpr int Help = 128;
// Every button, in the order a box shows them.
inline constexpr int All[] = {Ok, Yes, No, Abort, Retry, Ignore, Cancel, Help};
} // namespace Button

enum class MessageIcon { None, Information, Exclamation, Question, Stop };

struct Message {
    QString title;
    QString text;
    MessageIcon icon = MessageIcon::None;
    int buttons = Button::Ok;
    int defaultButton = 0; // 0: the first button
    // The main program writes a line break as "|" in its texts ("||": an empty line).
    bool barsBreakLines = false;
};

// Every message box of both programs goes through the current service, so
// that tests answer them without a window and read back what was said.
class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows the message modally and returns the pressed button.
    virtual int show(const Message& message) = 0;
    // The system's beep, where there is one to sound.
    virtual void beep() {}

    // The installed service; until one is installed, every message goes to
    // standard error and is answered with its default button (a program with
    // windows installs the message boxes, ui/QtMessageService, at its start).
    static MessageService& current();
    // Installs `service` (nullptr restores the standard error's).
    static void install(std::shared_ptr<MessageService> service);
};

// Answers from a queue and records every message. An unexpected message (empty
// queue) is answered with the default button and counted, so tests notice it.
class ScriptedMessageService final : public MessageService {
public:
    int show(const Message& message) override;

    void answer(int button) { m_answers.push_back(button); }
    const std::vector<Message>& shown() const { return m_shown; }
    int unexpected() const { return m_unexpected; }
    int pendingAnswers() const { return static_cast<int>(m_answers.size()); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_unexpected = 0;
    }

private:
    std::deque<int> m_answers;
    std::vector<Message> m_shown;
    int m_unexpected = 0;
};

// Shows a message of the main program, whose texts write a line break as "|",
// through the current service; returns the pressed button.
int showMessage(const QString& title, const QString& text, MessageIcon icon, int buttons, int defaultButton);

// The button a box returns when the user just presses Enter.
int defaultButtonOf(const Message& message);

} // namespace fundora::platform
