// The memo cards of an account, reached through the Notes buttons of the
// accounts list and of the account form, driven with keys and clicks.
#include "accounts/AccountProcedures.h"
#include "accounts/BrowseAccountsWindow.h"
#include "accounts/UpdateAccountsWindow.h"
#include "engine/BrowseListModel.h"
#include "engine/BrowseListView.h"
#include "memos/MemoBrowseWindow.h"
#include "memos/MemoCardFormRecord.h"
#include "memos/MemoProcedures.h"
#include "memos/UpdateMemoCardWindow.h"
#include "tests/app/FrameFixture.h"
#include "tests/support/AccessibleNames.h"
#include "tests/support/Mnemonics.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace fundora;
using memos::MemoBrowseWindow;
using memos::UpdateMemoCardWindow;
namespace Button = platform::Button;

namespace {

class MemosInFrameTest : public test::FrameTest {
protected:
    void registerProcedures() override
    {
        accounts::registerAccountProcedures();
        memos::registerMemoProcedures();
    }
    void SetUp() override
    {
        FrameTest::SetUp();
        // As at the program's start: nothing saved to recall yet.
        memos::MemoCardFormRecord::recallCopy() = {};
        addAccount(7, "Alpha Bank", "4111-22");
        addAccount(8, "Beta Card", "5500-99");
        accountsList = child<accounts::BrowseAccountsWindow>();
        ASSERT_NE(accountsList, nullptr);
        activate(accountsList);
        accountsList->gainedFocus();
        QTest::keyClick(accountsList->list()->table(), Qt::Key_Home);
        settle();
        ASSERT_EQ(core::glo().currentSysid, 7);
    }
    void addAccount(std::int32_t id, const char* vendor, const char* number)
    {
        files->accounts.clear();
        files->accounts.record.sysId = id;
        files->accounts.record.creditCardVendor = QString::fromLatin1(vendor);
        files->accounts.record.accountNumber = QString::fromLatin1(number);
        ASSERT_TRUE(files->accounts.add().ok());
    }
    // A card stored directly, as another station might have written it.
    void addCard(const char* type, std::int32_t firstId, const char* secondId, const char* topic, platform::DayNumber date)
    {
        core::FileUse memo(*files, core::FileId::MemoCard);
        files->memoCards.clear();
        files->memoCards.record.type = QString::fromLatin1(type);
        files->memoCards.record.firstId = firstId;
        files->memoCards.record.secondId = QString::fromLatin1(secondId);
        files->memoCards.record.topic = QString::fromLatin1(topic);
        files->memoCards.record.date = date;
        ASSERT_TRUE(files->memoCards.add().ok());
    }
    MemoBrowseWindow* openNotes()
    {
        QTest::mouseClick(accountsList->button(QStringLiteral("Notes")), Qt::LeftButton);
        settle();
        auto* w = child<MemoBrowseWindow>();
        if (w)
            w->list()->setFixedRowCount(8);
        settle();
        return w;
    }
    // The Insert key on the list, and the form it opens (null when none).
    UpdateMemoCardWindow* insertWithKey(MemoBrowseWindow* notes)
    {
        QTest::keyClick(notes->list()->table(), Qt::Key_Insert);
        settle();
        return child<UpdateMemoCardWindow>();
    }
    static QStringList topics(MemoBrowseWindow* w)
    {
        QStringList out;
        for (int r = 0; r < w->list()->model()->rowCount(); ++r)
            out << w->list()->model()->index(r, 1).data().toString();
        return out;
    }
    // The stored card with this topic (empty when none).
    core::MemoCard stored(const QString& topic)
    {
        core::FileUse memo(*files, core::FileId::MemoCard);
        files->memoCards.clear();
        files->memoCards.file().set(core::MemCardKey);
        while (files->memoCards.next().ok())
            if (files->memoCards.record.topic == topic)
                return files->memoCards.record;
        return {};
    }

