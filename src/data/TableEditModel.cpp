#include "TableEditModel.h"

#include "data/Errors.h"
#include "Sql.h"

#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

TableEditModel::TableEditModel(QSqlDatabase db, Dialect dialect, QString table, QString keyColumn, QObject* parent)
    : QAbstractTableModel(parent), m_db(std::move(db)), m_dialect(dialect), m_table(std::move(table)),
      m_keyColumn(std::move(keyColumn))
{
}

void TableEditModel::load(const QStringList& columns, const QString& where, const QVariantList& values,
                          const QString& orderBy)
{
    m_loadColumns = columns;
    m_where = where;
    m_whereValues = values;
    m_orderBy = orderBy;
    reload();
}

void TableEditModel::reload()
{
    const QList<ColumnInfo> all = m_dialect.columns(m_db, m_table);
    if (all.isEmpty())
        throw DbError(u"找不到数据表“%1”"_s.arg(m_table));
    QStringList columns;
    QList<ColumnKind> kinds;
    for (const QString& wanted : m_loadColumns.isEmpty() ? QStringList() : m_loadColumns) {
        const auto it = std::find_if(all.begin(), all.end(), [&](const ColumnInfo& c) {
            return c.name.compare(wanted, Qt::CaseInsensitive) == 0;
        });
        if (it == all.end())
            throw DbError(u"数据表“%1”中没有字段“%2”"_s.arg(m_table, wanted));
        columns.append(it->name);
        kinds.append(it->kind);
    }
    if (m_loadColumns.isEmpty()) {
        for (const ColumnInfo& c : all) {
            columns.append(c.name);
            kinds.append(c.kind);
        }
    }
    // PostgreSQL keeps unquoted names in lower case: quote the names as the table has them.
    const auto key = std::find_if(all.begin(), all.end(), [&](const ColumnInfo& c) {
        return c.name.compare(m_keyColumn, Qt::CaseInsensitive) == 0;
    });
    if (key == all.end())
        throw DbError(u"数据表“%1”中没有字段“%2”"_s.arg(m_table, m_keyColumn));
    m_keyColumn = key->name;
    QStringList quoted;
    for (const QString& c : columns)
        quoted.append(m_dialect.quote(c));
    QString sql = u"SELECT %1, %2 FROM %3"_s.arg(m_dialect.quote(m_keyColumn), quoted.join(u", "_s), m_table);
    if (!m_where.isEmpty())
        sql += u" WHERE "_s + m_where;
    if (!m_orderBy.isEmpty())
        sql += u" ORDER BY "_s + m_orderBy;
    m_pending.finish();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    Sql::execOn(q, sql, m_whereValues);

    beginResetModel();
    m_columns = columns;
    m_kinds = kinds;
    m_rows.clear();
    m_editRow = -1;
    m_pending = std::move(q);
    readRows(m_batch > 0 ? m_batch : -1);
    endResetModel();
}

void TableEditModel::readRows(int max)
{
    for (int read = 0; max < 0 || read < max; ++read) {
        if (!m_pending.next()) {
            // A finished statement does not hold the connection (backups need it idle).
            m_pending.finish();
            m_pending = QSqlQuery();
            return;
        }
        Row row;
        row.key = m_pending.value(0);
        for (int i = 0; i < m_columns.size(); ++i)
            row.values.append(m_pending.value(i + 1));
        m_rows.append(row);
    }
}

bool TableEditModel::canFetchMore(const QModelIndex& parent) const
{
    return !parent.isValid() && m_pending.isActive();
}

void TableEditModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    const int first = int(m_rows.size());
    readRows(m_batch > 0 ? m_batch : -1);
    if (m_rows.size() == first)
        return;
    // The rows are already read; announce them as inserted.
    QList<Row> added = m_rows.mid(first);
    m_rows.resize(first);
    beginInsertRows({}, first, first + int(added.size()) - 1);
    m_rows.append(added);
    endInsertRows();
}

void TableEditModel::clear()
{
    beginResetModel();
    m_pending.finish();
    m_pending = QSqlQuery();
    m_rows.clear();
    m_editRow = -1;
    endResetModel();
}

void TableEditModel::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

int TableEditModel::columnIndex(const QString& name) const
{
    return int(m_columns.indexOf(name));
}

QVariant TableEditModel::keyOf(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows[row].isNew)
        return {};
    return m_rows[row].key;
}

QVariant TableEditModel::value(int row, const QString& column) const
{
    const int c = columnIndex(column);
    if (row < 0 || row >= m_rows.size() || c < 0)
        return {};
    return m_rows[row].values[c];
}

ColumnKind TableEditModel::kindOf(int column) const
{
    return m_kinds.value(column, ColumnKind::Text);
}

int TableEditModel::appendRow()
{
    if (isEditing())
        post();
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    Row fresh;
    fresh.isNew = true;
    for (int i = 0; i < m_columns.size(); ++i)
        fresh.values.append(QVariant());
    m_rows.append(fresh);
    endInsertRows();
    beginEdit(row);
    return row;
}

