#pragma once

#include "core/GlobalState.h"
#include "core/OpenFile.h"
#include "import/ImportSession.h"

#include <QHash>
#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace fundora::engine {
class ButtonRow;
class ValueLabel;
} // namespace fundora::engine

namespace fundora::importing {

class ImportPreviewModel;

// ImportStatement: a bank's statement file (OFX, QFX or CSV) imported into
// the current account (GLO:CurrentSysid). The user names the file and reads
// it; picks the file's account when it holds several; for a CSV file sets
// its columns, date format, decimal separator and header lines; flips the
// signs for a bank that writes charges positive. The preview lists every line
// as new, duplicate, matched or refused with the balance the import leads
// to; the user may add, link or leave out each line. Import writes it all in
// one commit; Cancel and Escape write nothing.
class ImportStatementWindow final : public QWidget, public core::ToolbarTarget {
    Q_OBJECT
public:
    explicit ImportStatementWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~ImportStatementWindow() override;

    // core::ToolbarTarget: the toolbar's Help; no record commands.
    void onToolbarCommand(int command) override;
    std::map<int, core::ToolbarButtonState> toolbarState() const override { return helpOnly(); }
    QString helpContext() const override { return QStringLiteral("~ImportStatement"); }

    bool isReady() const { return m_ready; }
    ImportSession& session() { return m_session; }
    ImportPreviewModel* model() const { return m_model; }
    QTableView* list() const { return m_list; }
    QLineEdit* fileName() const { return m_file; }
    QComboBox* fileAccount() const { return m_account; }
    QGroupBox* csvColumns() const { return m_csvGroup; }
    // A CSV setting's combo box by its prompt without the colon ("Date format").
    QComboBox* csvChoice(const QString& name) const { return m_csvChoices.value(name); }
    QSpinBox* headerLines() const { return m_skip; }
    QCheckBox* flipSigns() const { return m_flip; }
    QPushButton* button(const QString& text) const;
    // A figure by its prompt without the colon ("Balance after import").
    QString figure(const QString& name) const;
    QString problem() const;

    // Reads the file named in the file box.
    void readFile();
    // Gives the selected lines a choice.
    void chooseSelected(LineChoice choice);
    // Writes the import and closes the window (stays open when it could not).
    void accept();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void buildCsvGroup();
    void browse();
    void showSession();
    void showCsvMapping();
    void csvChanged();
    void showFigures();

    std::unique_ptr<core::AccountFileUses> m_uses;
    std::unique_ptr<core::FileUse> m_imported;
    std::unique_ptr<core::FileUse> m_settings;
    core::DataFiles& m_files;
    ImportSession m_session;
    ImportPreviewModel* m_model = nullptr;
    bool m_ready = false;
    bool m_showing = false;

    QLabel* m_vendor = nullptr;
    QLineEdit* m_file = nullptr;
    engine::ValueLabel* m_format = nullptr;
    QComboBox* m_account = nullptr;
    QLabel* m_accountPrompt = nullptr;
    QGroupBox* m_csvGroup = nullptr;
    QHash<QString, QComboBox*> m_csvChoices;
    QSpinBox* m_skip = nullptr;
    QCheckBox* m_flip = nullptr;
    QLabel* m_problem = nullptr;
    QTableView* m_list = nullptr;
    QHash<QString, engine::ValueLabel*> m_figures;
    std::unique_ptr<engine::ButtonRow> m_lineButtons;
    std::unique_ptr<engine::ButtonRow> m_buttons;
};

} // namespace fundora::importing