    accounts::BrowseAccountsWindow* accountsList = nullptr;
    const platform::DayNumber today = platform::dayNumberOf(2026, 12, 6);
};

TEST_F(MemosInFrameTest, ANoteAddedFromTheAccountsListIsThereWhenTheNotesOpenAgainAndTheFormShowsIt)
{
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->windowTitle(), QStringLiteral("Browse the Fundora Note File"));
    EXPECT_EQ(notes->list()->model()->rowCount(), 0) << "an owner without cards";
    EXPECT_FALSE(notes->button(QStringLiteral("Select"))->isVisible());
    EXPECT_EQ(notes->button(QStringLiteral("Insert"))->toolTip(), QStringLiteral("Add a new note"));
    EXPECT_EQ(notes->button(QStringLiteral("Change"))->toolTip(), QStringLiteral("Chnage the highlighted note"));
    EXPECT_EQ(notes->button(QStringLiteral("Delete"))->toolTip(), QStringLiteral("Delete the highlighted note"));
    EXPECT_EQ(notes->button(QStringLiteral("Close"))->toolTip(), QStringLiteral("Close this window"));
    EXPECT_EQ(notes->helpContext(), QStringLiteral("MemoBrowse"));
    EXPECT_EQ(test::controlsWithoutNames(*notes), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*notes, menuTitles()), QStringList());

    auto* form = insertWithKey(notes);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Adding a MemoCard Record"));
    EXPECT_EQ(test::controlsWithoutNames(*form), QStringList());
    EXPECT_EQ(test::mnemonicClashes(*form, menuTitles()), QStringList());
    EXPECT_EQ(form->dateEdit()->text(), QStringLiteral("12/06/2026"));
    EXPECT_EQ(form->dateEdit()->toolTip(), QStringLiteral("date of memo"));
    EXPECT_EQ(form->topicEdit()->toolTip(), QStringLiteral("What this memo is about"));
    EXPECT_EQ(form->textEdit()->toolTip(), QStringLiteral("memo field"));
    EXPECT_EQ(form->stampButton()->text(), QStringLiteral("&Stamp"));
    EXPECT_EQ(form->stampButton()->toolTip(), QStringLiteral("Add Date and Time to Memo"));
    EXPECT_EQ(form->stampButton()->statusTip(), QStringLiteral("Add a date and time stamp to this memo"));
    EXPECT_TRUE(frame->toolbarAction(core::Command::Ditto)->isEnabled()) << "the one form that recalls";
    QStringList prompts;
    for (QLabel* l : form->findChildren<QLabel*>())
        if (l->buddy())
            prompts << QString(l->text()).remove(u'&');
    EXPECT_EQ(prompts, (QStringList{"Date:", "Topic:"}));
    QStringList tips;
    for (QPushButton* b : form->findChildren<QPushButton*>())
        tips << b->text() + u'=' + b->toolTip();
    EXPECT_TRUE(tips.contains(QStringLiteral("OK=Save the note and exit"))) << qPrintable(tips.join(u'|'));
    EXPECT_TRUE(tips.contains(QStringLiteral("Cancel=Do not save the changes and exit"))) << qPrintable(tips.join(u'|'));
    QTest::keyClicks(form->topicEdit(), QStringLiteral("Lost card"));
    form->textEdit()->setFocus();
    QTest::keyClicks(form->textEdit(), QStringLiteral("Called the bank."));
    QTest::keyClick(form->textEdit(), Qt::Key_Return);
    QTest::keyClicks(form->textEdit(), QStringLiteral("New card in a week."));
    for (QPushButton* b : form->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("OK"))
            QTest::mouseClick(b, Qt::LeftButton);
    settle();
    EXPECT_EQ(child<UpdateMemoCardWindow>(), nullptr);
    EXPECT_EQ(topics(notes), QStringList{"Lost card"});
    const core::MemoCard card = stored(QStringLiteral("Lost card"));
    EXPECT_EQ(card.type, QStringLiteral("ACC"));
    EXPECT_EQ(card.firstId, 7);
    EXPECT_EQ(card.secondId, QStringLiteral("4111-22"));
    EXPECT_EQ(card.cardMemo, QStringLiteral("Called the bank.\r\nNew card in a week.")) << "lines kept, stored as CR LF";
    EXPECT_EQ(card.date, today);

    QTest::mouseClick(notes->button(QStringLiteral("Close")), Qt::LeftButton);
    settle();
    EXPECT_EQ(child<MemoBrowseWindow>(), nullptr);
    notes = openNotes();
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(topics(notes), QStringList{"Lost card"});
    QTest::mouseClick(notes->button(QStringLiteral("Close")), Qt::LeftButton);
    settle();

    // The account form's indicator says the account has notes; the other account has none.
    activate(accountsList);
    QTest::keyClick(accountsList->list()->table(), Qt::Key_Return);
    settle();
    auto* accountForm = child<accounts::UpdateAccountsWindow>();
    ASSERT_NE(accountForm, nullptr);
    EXPECT_TRUE(accountForm->notesExist());
    accountForm->pressCancel();
    settle();
    activate(accountsList);
    QTest::keyClick(accountsList->list()->table(), Qt::Key_Down);
    settle();
    QTest::keyClick(accountsList->list()->table(), Qt::Key_Return);
    settle();
    accountForm = child<accounts::UpdateAccountsWindow>();
    ASSERT_NE(accountForm, nullptr);
    EXPECT_FALSE(accountForm->notesExist());
    // A card added through the form's own Notes button turns the indicator on once the notes close.
    QTest::mouseClick(accountForm->notesButton(), Qt::LeftButton);
    settle();
    notes = child<MemoBrowseWindow>();
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->owner().secondId, QStringLiteral("5500-99"));
    QTest::mouseClick(notes->button(QStringLiteral("Insert")), Qt::LeftButton);
    settle();
    form = child<UpdateMemoCardWindow>();
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->topicEdit(), QStringLiteral("Annual fee"));
    QTest::keyClick(form->topicEdit(), Qt::Key_Return);
    settle();
    QTest::mouseClick(notes->button(QStringLiteral("Close")), Qt::LeftButton);
    settle();
    EXPECT_TRUE(accountForm->notesExist());
    accountForm->pressCancel();
    settle();
}

