#pragma once

#include "core/GlobalState.h"
#include "engine/UpdateFormController.h"
#include "platform/pictures/Picture.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLineEdit;
class QPushButton;

namespace fundora::engine {

// One entry of a form, in tab order: how it shows the buffer's value, how it
// takes what was typed back (false: the picture refuses it), and the form's
// own check of the value (false: a warning was shown, the focus goes back).
struct FormField {
    QWidget* control = nullptr;
    std::function<void()> show;
    std::function<bool()> take;
    std::function<bool()> check;
};

// An entry control bound to a buffer value through a display picture. `set`
// may refuse a value the picture lets through (false: beep, keep the focus).
FormField pictureField(QLineEdit* edit, const QString& picture, std::function<platform::PictureValue()> get,
                       std::function<bool(const platform::PictureValue&)> set);

// The window side of every update form: it shows the fields, takes what the
// user types through each field's picture, runs the accept-all sweep of OK in
// tab order, turns the frame's toolbar into save-and-move buttons, and hands
// the response and navigation code back to its caller when it closes.
class FormWindow : public QWidget, public core::ToolbarTarget {
public:
    using Done = std::function<void(int response, int navigation)>;

    FormWindow(core::DataFiles& files, FormRecord& record, QString procedure, QWidget* parent = nullptr);
    ~FormWindow() override;

    // Runs the form for GLO:RequestCode: ends at once (delete, cancelled
    // priming) or shows the window; `done` runs once the form has ended.
    void run(Done done);

    // OK: the sweep, then saving.
    void pressOk();
    void pressCancel();
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override;

    UpdateFormController& controller() { return m_controller; }
    const std::vector<FormField>& fields() const { return m_fields; }
    // Shows every field from the buffer again.
    void redisplay();
    bool isOpen() const { return m_open; }

protected:
    // The form's title for its working request.
    virtual QString titleFor(int request) const = 0;
    // The form's help context (F1, the Help button and toolbar 2012).
    QString helpContext() const override = 0;
    // Called when the window has opened and after every redisplay.
    virtual void refreshed() {}
    void addField(FormField field);
    // Standard buttons; the subclass places them.
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }
    core::DataFiles& files() { return m_files; }
    void closeEvent(QCloseEvent* event) override;

private:
    bool acceptField(std::size_t index, bool withCheck);
    bool acceptAll();
    void takeFocusedField();
    void saveAndMaybeClose(int navigation);
    void focusFirst();
    // The window whose place is remembered: the child window frame when there is one.
    QWidget* positionedWindow();

    core::DataFiles& m_files;
    UpdateFormController m_controller;
    QString m_procedure;
    std::vector<FormField> m_fields;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_help;
    Done m_done;
    bool m_open = false;
    bool m_closing = false;
    bool m_sweeping = false;
};

} // namespace fundora::engine
