#include "TestFolder.h"
#include "widgets/GridStyle.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class GridStyleTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void styledGridKeepsQueryOrderUntilTitleClick();
    void widthsRoundTripPerWindowCaption();
};

void GridStyleTest::styledGridKeepsQueryOrderUntilTitleClick()
{
    QStandardItemModel rows(3, 1);
    rows.setHorizontalHeaderLabels({u"车号"_s});
    for (int i = 0; i < 3; ++i)
        rows.setItem(i, 0, new QStandardItem(QString::number(i + 1)));
    QSortFilterProxyModel sorted;
    sorted.setSourceModel(&rows);
    QTableView grid;
    grid.setModel(&sorted);
    StyleGrid(&grid);
    QCOMPARE(sorted.index(0, 0).data().toString(), u"1"_s);
    grid.sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(sorted.index(0, 0).data().toString(), u"3"_s);
}

void GridStyleTest::widthsRoundTripPerWindowCaption()
{
    TestFolder t;
    QStandardItemModel rows(1, 2);
    rows.setHorizontalHeaderLabels({u"车号"_s, u"毛重"_s});
    QTableView grid;
    grid.setModel(&rows);
    ApplyGridWidths(t.dm().iniPath(), u"称重计量"_s, &grid);
    QCOMPARE(grid.columnWidth(0), 100);
    grid.setColumnWidth(0, 140);
    SaveGridWidths(t.dm().iniPath(), u"称重计量"_s, &grid, t.prompter);
    QCOMPARE(t.prompter.lastText(), u"恭喜您,您的表格格式设置成功"_s);
    QCOMPARE(t.prompter.calls.last().title, u"提示"_s);

    QTableView again;
    again.setModel(&rows);
    ApplyGridWidths(t.dm().iniPath(), u"称重计量"_s, &again);
    QCOMPARE(again.columnWidth(0), 140);
    QTableView query;
    query.setModel(&rows);
    ApplyGridWidths(t.dm().iniPath(), u"查询与打印"_s, &query);
    QCOMPARE(query.columnWidth(0), 100);
}

QTEST_MAIN(GridStyleTest)
#include "tst_gridstyle.moc"