TEST_F(MemosInFrameTest, TheListShowsTheOwnersCardsWhateverTheCaseOfItsIdsAndNoOtherNumber)
{
    addCard("ACC", 7, "4111-22", "exact", today);
    addCard("acc", 7, "4111-22", "type in small letters", today);
    addCard("ACC", 7, "4111-22", "second", today - 1);
    addCard("ACC", 9, "4111-22", "another account's number", today);
    addCard("ACC", 7, "9999", "another text id", today);
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    QStringList shown = topics(notes);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"exact", "second", "type in small letters"}));
    auto* form = insertWithKey(notes);
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->topicEdit(), QStringLiteral("new"));
    QTest::keyClick(form->topicEdit(), Qt::Key_Return);
    settle();
    const core::MemoCard added = stored(QStringLiteral("new"));
    EXPECT_EQ(added.type, QStringLiteral("ACC"));
    EXPECT_EQ(added.firstId, 7) << "Insert creates a card for exactly this owner";
    EXPECT_EQ(added.secondId, QStringLiteral("4111-22"));
    EXPECT_EQ(notes->list()->model()->rowCount(), 4);
}

TEST_F(MemosInFrameTest, WithoutTheSelectRequestADoubleClickOpensTheCardWithItSelectHandsItBack)
{
    addCard("ACC", 7, "4111-22", "only", today);
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    QTableView* table = notes->list()->table();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(0, 1)).center());
    settle();
    auto* form = child<UpdateMemoCardWindow>();
    ASSERT_NE(form, nullptr) << "a double click opens the card";
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Changing a MemoCard Record"));
    form->pressCancel();
    settle();
    QTest::mouseClick(notes->button(QStringLiteral("Close")), Qt::LeftButton);
    settle();

    // Started to pick a card.
    memos::primeMemoOwner(*files, {QStringLiteral("ACC"), 7, QStringLiteral("4111-22"), QString()});
    auto* picker = new MemoBrowseWindow(*files, core::Request::Select);
    frame->showChild(picker);
    picker->list()->setFixedRowCount(8);
    settle();
    EXPECT_TRUE(picker->button(QStringLiteral("Select"))->isVisible());
    EXPECT_EQ(picker->button(QStringLiteral("Select"))->text(), QStringLiteral("&Select"));
    files->memoCards.clear();
    QPointer<MemoBrowseWindow> alive(picker);
    table = picker->list()->table();
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(0, 1)).center());
    settle();
    EXPECT_EQ(child<UpdateMemoCardWindow>(), nullptr);
    EXPECT_TRUE(alive.isNull()) << "the picker closed";
    EXPECT_EQ(files->memoCards.record.topic, QStringLiteral("only")) << "with the card in the buffer";

    // The frame's Select command does what the Select button does.
    memos::primeMemoOwner(*files, {QStringLiteral("ACC"), 7, QStringLiteral("4111-22"), QString()});
    picker = new MemoBrowseWindow(*files, core::Request::Select);
    frame->showChild(picker);
    settle();
    alive = picker;
    EXPECT_TRUE(frame->toolbarAction(core::Command::Select)->isEnabled());
    files->memoCards.clear();
    press(core::Command::Select);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(files->memoCards.record.topic, QStringLiteral("only"));
    activate(accountsList);
    EXPECT_FALSE(frame->toolbarAction(core::Command::Select)->isEnabled()) << "the accounts list offers no Select";
}

