#include "import/ImportStatementWindow.h"

#include "core/Help.h"
#include "core/Procedures.h"
#include "core/StandardWarning.h"
#include "engine/ButtonRow.h"
#include "engine/ValueLabel.h"
#include "import/ImportPreviewModel.h"
#include "import/ImportRecords.h"
#include "import/ImportText.h"
#include "import/StatementSource.h"
#include "platform/MessageService.h"
#include "statements/StatementText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace fundora::importing {

namespace Button = platform::Button;

namespace {

const QString ImportTitle = QStringLiteral("Import a Statement");

// The CSV choices that name a column, with the mapping member each sets.
struct ColumnChoice {
    const char* prompt;
    int CsvMapping::*member;
};
constexpr ColumnChoice ColumnChoices[] = {
    {"Date column", &CsvMapping::dateColumn},     {"Description column", &CsvMapping::descriptionColumn},
    {"Amount column", &CsvMapping::amountColumn}, {"Debit column", &CsvMapping::debitColumn},
    {"Credit column", &CsvMapping::creditColumn}, {"Type column", &CsvMapping::typeColumn},
};

} // namespace

ImportStatementWindow::ImportStatementWindow(core::DataFiles& files, QWidget* parent)
    : QWidget(parent), m_uses(std::make_unique<core::AccountFileUses>(files)),
      m_imported(std::make_unique<core::FileUse>(files, importing::importedLinesFile())),
      m_settings(std::make_unique<core::FileUse>(files, importing::importSettingsFile())), m_files(files),
      m_session(files, core::glo().currentSysid)
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_model = new ImportPreviewModel(m_session, this);
    build();
    if (m_uses->ok() && m_imported->ok() && m_settings->ok()) {
        const platform::FileError e = m_session.begin();
        m_ready = e.ok();
        if (!e.ok())
            platform::showMessage(ImportTitle, QStringLiteral("The account could not be read: %1").arg(core::errorPart(e)),
                                  platform::MessageIcon::Stop, Button::Ok, Button::Ok);
    }
    if (!m_ready) {
        QTimer::singleShot(0, this, [this] { core::closeProcedureWindow(*this); });
        return;
    }
    const core::Account& a = m_session.account();
    setWindowTitle(QStringLiteral("Import a Statement for %1").arg(a.creditCardVendor.trimmed()));
    setAccessibleName(windowTitle());
    m_vendor->setText(a.accountNumber.trimmed().isEmpty()
                          ? a.creditCardVendor.trimmed()
                          : QStringLiteral("%1, account %2").arg(a.creditCardVendor.trimmed(), shortNumber(a.accountNumber)));
    m_flip->setChecked(m_session.flipSigns());
    showSession();
}

ImportStatementWindow::~ImportStatementWindow() = default;

void ImportStatementWindow::onToolbarCommand(int command)
{
    if (command == core::Command::Help)
        core::showHelp(helpContext());
}

