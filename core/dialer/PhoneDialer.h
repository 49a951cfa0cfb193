#pragma once

#include "core/dialer/DialerPlan.h"

#include <QDialog>

#include <optional>

class QLineEdit;
class QPushButton;

namespace fundora::core {

// "Select Number...": one button and prompt per number, laid out in dialog
// units as DialerPlan computes, shrunk to the rows it needs.
class SelectNumberDialog : public QDialog {
public:
    SelectNumberDialog(const DialRequest& request, QWidget* parent = nullptr);
    // The row chosen (0-based), or -1 for none.
    int chosenRow() const { return m_chosen; }
    const SelectionLayout& layout() const { return m_layout; }
    QPushButton* rowButton(int row) const { return m_buttons[static_cast<std::size_t>(row)]; }

private:
    SelectionLayout m_layout;
    std::array<QPushButton*, 3> m_buttons{};
    int m_chosen = -1;
};

// "Verify Number...": the number about to be dialled, for checking and editing.
class VerifyNumberDialog : public QDialog {
public:
    VerifyNumberDialog(const QString& description, const QString& dialString, QWidget* parent = nullptr);
    QString dialString() const;
    QLineEdit* entry() const { return m_entry; }

private:
    QLineEdit* m_entry;
};

// Places a voice call to one of up to three numbers: picks the number (asking
// when there is more than one), lets the user check it, and hands it to the
// telephony service. Returns 1 when the call request was accepted, else 0.
class PhoneDialer {
public:
    virtual ~PhoneDialer() = default;
    int dial(const DialRequest& request);

protected:
    // The row the user picks (0-based), or -1. Shows the selection window.
    virtual int chooseRow(const DialRequest& request);
    // The dial string after the user checked it, or nullopt when cancelled.
    virtual std::optional<QString> verify(const QString& description, const QString& dialString);
};

} // namespace fundora::core
