#pragma once

#include <QColor>
#include <QSqlQueryModel>

/**
 * The weighing station's record query as a read-only table: number columns shown with two decimals,
 * every cell centred, pending records (净重 below 0.1) painted light blue. The raw value is the edit
 * role, for sorting.
 */
class RecordListModel final : public QSqlQueryModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RecordListModel)

public:
    inline static const QColor PendingColor = QColor(196, 196, 255);

    explicit RecordListModel(QObject* parent = nullptr) : QSqlQueryModel(parent) {}

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /** Loads every row the query returns, so that sorting sees them all; returns the row count. */
    int fetchAll();
    /** The row is a pending record. */
    bool isPending(int row) const;

protected:
    void queryChange() override;

private:
    int m_netColumn = -1;
};