void ImportStatementWindow::build()
{
    auto* layout = new QVBoxLayout(this);
    m_vendor = new QLabel(this);
    m_vendor->setAccessibleName(QStringLiteral("Account"));
    QFont bold = m_vendor->font();
    bold.setBold(true);
    m_vendor->setFont(bold);
    layout->addWidget(m_vendor);

    auto* source = new QGroupBox(QStringLiteral("Statement File"), this);
    auto* form = new QFormLayout(source);
    auto* fileRow = new QHBoxLayout();
    m_file = new QLineEdit(source);
    m_file->setAccessibleName(QStringLiteral("Statement file"));
    m_file->setToolTip(QStringLiteral("The bank's statement: an OFX or QFX file, or a CSV file; Enter reads it"));
    m_file->setStatusTip(m_file->toolTip());
    connect(m_file, &QLineEdit::returnPressed, this, &ImportStatementWindow::readFile);
    fileRow->addWidget(m_file, 1);
    auto* browseButton = new QPushButton(QStringLiteral("&Browse..."), source);
    browseButton->setAccessibleName(QStringLiteral("Browse"));
    browseButton->setToolTip(QStringLiteral("Pick the statement file"));
    connect(browseButton, &QPushButton::clicked, this, &ImportStatementWindow::browse);
    fileRow->addWidget(browseButton);
    auto* readButton = new QPushButton(QStringLiteral("&Read"), source);
    readButton->setObjectName(QStringLiteral("Read"));
    readButton->setAccessibleName(QStringLiteral("Read"));
    readButton->setToolTip(QStringLiteral("Read the file and show what the import would do"));
    connect(readButton, &QPushButton::clicked, this, &ImportStatementWindow::readFile);
    fileRow->addWidget(readButton);
    auto* fileLabel = new QLabel(QStringLiteral("&File:"), source);
    fileLabel->setBuddy(m_file);
    form->addRow(fileLabel, fileRow);
    m_format = new engine::ValueLabel(QStringLiteral("Format"), source);
    form->addRow(QStringLiteral("Format:"), m_format);
    m_account = new QComboBox(source);
    m_account->setAccessibleName(QStringLiteral("Account in the file"));
    m_account->setToolTip(QStringLiteral("The account of the file whose lines go to this account"));
    connect(m_account, &QComboBox::activated, this, [this](int index) {
        m_session.setFileAccount(index);
        showSession();
    });
    m_accountPrompt = new QLabel(QStringLiteral("Account in the fi&le:"), source);
    m_accountPrompt->setBuddy(m_account);
    form->addRow(m_accountPrompt, m_account);
    m_flip = new QCheckBox(QStringLiteral("Flip si&gns (this bank writes charges as positive amounts)"), source);
    m_flip->setAccessibleName(QStringLiteral("Flip signs"));
    m_flip->setToolTip(QStringLiteral("Kept for the account: its next import flips them too"));
    connect(m_flip, &QCheckBox::toggled, this, [this](bool on) {
        if (m_showing)
            return;
        m_session.setFlipSigns(on);
        showSession();
    });
    form->addRow(m_flip);
    layout->addWidget(source);

    buildCsvGroup();
    layout->addWidget(m_csvGroup);

    m_problem = new QLabel(this);
    m_problem->setAccessibleName(QStringLiteral("Problem"));
    m_problem->setWordWrap(true);
    m_problem->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(m_problem);

    m_list = new QTableView(this);
    m_list->setModel(m_model);
    m_list->setAccessibleName(QStringLiteral("Statement lines"));
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->horizontalHeader()->setSectionResizeMode(ImportPreviewModel::Note, QHeaderView::Stretch);
    layout->addWidget(m_list, 1);

    m_lineButtons = std::make_unique<engine::ButtonRow>(this);
    m_lineButtons->add(QStringLiteral("&Add"), QStringLiteral("Add the selected lines as new transactions"),
                       [this] { chooseSelected(LineChoice::Add); });
    m_lineButtons->add(QStringLiteral("Lin&k"), QStringLiteral("Link the selected lines to the entries they match"),
                       [this] { chooseSelected(LineChoice::Link); });
    m_lineButtons->add(QStringLiteral("Lea&ve Out"), QStringLiteral("Leave the selected lines out of the import"),
                       [this] { chooseSelected(LineChoice::Skip); });
    m_lineButtons->layout()->addStretch();
    auto* figures = new QFormLayout();
    for (const char* name : {"Lines", "Balance now", "Balance after import"}) {
        auto* value = new engine::ValueLabel(QString::fromLatin1(name), this);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figures->addRow(QString::fromLatin1(name) + u':', value);
        m_figures.insert(QString::fromLatin1(name), value);
    }
    m_lineButtons->layout()->addLayout(figures);
    layout->addLayout(m_lineButtons->layout());

    m_buttons = std::make_unique<engine::ButtonRow>(this);
    m_buttons->layout()->addStretch();
    QPushButton* importButton =
        m_buttons->add(QStringLiteral("&Import"), QStringLiteral("Write the lines to add and link, in one step"), [this] { accept(); });
    importButton->setDefault(true);
    m_buttons->add(QStringLiteral("Cancel"), QStringLiteral("Close without importing anything"),
                   [this] { core::closeProcedureWindow(*this); });
    layout->addLayout(m_buttons->layout());
}

