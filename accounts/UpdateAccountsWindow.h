#pragma once

#include "accounts/AccountFormRecord.h"
#include "core/OpenFile.h"
#include "engine/FormWindow.h"

#include <memory>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace fundora::accounts {

// UpdateAccounts: the form of one credit-card account.
class UpdateAccountsWindow : public engine::FormWindow {
public:
    explicit UpdateAccountsWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~UpdateAccountsWindow() override;

    QLineEdit* edit(const QString& prompt) const;
    QPushButton* notesButton() const { return m_notes; }
    bool notesExist() const { return m_notesExist; }

protected:
    QString titleFor(core::Request request) const override;
    QString helpContext() const override { return QStringLiteral("~UpdateAccounts"); }
    void refreshed() override;

private:
    struct Uses;
    void build();
    void pressNotes();
    void updateNotesIndicator();

    std::unique_ptr<Uses> m_uses;
    AccountFormRecord m_record;
    QHash<QString, QLineEdit*> m_edits;
    QButtonGroup* m_cardType = nullptr;
    QPushButton* m_notes = nullptr;
    bool m_notesExist = false;
};

} // namespace fundora::accounts
