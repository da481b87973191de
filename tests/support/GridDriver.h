#pragma once

#include "widgets/EditGrid.h"

#include <QAbstractButton>
#include <QTest>

/** Drives windows as an operator does: buttons by object name, grid cells by column title. */
namespace GridDriver {

inline EditGrid* gridOf(QWidget& w)
{
    return w.findChild<EditGrid*>(QStringLiteral("DBGrid1"));
}

inline void click(QWidget& w, const QString& button)
{
    auto* b = w.findChild<QAbstractButton*>(button);
    QVERIFY2(b, qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
}

inline int columnOf(QTableView* grid, const QString& name)
{
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == name)
            return c;
    return -1;
}

/** Edits a cell as the grid does: through its model, a tick for yes/no columns. */
inline bool setCell(QTableView* grid, int row, const QString& column, const QVariant& value)
{
    const QModelIndex index = grid->model()->index(row, columnOf(grid, column));
    if (grid->model()->flags(index) & Qt::ItemIsUserCheckable)
        return grid->model()->setData(index, value.toBool() ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    return grid->model()->setData(index, value, Qt::EditRole);
}

inline QString cell(QTableView* grid, int row, const QString& column)
{
    return grid->model()->index(row, columnOf(grid, column)).data().toString();
}

} // namespace GridDriver
