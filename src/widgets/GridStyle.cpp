#include "widgets/GridStyle.h"

#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/Prompter.h"

#include <QHeaderView>
#include <QTableView>

using namespace Qt::Literals::StringLiterals;

namespace {

QString fieldName(const QTableView* grid, int column)
{
    return grid->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

} // namespace

void StyleGrid(QTableView* grid)
{
    // Without an indicator first, enabling sorting would sort the rows by column 0, descending.
    grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    grid->setSortingEnabled(true);
    grid->horizontalHeader()->setSectionsClickable(true);
    grid->horizontalHeader()->setSortIndicatorShown(true);
    grid->horizontalHeader()->setSectionsMovable(true);
    grid->verticalHeader()->setVisible(true);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    grid->setFrameShape(QFrame::Box);
    grid->setFrameShadow(QFrame::Plain);
    grid->setAlternatingRowColors(true);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setStyleSheet(u"QHeaderView::section { background-color: rgb(175, 206, 241); border: 1px solid "
                        "rgb(140, 170, 210); padding: 2px; }"
                        "QTableCornerButton::section { background-color: rgb(175, 206, 241); }"_s);
}

void SaveGridWidths(const QString& iniPath, const QString& section, const QTableView* grid, Prompter& prompter)
{
    IniFile ini(iniPath);
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        ini.write(Option::GridWidth(section, fieldName(grid, column)), grid->columnWidth(column));
    prompter.information(u"恭喜您,您的表格格式设置成功"_s, u"提示"_s);
}

void ApplyGridWidths(const QString& iniPath, const QString& section, QTableView* grid, bool keepCurrent)
{
    const IniFile ini(iniPath);
    for (int column = 0; column < grid->model()->columnCount(); ++column) {
        IntSetting width = Option::GridWidth(section, fieldName(grid, column));
        if (keepCurrent)
            width.def = grid->columnWidth(column);
        grid->setColumnWidth(column, ini.read(width));
    }
}