void TableEditModel::beginEdit(int row)
{
    m_editRow = row;
    m_original = m_rows[row];
    m_touched = QList<bool>(m_columns.size(), false);
}

void TableEditModel::post()
{
    if (!isEditing())
        return;
    Row& row = m_rows[m_editRow];
    QStringList names;
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (!m_touched[i])
            continue;
        names.append(m_dialect.quote(m_columns[i]));
        const QVariant& v = row.values[i];
        values.append(kindOf(i) == ColumnKind::Bool ? QVariant(v.toBool())
                                                     : Dialect::toColumnValue(kindOf(i), v.toString(), m_columns[i]));
    }
    if (row.isNew) {
        QStringList marks(names.size(), u"?"_s);
        const QSqlQuery insert =
            names.isEmpty()
                ? Sql::exec(m_db, u"INSERT INTO %1 DEFAULT VALUES"_s.arg(m_table))
                : Sql::exec(m_db,
                            u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(m_table, names.join(u", "_s), marks.join(u", "_s)),
                            values);
        // A typed key is the key; otherwise the database numbered this very row (not the newest of any
        // station sharing the table).
        const int keyColumn = columnIndex(m_keyColumn);
        row.key = keyColumn >= 0 && !row.values[keyColumn].isNull() ? row.values[keyColumn] : insert.lastInsertId();
        // A key the database numbered is shown, and later updates of the row find it by it.
        if (keyColumn >= 0 && row.values[keyColumn].isNull()) {
            row.values[keyColumn] = row.key;
            Q_EMIT dataChanged(index(m_editRow, keyColumn), index(m_editRow, keyColumn));
        }
        row.isNew = false;
    } else if (!names.isEmpty()) {
        QStringList sets;
        for (const QString& n : names)
            sets.append(n + u" = ?"_s);
        values.append(row.key);
        Sql::exec(m_db, u"UPDATE %1 SET %2 WHERE %3 = ?"_s.arg(m_table, sets.join(u", "_s), m_dialect.quote(m_keyColumn)),
                  values);
        const int keyColumn = columnIndex(m_keyColumn);
        if (keyColumn >= 0)
            row.key = row.values[keyColumn];
    }
    const int written = m_editRow;
    m_editRow = -1;
    if (!m_original.isNew)
        Q_EMIT rowWritten(written, m_original.values);
}

void TableEditModel::cancel()
{
    if (!isEditing())
        return;
    const int row = m_editRow;
    m_editRow = -1;
    if (m_rows[row].isNew) {
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
        return;
    }
    m_rows[row] = m_original;
    Q_EMIT dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

void TableEditModel::deleteRow(int row)
{
    cancel();
    if (row < 0 || row >= m_rows.size())
        return;
    Sql::exec(m_db, u"DELETE FROM %1 WHERE %2 = ?"_s.arg(m_table, m_dialect.quote(m_keyColumn)), {m_rows[row].key});
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

int TableEditModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TableEditModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableEditModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const QVariant& v = m_rows[index.row()].values[index.column()];
    const ColumnKind kind = kindOf(index.column());
    if (kind == ColumnKind::Bool)
        return role == Qt::CheckStateRole ? QVariant(v.toBool() ? Qt::Checked : Qt::Unchecked) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    if (kind == ColumnKind::DateTime && !v.isNull()) {
        const QDateTime dt = Dialect::toDateTime(v);
        return dt.isValid() ? Dialect::dateTimeText(dt) : v;
    }
    return v;
}

bool TableEditModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || !(flags(index) & Qt::ItemIsEditable || flags(index) & Qt::ItemIsUserCheckable))
        return false;
    const bool isBool = kindOf(index.column()) == ColumnKind::Bool;
    if ((isBool && role != Qt::CheckStateRole) || (!isBool && role != Qt::EditRole))
        return false;
    if (m_editRow != index.row()) {
        if (isEditing()) {
            try {
                post();
            } catch (const DbError& e) {
                cancel();
                Q_EMIT postFailed(e.text());
            } catch (const ConversionError& e) {
                cancel();
                Q_EMIT postFailed(e.text());
            }
        }
        beginEdit(index.row());
    }
    m_rows[index.row()].values[index.column()] =
        isBool ? QVariant(value.toInt() == Qt::Checked) : QVariant(value.toString());
    m_touched[index.column()] = true;
    Q_EMIT dataChanged(index, index);
    return true;
}

QVariant TableEditModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return m_columns.value(section);
    return section == m_editRow ? u"*"_s : QString::number(section + 1);
}

Qt::ItemFlags TableEditModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!index.isValid() || m_readOnly.contains(m_columns.value(index.column())))
        return f;
    return kindOf(index.column()) == ColumnKind::Bool ? f | Qt::ItemIsUserCheckable : f | Qt::ItemIsEditable;
}
