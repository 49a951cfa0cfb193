#include "memos/UpdateMemoCardWindow.h"

#include "engine/FormFields.h"
#include "platform/Clock.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace fundora::memos {

namespace {

// The form's fields, in the order they are added.
enum : std::size_t { DateField, TopicField, TextField };

} // namespace

// The form holds Accounts and MemoCard for as long as it is open.
struct UpdateMemoCardWindow::Uses {
    explicit Uses(core::DataFiles& f) : accounts(f, core::FileId::Accounts), memoCards(f, core::FileId::MemoCard) {}
    core::FileUse accounts, memoCards;
};

UpdateMemoCardWindow::UpdateMemoCardWindow(core::DataFiles& files, QWidget* parent)
    : engine::FormWindow(files, m_record, QStringLiteral("UpdateMemoCard"), parent), m_uses(std::make_unique<Uses>(files)), m_record(files)
{
    build();
}

UpdateMemoCardWindow::~UpdateMemoCardWindow() = default;

QString UpdateMemoCardWindow::titleFor(core::Request request) const
{
    return request == core::Request::Insert ? QStringLiteral("Adding a MemoCard Record") : QStringLiteral("Changing a MemoCard Record");
}

void UpdateMemoCardWindow::build()
{
    core::MemoCard& card = m_record.working();
    const platform::FileDef& def = core::memoCardLayout().def();
    auto field = [&def](const char* name) { return def.fields.at(static_cast<std::size_t>(def.fieldIndex(QString::fromLatin1(name)))); };
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    auto entry = [&](const QString& prompt, const QString& tip, QWidget* control) {
        control->setToolTip(tip);
        control->setStatusTip(tip);
        QString name = prompt;
        control->setAccessibleName(name.remove(u'&').remove(u':'));
        auto* label = new QLabel(prompt, this);
        label->setBuddy(control);
        form->addRow(label, control);
    };
    m_date = new QLineEdit(this);
    entry(QStringLiteral("&Date:"), QStringLiteral("date of memo"), m_date);
    addField(engine::dateEntry(m_date, card.date));
    m_topic = new QLineEdit(this);
    entry(QStringLiteral("&Topic:"), QStringLiteral("What this memo is about"), m_topic);
    addField(engine::textEntry(m_topic, card.topic, field("MEM:Topic")));
    layout->addLayout(form);
    m_text = new QPlainTextEdit(this);
    m_text->setToolTip(QStringLiteral("memo field"));
    m_text->setStatusTip(QStringLiteral("memo field"));
    m_text->setAccessibleName(QStringLiteral("Memo"));
    m_text->setAccessibleDescription(QStringLiteral("At most 3,600 characters; Stamp cuts the text there"));
    m_text->setTabChangesFocus(true);
    addField(engine::memoEntry(m_text, card.cardMemo, field("MEM:CardMemo")));
    layout->addWidget(m_text, 1);

    layout->addWidget(problemLine());
    auto* buttons = new QHBoxLayout();
    m_stamp = new QPushButton(QStringLiteral("&Stamp"), this);
    m_stamp->setToolTip(QStringLiteral("Add Date and Time to Memo"));
    m_stamp->setStatusTip(QStringLiteral("Add a date and time stamp to this memo"));
    m_stamp->setAccessibleName(QStringLiteral("Stamp"));
    connect(m_stamp, &QPushButton::clicked, this, &UpdateMemoCardWindow::stamp);
    buttons->addWidget(m_stamp);
    buttons->addStretch();
    okButton()->setToolTip(QStringLiteral("Save the note and exit"));
    cancelButton()->setToolTip(QStringLiteral("Do not save the changes and exit"));
    buttons->addWidget(okButton());
    buttons->addWidget(cancelButton());
    buttons->addWidget(helpButton());
    layout->addLayout(buttons);

    // Ctrl+' recalls into the date, the topic or the text.
    for (QWidget* w : {static_cast<QWidget*>(m_date), static_cast<QWidget*>(m_topic), static_cast<QWidget*>(m_text)}) {
        auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Apostrophe), w);
        key->setContext(Qt::WidgetShortcut);
        connect(key, &QShortcut::activated, this, &UpdateMemoCardWindow::recall);
    }
    resize(520, 360);
}

void UpdateMemoCardWindow::showEvent(QShowEvent* event)
{
    FormWindow::showEvent(event);
    // The size it opens at is the smallest it may be made.
    if (minimumSize().isNull())
        setMinimumSize(size());
}

void UpdateMemoCardWindow::stamp()
{
    core::MemoCard& card = m_record.working();
    // What was typed so far counts; a text over the limit stays refused until it is shortened.
    card.cardMemo = engine::storedMemoText(m_text->toPlainText());
    card.cardMemo = stampedText(card.cardMemo, platform::Clock::current().now(), core::MemoCardTextLimit);
    fields()[TextField].show();
    m_text->setFocus();
    m_text->moveCursor(QTextCursor::End);
}

void UpdateMemoCardWindow::recall()
{
    const core::MemoCard& last = MemoCardFormRecord::recallCopy();
    core::MemoCard& card = m_record.working();
    // Only the focused field is shown again: what is typed in the others stays.
    QWidget* focused = QApplication::focusWidget();
    std::size_t index = 0;
    if (focused == m_date) {
        card.date = last.date;
        index = DateField;
    } else if (focused == m_topic) {
        card.topic = last.topic;
        index = TopicField;
    } else if (focused == m_text) {
        card.cardMemo = last.cardMemo;
        index = TextField;
    } else {
        return;
    }
    fields()[index].show();
}

} // namespace fundora::memos