TEST_F(MemosInFrameTest, OpeningACardDatesItTodaySoAnOlderOneIsWrittenAndOneOfTodayIsNot)
{
    addCard("ACC", 7, "4111-22", "old", today - 30);
    addCard("ACC", 7, "4111-22", "fresh", today);
    const std::int64_t freshVersion = stored(QStringLiteral("fresh")).identity.version;
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    for (const QString& topic : {QStringLiteral("old"), QStringLiteral("fresh")}) {
        const int row = static_cast<int>(topics(notes).indexOf(topic));
        ASSERT_GE(row, 0);
        QTableView* table = notes->list()->table();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(row, 1)).center());
        settle();
        QTest::keyClick(table, Qt::Key_Return);
        settle();
        auto* form = child<UpdateMemoCardWindow>();
        ASSERT_NE(form, nullptr) << qPrintable(topic);
        EXPECT_EQ(form->dateEdit()->text(), QStringLiteral("12/06/2026"));
        QTest::keyClick(form->topicEdit(), Qt::Key_Return);
        settle();
        EXPECT_EQ(child<UpdateMemoCardWindow>(), nullptr);
    }
    EXPECT_EQ(stored(QStringLiteral("old")).date, today) << "written with today's date";
    EXPECT_EQ(stored(QStringLiteral("fresh")).identity.version, freshVersion) << "nothing changed: not written";
}

TEST_F(MemosInFrameTest, StampAppendsALineEachTimeAndAFullTextStaysAtItsLimit)
{
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    auto* form = insertWithKey(notes);
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(form->textEdit(), QStringLiteral("Call back   "));
    QTest::mouseClick(form->stampButton(), Qt::LeftButton);
    clock().set(QDateTime(QDate(2026, 12, 6), QTime(14, 5)));
    QTest::mouseClick(form->stampButton(), Qt::LeftButton);
    EXPECT_EQ(form->textEdit()->toPlainText(), QStringLiteral("Call back\n*** 12/06/26 10:30 AM ***\n\n*** 12/06/26 2:05 PM ***\n"));
    EXPECT_EQ(form->textEdit(), QApplication::focusWidget()) << "the text gets the focus";

    form->textEdit()->setPlainText(QString(3600, u'x'));
    QTest::mouseClick(form->stampButton(), Qt::LeftButton);
    EXPECT_EQ(form->textEdit()->toPlainText(), QString(3600, u'x'));
    EXPECT_EQ(memos::stampedText(QString(3590, u'y'), QDateTime(QDate(2026, 12, 6), QTime(9, 0)), 3600).size(), 3600);

    // A longer text is refused with what is accepted, and kept as typed.
    form->textEdit()->setPlainText(QString(3601, u'z'));
    QTest::keyClick(form->topicEdit(), Qt::Key_Return);
    settle();
    ASSERT_NE(child<UpdateMemoCardWindow>(), nullptr) << "not saved";
    EXPECT_EQ(form->problem(), QStringLiteral("At most 3,600 characters (line breaks count as two); this text has 3,601"));
    EXPECT_EQ(form->textEdit()->toPlainText().size(), 3601);
    form->pressCancel();
    settle();
}

