#include "statements/StatementListModel.h"

#include "platform/pictures/Picture.h"
#include "statements/StatementRecords.h"
#include "statements/StatementText.h"

#include <algorithm>

namespace fundora::statements {

void StatementListModel::setStatements(std::vector<statements::CardStatement> statements)
{
    beginResetModel();
    std::erase_if(statements, [](const statements::CardStatement& s) { return s.isDraft(); });
    std::sort(statements.begin(), statements.end(), [](const statements::CardStatement& a, const statements::CardStatement& b) {
        return a.closingDate != b.closingDate ? a.closingDate > b.closingDate : a.statementId > b.statementId;
    });
    m_statements = std::move(statements);
    endResetModel();
}

int StatementListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_statements.size());
}

int StatementListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatementListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const statements::CardStatement& s = statement(index.row());
    if (role == StatementIdRole)
        return s.statementId;
    if (role == LatestRole)
        return index.row() == 0;
    if (role == Qt::TextAlignmentRole)
        return index.column() == ClosingDate || index.column() == DueDate || index.column() == Finished
                   ? int(Qt::AlignCenter)
                   : int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
    case ClosingDate: return dateText(s.closingDate);
    case EndingBalance: return moneyText(s.endingBalance);
    case Transactions: return s.transactionCount;
    case MinimumPayment: return s.minimumPayment.isZero() ? QString() : moneyText(s.minimumPayment);
    case DueDate: return dateText(s.dueDate);
    case Difference: return s.acceptedDifference.isZero() ? QString() : moneyText(s.acceptedDifference);
    case Finished: return dateText(s.finishedDate) + u' ' + platform::formatPicture(std::int64_t{s.finishedTime}, u"t1").trimmed();
    default: return {};
    }
}

QVariant StatementListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const titles[ColumnCount] = {"Closing Date", "Ending Balance", "Transactions", "Minimum Payment",
                                                    "Due Date",     "Difference",     "Finished"};
    return QString::fromLatin1(titles[section]);
}

} // namespace fundora::statements
