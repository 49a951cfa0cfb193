#pragma once

#include "core/GlobalState.h"
#include "engine/FormFields.h"
#include "engine/UpdateFormController.h"

#include <QWidget>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace fundora::engine {

// The window side of every update form: it shows the fields, takes what the
// user types through each field's picture (a refused value stays as typed,
// selected, and the window says what is accepted), runs the accept-all sweep
// of OK in tab order, turns the frame's toolbar into save-and-move buttons,
// and hands the response and navigation code back to its caller when it
// closes. Enter presses OK, Escape Cancel; closing the window any other way
// with changes typed asks whether to save them.
class FormWindow : public QWidget, public core::ToolbarTarget {
public:
    using Done = std::function<void(core::Response, core::Navigation)>;

    FormWindow(core::DataFiles& files, FormRecord& record, QString procedure, QWidget* parent = nullptr);
    ~FormWindow() override;

    // Runs the form for `request`: ends at once (delete, cancelled priming) or
    // shows the window; `done` runs once the form has ended.
    void run(core::Request request, Done done);

    // OK: the sweep, then saving.
    void pressOk();
    void pressCancel();
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override;

    UpdateFormController& controller() { return m_controller; }
    const std::vector<FormField>& fields() const { return m_fields; }
    // Shows every field from the form's record again.
    void redisplay();
    bool isOpen() const { return m_open; }
    // What the window says about the last refused entry (empty when none).
    QString problem() const;

protected:
    // The form's title for its working request.
    virtual QString titleFor(core::Request request) const = 0;
    // The form's help context (F1, the Help button and toolbar 2012).
    QString helpContext() const override = 0;
    // Called when the window has opened and after every redisplay.
    virtual void refreshed() {}
    // The form's own steps of OK before the sweep (the transaction form's balance); false stops OK.
    virtual bool beforeSave() { return true; }
    // Whether the form recalls earlier values (the toolbar's 2011), and the recall itself.
    virtual bool offersRecall() const { return false; }
    virtual void recall() {}
    void addField(FormField field);
    // Standard buttons and the line that says why an entry was refused; the subclass places them.
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* helpButton() const { return m_help; }
    QLabel* problemLine() const { return m_problem; }
    // Says why an entry or the whole form is refused (empty clears it); screen readers hear it as an alert.
    void showProblem(const QString& text);
    // Whether OK's sweep over every field is under way (a field left by Tab is not yet the whole form).
    bool isSweeping() const { return m_sweeping; }
    core::DataFiles& files() { return m_files; }
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool acceptField(std::size_t index, bool withCheck);
    bool acceptAll();
    void takeFocusedField();
    void saveAndMaybeClose(core::Navigation navigation);
    void focusFirst();
    void orderTabs();
    bool edited();
    // OK without closing: true when the record was saved (or nothing needed saving).
    bool sweepAndSave();
    // The window whose place is remembered: the child window frame when there is one.
    QWidget* positionedWindow();

    core::DataFiles& m_files;
    UpdateFormController m_controller;
    QString m_procedure;
    std::vector<FormField> m_fields;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QPushButton* m_help;
    QLabel* m_problem;
    Done m_done;
    bool m_open = false;
    bool m_closing = false;
    bool m_sweeping = false;
    static constexpr std::size_t NoField = static_cast<std::size_t>(-1);
    std::size_t m_problemField = NoField; // the field whose refusal the problem line shows
};

} // namespace fundora::engine
