#include "RecordListModel.h"

#include "WeighingFigures.h"
#include "data/Dialect.h"

#include <QSqlField>
#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isNumber(const QVariant& value)
{
    const int type = value.metaType().id();
    return type == QMetaType::Double || type == QMetaType::Float;
}

} // namespace

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant value = QSqlQueryModel::data(index, Qt::DisplayRole);
        if (isNumber(value))
            return Figures::twoDecimals(value.toDouble());
        if (value.metaType().id() == QMetaType::QDateTime)
            return Dialect::dateTimeText(value.toDateTime());
        return value;
    }
    case Qt::EditRole:
        return QSqlQueryModel::data(index, Qt::DisplayRole);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::BackgroundRole:
        return isPending(index.row()) ? QVariant(PendingColor) : QVariant();
    default:
        return QSqlQueryModel::data(index, role);
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return QSqlQueryModel::headerData(section, orientation, role);
}

int RecordListModel::fetchAll()
{
    while (canFetchMore())
        fetchMore();
    return rowCount();
}

bool RecordListModel::isPending(int row) const
{
    if (m_netColumn < 0)
        return false;
    // An empty net counts as 0, as it did for the grid of the old station.
    return QSqlQueryModel::data(index(row, m_netColumn), Qt::DisplayRole).toDouble() < 0.1;
}

void RecordListModel::queryChange()
{
    m_netColumn = record().indexOf(u"净重"_s);
}