TEST_F(MemosInFrameTest, RecallGivesABlankTopicAtFirstThenTheLastSavedCardsValuesAndAfterAConflictTheUsersText)
{
    addCard("ACC", 7, "4111-22", "shared", today);
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    auto* form = insertWithKey(notes);
    ASSERT_NE(form, nullptr);
    form->topicEdit()->setFocus();
    QTest::keyClicks(form->topicEdit(), QStringLiteral("typed"));
    QTest::keyClick(form->topicEdit(), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(form->topicEdit()->text(), QString()) << "nothing saved yet: a blank topic";
    form->pressCancel();
    settle();

    // Another station changes the card while it is open here.
    QTest::keyClick(notes->list()->table(), Qt::Key_Home);
    QTest::keyClick(notes->list()->table(), Qt::Key_Return);
    settle();
    form = child<UpdateMemoCardWindow>();
    ASSERT_NE(form, nullptr);
    {
        core::DataFiles other(dir());
        core::FileUse memo(other, core::FileId::MemoCard);
        other.memoCards.clear();
        other.memoCards.file().set(core::MemCardKey);
        ASSERT_TRUE(other.memoCards.next().ok());
        other.memoCards.record.cardMemo = QStringLiteral("their text");
        ASSERT_TRUE(other.memoCards.put().ok());
    }
    form->textEdit()->setPlainText(QStringLiteral("my long note"));
    form->topicEdit()->setText(QStringLiteral("my topic"));
    messages().answer(Button::Ok);
    QTest::keyClick(form->topicEdit(), Qt::Key_Return);
    settle();
    ASSERT_NE(child<UpdateMemoCardWindow>(), nullptr) << "the form stays open";
    ASSERT_FALSE(messages().shown().empty());
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Record Was Not Updated"));
    EXPECT_EQ(form->textEdit()->toPlainText(), QStringLiteral("their text")) << "the other station's card is shown";
    form->textEdit()->setFocus();
    QTest::keyClick(form->textEdit(), Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(form->textEdit()->toPlainText(), QStringLiteral("my long note")) << "the user's own text comes back";
    form->topicEdit()->setFocus();
    frame->toolbarAction(core::Command::Ditto)->trigger();
    settle();
    EXPECT_EQ(form->topicEdit()->text(), QStringLiteral("my topic")) << "the toolbar's recall does the same";
    QTest::keyClick(form->topicEdit(), Qt::Key_Return);
    settle();
    EXPECT_EQ(child<UpdateMemoCardWindow>(), nullptr);
    EXPECT_EQ(stored(QStringLiteral("my topic")).cardMemo, QStringLiteral("my long note"));
}

TEST_F(MemosInFrameTest, DeletingACardAsksFirstAndCancelKeepsIt)
{
    addCard("ACC", 7, "4111-22", "doomed", today);
    MemoBrowseWindow* notes = openNotes();
    ASSERT_NE(notes, nullptr);
    messages().answer(Button::Cancel);
    QTest::keyClick(notes->list()->table(), Qt::Key_Delete);
    settle();
    ASSERT_FALSE(messages().shown().empty());
    EXPECT_EQ(messages().shown().back().title, QStringLiteral("Confirm Delete"));
    EXPECT_EQ(topics(notes), QStringList{"doomed"});
    messages().answer(Button::Ok);
    QTest::keyClick(notes->list()->table(), Qt::Key_Delete);
    settle();
    EXPECT_EQ(topics(notes), QStringList{});
    EXPECT_TRUE(stored(QStringLiteral("doomed")).topic.isEmpty());
}

} // namespace
