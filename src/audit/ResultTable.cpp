#include "ResultTable.h"

#include "data/Dialect.h"
#include "weighing/WeighingFigures.h"

#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

QVariant shown(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return Figures::plain(value.toDouble());
    case QMetaType::QDateTime:
        return Dialect::dateTimeText(value.toDateTime());
    default:
        return value;
    }
}

} // namespace

void ResultTable::load(QSqlQuery& query)
{
    beginResetModel();
    m_header = query.record();
    m_rows.clear();
    m_marked.clear();
    while (query.next())
        m_rows.append(query.record());
    endResetModel();
}

void ResultTable::clear()
{
    beginResetModel();
    m_rows.clear();
    m_marked.clear();
    endResetModel();
}

QSqlRecord ResultTable::record(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row] : QSqlRecord();
}

QVariant ResultTable::value(int row, const QString& column) const
{
    return record(row).value(column);
}

void ResultTable::removeRecord(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    QSet<int> marked;
    for (int r : std::as_const(m_marked))
        if (r != row)
            marked.insert(r > row ? r - 1 : r);
    m_marked = marked;
    endRemoveRows();
}

void ResultTable::setMarks(const QList<bool>& marks, const QString& tip)
{
    m_marked.clear();
    for (int row = 0; row < marks.size() && row < m_rows.size(); ++row)
        if (marks[row])
            m_marked.insert(row);
    m_markTip = tip;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

int ResultTable::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ResultTable::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_header.count();
}

QVariant ResultTable::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const QVariant value = m_rows[index.row()].value(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return shown(value);
    case Qt::EditRole:
        return value;
    case Qt::BackgroundRole:
        return m_marked.contains(index.row()) ? QVariant(MarkColor) : QVariant();
    case Qt::ToolTipRole:
        return m_marked.contains(index.row()) ? QVariant(m_markTip) : QVariant();
    default:
        return {};
    }
}

QVariant ResultTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < m_header.count())
        return m_header.fieldName(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
