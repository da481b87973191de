#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QSet>
#include <QSqlRecord>
#include <QString>

class QSqlQuery;

/**
 * The rows of one query, read-only and held in memory so that sorting sees them all and a deleted row
 * can leave without a query. Numbers show with at most two decimals, date-times as
 * "yyyy-MM-dd HH:mm:ss"; the raw value is the edit role, for sorting. Marked rows are painted and carry
 * a tip.
 */
class ResultTable final : public QAbstractTableModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultTable)

public:
    inline static const QColor MarkColor = QColor(255, 200, 200);

    explicit ResultTable(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    /** Replaces the rows with every row of the query (its columns become the grid's columns). */
    void load(QSqlQuery& query);
    /** Empties the grid, keeping its columns. */
    void clear();
    /** The row as loaded, with field names. */
    QSqlRecord record(int row) const;
    QVariant value(int row, const QString& column) const;
    void removeRecord(int row);
    /** Paints the rows whose flag is true and gives them the tip. */
    void setMarks(const QList<bool>& marks, const QString& tip);
    int markedCount() const { return int(m_marked.size()); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QSqlRecord m_header;
    QList<QSqlRecord> m_rows;
    QSet<int> m_marked;
    QString m_markTip;
};
