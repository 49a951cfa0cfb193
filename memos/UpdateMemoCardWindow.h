#pragma once

#include "core/OpenFile.h"
#include "engine/FormWindow.h"
#include "memos/MemoCardFormRecord.h"

#include <memory>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace fundora::memos {

// UpdateMemoCard: the form of one memo card: its date, topic and text, the
// Stamp button, and the recall key (Ctrl+' and the toolbar's recall button).
class UpdateMemoCardWindow : public engine::FormWindow {
public:
    explicit UpdateMemoCardWindow(core::DataFiles& files, QWidget* parent = nullptr);
    ~UpdateMemoCardWindow() override;

    QLineEdit* dateEdit() const { return m_date; }
    QLineEdit* topicEdit() const { return m_topic; }
    QPlainTextEdit* textEdit() const { return m_text; }
    QPushButton* stampButton() const { return m_stamp; }

    // Appends the date-and-time stamp to the text.
    void stamp();
    // Recalls into the focused field from the card last saved.
    void recall() override;

protected:
    QString titleFor(core::Request request) const override;
    QString helpContext() const override { return QStringLiteral("UpdateMemoCard"); }
    bool offersRecall() const override { return true; }
    void showEvent(QShowEvent* event) override;

private:
    struct Uses;
    void build();

    std::unique_ptr<Uses> m_uses;
    MemoCardFormRecord m_record;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_topic = nullptr;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_stamp = nullptr;
};

} // namespace fundora::memos