void ImportStatementWindow::buildCsvGroup()
{
    m_csvGroup = new QGroupBox(QStringLiteral("CSV Columns"), this);
    auto* form = new QFormLayout(m_csvGroup);
    auto add = [&](const QString& prompt, QWidget* field, const QString& tip) {
        QString name = prompt;
        name.remove(u'&');
        name.chop(1);
        field->setAccessibleName(name);
        field->setToolTip(tip);
        field->setStatusTip(tip);
        auto* label = new QLabel(prompt, m_csvGroup);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    const char* const prompts[] = {
        // Alt keys none of the window's other controls or the frame's menus take.
        "&Date column:", "Descriptio&n column:", "A&mount column:", "Debi&t column:", "&Credit column:", "T&ype column:"};
    const char* const tips[] = {"The column that holds each line's date",
                                "The column that holds the merchant or the text of the line",
                                "The column of signed amounts (leave it at none for debit and credit columns)",
                                "The column of charges, when the file has separate debit and credit columns",
                                "The column of payments and credits, when the file has separate columns",
                                "A column that says debit, credit, interest or fee (optional)"};
    for (std::size_t i = 0; i < std::size(ColumnChoices); ++i) {
        auto* combo = new QComboBox(m_csvGroup);
        add(QString::fromLatin1(prompts[i]), combo, QString::fromLatin1(tips[i]));
        m_csvChoices.insert(QString::fromLatin1(ColumnChoices[i].prompt), combo);
        connect(combo, &QComboBox::activated, this, &ImportStatementWindow::csvChanged);
    }
    auto* format = new QComboBox(m_csvGroup);
    format->addItems(csvDateFormats());
    add(QStringLiteral("Date f&ormat:"), format, QStringLiteral("How the dates are written: d day, M month, yyyy year"));
    m_csvChoices.insert(QStringLiteral("Date format"), format);
    connect(format, &QComboBox::activated, this, &ImportStatementWindow::csvChanged);
    auto* separator = new QComboBox(m_csvGroup);
    separator->addItems({QStringLiteral(". (point: 1,234.56)"), QStringLiteral(", (comma: 1.234,56)")});
    add(QStringLiteral("Decimal se&parator:"), separator, QStringLiteral("The sign between the whole units and the cents"));
    m_csvChoices.insert(QStringLiteral("Decimal separator"), separator);
    connect(separator, &QComboBox::activated, this, &ImportStatementWindow::csvChanged);
    m_skip = new QSpinBox(m_csvGroup);
    m_skip->setRange(0, 99);
    add(QStringLiteral("Header lines to &skip:"), m_skip, QStringLiteral("Lines at the top of the file that are no statement lines"));
    connect(m_skip, &QSpinBox::valueChanged, this, &ImportStatementWindow::csvChanged);
    m_csvGroup->hide();
}

QPushButton* ImportStatementWindow::button(const QString& text) const
{
    if (text == u"Read")
        return findChild<QPushButton*>(QStringLiteral("Read"));
    if (QPushButton* b = m_buttons->button(text))
        return b;
    return m_lineButtons->button(text);
}

QString ImportStatementWindow::figure(const QString& name) const
{
    const engine::ValueLabel* l = m_figures.value(name);
    return l ? l->text() : QString();
}

QString ImportStatementWindow::problem() const
{
    return m_problem->text();
}

void ImportStatementWindow::browse()
{
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Statement File"), m_file->text(),
                                                        QStringLiteral("Statements (*.ofx *.qfx *.csv *.txt);;All files (*)"));
    if (chosen.isEmpty())
        return;
    m_file->setText(chosen);
    readFile();
}

void ImportStatementWindow::readFile()
{
    const QString path = m_file->text().trimmed();
    if (path.isEmpty()) {
        m_problem->setText(QStringLiteral("Name the statement file: an OFX or QFX file, or a CSV file."));
        return;
    }
    m_session.open(path);
    showSession();
    if (m_session.hasPlan())
        m_list->setFocus();
}

void ImportStatementWindow::showSession()
{
    m_showing = true;
    const StatementFile& s = m_session.statement();
    m_format->setValue(m_session.path().isEmpty() ? QString()
                       : m_session.isCsv()        ? QStringLiteral("CSV (%1)").arg(m_session.table().encoding)
                                                  : s.format);
    m_account->clear();
    for (const FileAccount& a : s.accounts)
        m_account->addItem(QStringLiteral("%1 (%2 lines)")
                               .arg(a.number.isEmpty() ? QStringLiteral("no number") : shortNumber(a.number))
                               .arg(a.entries.size()));
    m_account->setCurrentIndex(m_session.fileAccount());
    const bool several = s.accounts.size() > 1;
    m_account->setVisible(several);
    m_accountPrompt->setVisible(several);
    m_csvGroup->setVisible(m_session.isCsv() && !m_session.table().rows.empty());
    if (m_session.isCsv())
        showCsvMapping();
    m_flip->setChecked(m_session.flipSigns());
    m_problem->setText(m_session.problem());
    m_model->reloaded();
    m_list->resizeColumnsToContents();
    showFigures();
    m_showing = false;
}

void ImportStatementWindow::showCsvMapping()
{
    const CsvTable& t = m_session.table();
    const CsvMapping& m = m_session.mapping();
    if (t.rows.empty())
        return;
    // Each column by its number and what its first line holds.
    const QStringList& first = t.rows.front();
    int columns = 0;
    for (const QStringList& row : t.rows)
        columns = std::max(columns, static_cast<int>(row.size()));
    for (const ColumnChoice& c : ColumnChoices) {
        QComboBox* combo = m_csvChoices.value(QString::fromLatin1(c.prompt));
        combo->clear();
        combo->addItem(QStringLiteral("(none)"));
        for (int i = 1; i <= columns; ++i)
            combo->addItem(QStringLiteral("%1: %2").arg(i).arg(i <= first.size() ? first[i - 1].left(24) : QString()));
        combo->setCurrentIndex(m.*c.member);
    }
    QComboBox* format = m_csvChoices.value(QStringLiteral("Date format"));
    format->setCurrentIndex(static_cast<int>(csvDateFormats().indexOf(m.dateFormat)));
    // An ambiguous file: the formats that read every date come first, and the user must pick.
    format->setStyleSheet(m_session.dateFormatAmbiguous() ? QStringLiteral("QComboBox { border: 2px solid #b00000; }") : QString());
    m_csvChoices.value(QStringLiteral("Decimal separator"))->setCurrentIndex(m.decimalSeparator == u',' ? 1 : 0);
    m_skip->setValue(m.skipLines);
}

