#include "memos/MemoBrowseWindow.h"

#include "memos/UpdateMemoCardWindow.h"
#include "platform/pictures/Picture.h"

#include <QPushButton>

namespace fundora::memos {

using platform::FieldValue;

namespace {

int fieldOf(const char* name)
{
    return core::memoCardLayout().def().fieldIndex(QString::fromLatin1(name));
}

// The owner as the call stored it in the buffer.
MemoOwner ownerIn(const core::MemoCard& card)
{
    return {card.type, card.firstId, card.secondId, card.thirdId};
}

} // namespace

engine::BrowseDefinition MemoBrowseWindow::definitionFor(const MemoOwner& owner)
{
    engine::BrowseDefinition d;
    d.procedure = QStringLiteral("MemoBrowse");
    d.title = QStringLiteral("Browse the Fundora Note File");
    d.helpContext = QStringLiteral("MemoBrowse");
    d.files = {core::FileId::Accounts, core::FileId::MemoCard};
    d.fileLabel = QStringLiteral("MemoCard");
    engine::SortOrder byCard;
    byCard.key = core::MemCardKey;
    byCard.locatorField = fieldOf("MEM:ThirdID");
    byCard.rangeComponents = 3;
    // The type and the text id match without regard to case, the numeric id exactly.
    byCard.filter = QStringLiteral("UPPER(MEM:Type) = UPPER(BRW1::Sort1:Save:MEM:Type) AND MEM:FirstID = BRW1::Sort1:Save:MEM:FirstID "
                                   "AND UPPER(MEM:SecondID) = UPPER(BRW1::Sort1:Save:MEM:SecondID)");
    const QString type = owner.type, secondId = owner.secondId;
    const std::int64_t firstId = owner.firstId;
    byCard.resets = {
        {QStringLiteral("MEM:Type"), [type] { return FieldValue{type}; }, QStringLiteral("BRW1::Sort1:Save:MEM:Type")},
        {QStringLiteral("MEM:FirstID"), [firstId] { return FieldValue{firstId}; }, QStringLiteral("BRW1::Sort1:Save:MEM:FirstID")},
        {QStringLiteral("MEM:SecondID"), [secondId] { return FieldValue{secondId}; }, QStringLiteral("BRW1::Sort1:Save:MEM:SecondID")}};
    d.orders = {byCard};
    d.tabs = {{QStringLiteral("Notes"), QString()}};
    d.thumb = engine::ThumbStrategy::Stops;
    d.columns = {{QStringLiteral("Date"), Qt::AlignRight | Qt::AlignVCenter, 10},
                 {QStringLiteral("Topic"), Qt::AlignLeft | Qt::AlignVCenter, 40}};
    d.selectButton = true;
    return d;
}

MemoBrowseWindow::MemoBrowseWindow(core::DataFiles& files, core::Request startRequest, QWidget* parent)
    : engine::BrowseWindow(files, m_buffer, definitionFor(ownerIn(files.memoCards.record)), startRequest, parent),
      m_buffer(files.memoCards), m_owner(ownerIn(files.memoCards.record))
{
    const std::pair<const char*, const char*> tips[] = {{"Insert", "Add a new note"},
                                                        {"Change", "Chnage the highlighted note"},
                                                        {"Delete", "Delete the highlighted note"},
                                                        {"Close", "Close this window"}};
    for (const auto& [name, tip] : tips)
        button(QString::fromLatin1(name))->setToolTip(QString::fromLatin1(tip));
    resize(520, 380);
    finishSetup();
}

MemoBrowseWindow::~MemoBrowseWindow() = default;

void MemoBrowseWindow::showEvent(QShowEvent* event)
{
    BrowseWindow::showEvent(event);
    // The size it opens at is the smallest it may be made; the layouts size the controls.
    if (minimumSize().isNull())
        setMinimumSize(size());
}

engine::FormWindow* MemoBrowseWindow::createForm(const engine::FormCall&)
{
    return new UpdateMemoCardWindow(files());
}

void MemoBrowseWindow::primeRange(platform::Record& r)
{
    // A new card belongs to the owner whose list this is; its text starts empty.
    r.values[static_cast<std::size_t>(fieldOf("MEM:Type"))] = m_owner.type;
    r.values[static_cast<std::size_t>(fieldOf("MEM:FirstID"))] = std::int64_t{m_owner.firstId};
    r.values[static_cast<std::size_t>(fieldOf("MEM:SecondID"))] = m_owner.secondId;
    r.values[static_cast<std::size_t>(fieldOf("MEM:CardMemo"))] = QString();
}

void MemoBrowseWindow::buildRow(engine::BrowseRow& row)
{
    const platform::Record& r = row.record;
    row.cells = {{platform::formatPicture(r.integer(fieldOf("MEM:Date")), u"d2"), {}, {}}, {r.text(fieldOf("MEM:Topic")), {}, {}}};
}

} // namespace fundora::memos