void ImportStatementWindow::csvChanged()
{
    if (m_showing)
        return;
    CsvMapping m = m_session.mapping();
    for (const ColumnChoice& c : ColumnChoices)
        m.*c.member = std::max(0, m_csvChoices.value(QString::fromLatin1(c.prompt))->currentIndex());
    const int format = m_csvChoices.value(QStringLiteral("Date format"))->currentIndex();
    m.dateFormat = format >= 0 ? csvDateFormats().value(format) : QString();
    m.decimalSeparator = m_csvChoices.value(QStringLiteral("Decimal separator"))->currentIndex() == 1 ? u',' : u'.';
    m.skipLines = m_skip->value();
    m_session.setMapping(m);
    showSession();
}

void ImportStatementWindow::showFigures()
{
    const bool planned = m_session.hasPlan();
    const ImportPlan& p = m_session.plan();
    m_figures.value(QStringLiteral("Lines"))
        ->setValue(planned ? QStringLiteral("%1 new, %2 duplicate, %3 matched, %4 refused")
                                 .arg(p.count(LineStatus::New))
                                 .arg(p.count(LineStatus::Duplicate))
                                 .arg(p.count(LineStatus::Matched))
                                 .arg(p.count(LineStatus::Refused))
                           : QString());
    m_figures.value(QStringLiteral("Balance now"))->setValue(statements::moneyText(m_session.account().accountBalance));
    m_figures.value(QStringLiteral("Balance after import"))->setValue(planned ? statements::moneyText(p.balanceAfter()) : QString());
    m_buttons->button(QStringLiteral("Import"))->setEnabled(m_session.writesAnything());
    for (const char* name : {"Add", "Link", "Leave Out"})
        m_lineButtons->button(QString::fromLatin1(name))->setEnabled(planned);
}

void ImportStatementWindow::chooseSelected(LineChoice choice)
{
    std::vector<int> rows;
    for (const QModelIndex& i : m_list->selectionModel()->selectedRows())
        rows.push_back(i.row());
    if (rows.empty() && m_list->currentIndex().isValid())
        rows.push_back(m_list->currentIndex().row());
    const int changed = m_session.choose(rows, choice);
    if (changed < static_cast<int>(rows.size()))
        m_problem->setText(choice == LineChoice::Link ? QStringLiteral("Only a matched line can be linked; a refused line is left out.")
                                                      : QStringLiteral("A refused line is left out."));
    else
        m_problem->clear();
    m_model->choicesChanged();
    showFigures();
}

void ImportStatementWindow::accept()
{
    if (!m_session.writesAnything())
        return;
    // A file of another account of the register is imported here only when the user says so.
    const FileAccount& fileAccount = m_session.statement().accounts[static_cast<std::size_t>(m_session.fileAccount())];
    if (const auto other = otherAccountNamed(m_files, fileAccount, m_session.account());
        other &&
        platform::showMessage(ImportTitle,
                              otherAccountText(fileAccount, *other, m_session.account()) +
                                  QStringLiteral("||Import its lines into account %1 all the same?").arg(m_session.account().sysId),
                              platform::MessageIcon::Question, Button::Yes | Button::No, Button::No) != Button::Yes)
        return;
    CommitOutcome outcome;
    const platform::FileError e = m_session.commit(outcome);
    if (!e.ok()) {
        platform::showMessage(
            ImportTitle,
            QStringLiteral("The import could not be written: %1||%2Nothing was imported.")
                .arg(core::errorPart(e), platform::fullDiskHint(e).isEmpty() ? QString() : platform::fullDiskHint(e) + u' '),
            platform::MessageIcon::Stop, Button::Ok, Button::Ok);
        return;
    }
    if (outcome.conflict) {
        platform::showMessage(ImportTitle,
                              outcome.conflictText + QStringLiteral("||Nothing was imported; the preview shows the lines again."),
                              platform::MessageIcon::Exclamation, Button::Ok, Button::Ok);
        showSession();
        return;
    }
    core::closeProcedureWindow(*this);
}

void ImportStatementWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        core::closeProcedureWindow(*this);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace fundora::importing
