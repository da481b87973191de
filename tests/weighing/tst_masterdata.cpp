#include "GridDriver.h"
#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "weighing/Deduction.h"
#include "weighing/DeductionWindow.h"
#include "widgets/EditGrid.h"
#include "weighing/MasterData.h"
#include "weighing/MasterDataWindows.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace GridDriver;

std::unique_ptr<MasterGridWindow> openWindow(TestFolder& t, const QString& which)
{
    std::unique_ptr<MasterGridWindow> w;
    if (which == u"tare"_s)
        w = std::make_unique<TareWeightWindow>(t.ctx());
    else
        w = std::make_unique<UnitPriceWindow>(t.ctx());
    w->show();
    return w;
}

void seedTares(TestFolder& t)
{
    for (const auto& [plate, tare] : {std::pair{u"苏A00002"_s, 14000.5}, std::pair{u"苏A00001"_s, 15000.0}})
        Sql::exec(t.dm().weightdatabase(),
                  u"INSERT INTO TareWeight (车号, 皮重, 固定存皮, 存皮人) VALUES (?, ?, 1, 'admin')"_s,
                  {plate, tare});
}

void seedPrices(TestFolder& t)
{
    const QList<std::tuple<QString, double, bool>> prices{
        {u"黄沙"_s, 30, false}, {u"黄沙"_s, 35.5, true}, {u"黄沙"_s, 40, true}, {u"水泥"_s, 50, true}};
    for (const auto& [product, price, active] : prices)
        Sql::exec(t.dm().weightdatabase(), u"INSERT INTO UnitPrice (品名, 单价, 是否执行) VALUES (?, ?, ?)"_s,
                  {product, price, active});
}

} // namespace

class MasterDataTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void windowsShowTheirTexts_data();
    void windowsShowTheirTexts();
    void gridPostFailures_data();
    void gridPostFailures();
    void rowsAreAddedSavedAndDeleted_data();
    void rowsAreAddedSavedAndDeleted();
    void findBindsTheTextAndRefreshShowsAll();
    void unitPriceTakesTheFirstActiveRow();
    void tareRowsOfOnePlateStaySeparate();
    void deductionRoundTrip();
    void deductionSaveRefusals_data();
    void deductionSaveRefusals();
};

void MasterDataTest::windowsShowTheirTexts_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("kilograms");
    QTest::addColumn<QString>("form");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("columns");
    QTest::newRow("tare, kg") << u"tare"_s << true << u"TSetTareWeightFrm"_s << u"固定存皮"_s
                              << u"单位:千克(kg)"_s
                              << QStringList{u"车号"_s, u"皮重"_s, u"固定存皮"_s, u"存皮人"_s, u"时间"_s};
    QTest::newRow("price, t") << u"price"_s << false << u"TSetUnitPriceFrm"_s << u"产品单价"_s
                              << u"单位:吨(t)"_s
                              << QStringList{u"编号"_s, u"品名"_s, u"单价"_s, u"是否执行"_s};
}

void MasterDataTest::windowsShowTheirTexts()
{
    QFETCH(QString, which);
    QFETCH(bool, kilograms);
    QFETCH(QString, form);
    QFETCH(QString, caption);
    QFETCH(QString, unit);
    QFETCH(QStringList, columns);
    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::UnitKilograms, kilograms);
    seedTares(t);
    auto w = openWindow(t, which);
    QCOMPARE(w->objectName(), form);
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w->findChild<QLabel*>(u"Label1"_s)->text(), unit);
    auto* help = w->findChild<QLabel*>(u"Label2"_s);
    QCOMPARE(help != nullptr, which == u"tare"_s);
    if (help)
        QCOMPARE(help->text(), TareWeightWindow::HelpText);
    QStringList shown;
    for (int c = 0; c < gridOf(*w)->model()->columnCount(); ++c)
        shown.append(gridOf(*w)->model()->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(shown, columns);
    const QStringList captions{u"添加(&A)"_s, u"删除(&D)"_s, u"保存(&S)"_s, u"取消(&E)"_s,
                               u"查找(F)"_s,  u"刷新(&Q)"_s, u"退出(&X)"_s};
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(w->findChild<QPushButton*>(u"RzBitBtn%1"_s.arg(i + 1))->text(), captions[i]);
    if (which == u"tare"_s) {
        QCOMPARE(gridOf(*w)->model()->rowCount(), 2);
        QCOMPARE(cell(gridOf(*w), 0, u"车号"_s), u"苏A00001"_s);
    }
}

void MasterDataTest::gridPostFailures_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<int>("row"); // -1: a row appended with the add button
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("how"); // save, leave (move to another row) or typed (cell editor, then save)
    QTest::newRow("tare not a number") << u"tare"_s << -1 << u"皮重"_s << u"abc"_s << u"save"_s;
    QTest::newRow("tare not a number, row left") << u"tare"_s << -1 << u"皮重"_s << u"12kg"_s << u"leave"_s;
    QTest::newRow("tare typed into the cell") << u"tare"_s << -1 << u"皮重"_s << u"1o"_s << u"typed"_s;
    QTest::newRow("time not a date") << u"tare"_s << -1 << u"时间"_s << u"tomorrow"_s << u"save"_s;
    QTest::newRow("no plate") << u"tare"_s << -1 << u"车号"_s << u""_s << u"save"_s;
    QTest::newRow("plate already stored") << u"tare"_s << -1 << u"车号"_s << u"苏A00001"_s << u"save"_s;
    QTest::newRow("stored row: plate of another row")
        << u"tare"_s << 0 << u"车号"_s << u"苏A00002"_s << u"save"_s;
    QTest::newRow("stored row: tare not a number") << u"tare"_s << 1 << u"皮重"_s << u"x"_s << u"leave"_s;
    QTest::newRow("price not a number") << u"price"_s << -1 << u"单价"_s << u"x1"_s << u"save"_s;
    QTest::newRow("stored price not a number") << u"price"_s << 2 << u"单价"_s << u"3,5"_s << u"save"_s;
}

void MasterDataTest::gridPostFailures()
{
    QFETCH(QString, which);
    QFETCH(int, row);
    QFETCH(QString, column);
    QFETCH(QString, value);
    QFETCH(QString, how);
    TestFolder t;
    seedTares(t);
    seedPrices(t);
    const QString table = which == u"tare"_s ? u"TareWeight"_s : u"UnitPrice"_s;
    const QString before = t.dm().QueryScalar(u"SELECT group_concat(%1, '|') FROM %2"_s.arg(column, table));
    const int rows = t.count(table);
    auto w = openWindow(t, which);
    EditGrid* grid = gridOf(*w);

    if (row < 0) {
        click(*w, u"RzBitBtn1"_s);
        row = grid->model()->rowCount() - 1;
        QCOMPARE(grid->currentIndex().row(), row);
        if (column != u"车号"_s && which == u"tare"_s)
            QVERIFY(setCell(grid, row, u"车号"_s, u"苏B99999"_s));
        if (which == u"price"_s)
            QVERIFY(setCell(grid, row, u"品名"_s, u"石子"_s));
    }
    grid->goToRow(row);
    if (how == u"typed"_s) {
        const QModelIndex index = grid->model()->index(row, columnOf(grid, column));
        grid->setCurrentIndex(index);
        grid->edit(index);
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, value);
    } else {
        QVERIFY(setCell(grid, row, column, value));
    }
    if (how == u"leave"_s)
        grid->goToRow(row == 0 ? 1 : 0);
    else
        click(*w, u"RzBitBtn3"_s);

    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, EditGrid::PostFailedMessage);
    QCOMPARE(t.prompter.calls[0].title, u"提示!"_s);
    QCOMPARE(t.count(table), rows);
    QCOMPARE(t.dm().QueryScalar(u"SELECT group_concat(%1, '|') FROM %2"_s.arg(column, table)), before);
    QCOMPARE(grid->model()->rowCount(), rows);
    QVERIFY(!grid->editModel().isEditing());
    QVERIFY(!t.logActions().contains(which == u"tare"_s ? u"修改车皮"_s : u"修改单价"_s));
}

void MasterDataTest::rowsAreAddedSavedAndDeleted_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QStringList>("newRow"); // column, value pairs
    QTest::addColumn<QStringList>("actions");
    QTest::newRow("tare") << u"tare"_s << u"车号"_s << QStringList{u"车号"_s, u"苏C12345"_s, u"皮重"_s,
                                                                   u"0.01"_s, u"存皮人"_s,   u"张三"_s}
                          << QStringList{u"添加车皮"_s, u"修改车皮"_s, u"删除车皮"_s};
    QTest::newRow("price") << u"price"_s << u"品名"_s
                           << QStringList{u"品名"_s, u"石子"_s, u"单价"_s, u"12.5"_s}
                           << QStringList{u"添加单价"_s, u"修改单价"_s, u"删除单价"_s};
}

void MasterDataTest::rowsAreAddedSavedAndDeleted()
{
    QFETCH(QString, which);
    QFETCH(QString, key);
    QFETCH(QStringList, newRow);
    QFETCH(QStringList, actions);
    TestFolder t;
    seedTares(t);
    seedPrices(t);
    const QString table = which == u"tare"_s ? u"TareWeight"_s : u"UnitPrice"_s;
    const int rows = t.count(table);
    auto w = openWindow(t, which);
    EditGrid* grid = gridOf(*w);

    // The add kind is logged as soon as the empty row is there.
    click(*w, u"RzBitBtn1"_s);
    QCOMPARE(t.logActions(), QStringList{actions[0]});
    const int added = grid->model()->rowCount() - 1;
    for (qsizetype i = 0; i < newRow.size(); i += 2)
        QVERIFY(setCell(grid, added, newRow[i], newRow[i + 1]));
    QVERIFY(setCell(grid, added, which == u"tare"_s ? u"固定存皮"_s : u"是否执行"_s, true));
    click(*w, u"RzBitBtn3"_s);
    QVERIFY(t.prompter.calls.isEmpty());
    QCOMPARE(t.count(table), rows + 1);
    QCOMPARE(t.logActions(), actions.mid(0, 2));
    QCOMPARE(t.dm()
                 .QueryScalar(u"SELECT %1 FROM %2 WHERE %3 = ?"_s.arg(newRow[3], table, key), {newRow[1]})
                 .toDouble(),
             newRow[3].toDouble());
    if (which == u"tare"_s) {
        QVERIFY(!t.dm().QueryScalar(u"SELECT 时间 FROM TareWeight WHERE 车号 = '苏C12345'"_s).isEmpty());
        QCOMPARE(UnitPriceOf(t.dm(), u"石子"_s), 0.0);
    } else {
        QCOMPARE(UnitPriceOf(t.dm(), u"石子"_s), 12.5);
    }

    // A save with nothing typed writes nothing and logs nothing.
    click(*w, u"RzBitBtn3"_s);
    QCOMPARE(t.logActions().size(), 2);

    // Changing the key of a stored row changes that row only.
    QVERIFY(setCell(grid, added, key, newRow[1] + u"X"_s));
    click(*w, u"RzBitBtn3"_s);
    QCOMPARE(t.count(table, u"%1 = '%2X'"_s.arg(key, newRow[1])), 1);
    QCOMPARE(t.count(table, u"%1 = '%2'"_s.arg(key, newRow[1])), 0);
    QCOMPARE(t.count(table), rows + 1);

    // Cancel drops the edits; delete asks first and acts only on OK.
    QVERIFY(setCell(grid, 0, newRow[2], u"999"_s));
    click(*w, u"RzBitBtn4"_s);
    QVERIFY(cell(grid, 0, newRow[2]) != u"999"_s);
    grid->goToRow(added);
    t.prompter.answers.enqueue(false);
    click(*w, u"RzBitBtn2"_s);
    QCOMPARE(t.count(table), rows + 1);
    click(*w, u"RzBitBtn2"_s);
    QCOMPARE(t.count(table), rows);
    QCOMPARE(t.prompter.textsOf(u"confirm"_s), (QStringList{u"您确定要删除吗？"_s, u"您确定要删除吗？"_s}));
    QCOMPARE(t.prompter.calls.last().title, u"提示！"_s);
    QCOMPARE(t.logActions(), (QStringList{actions[0], actions[1], actions[1], actions[2]}));

    // An appended row left untouched disappears when the cursor leaves it.
    click(*w, u"RzBitBtn1"_s);
    grid->goToRow(0);
    QCOMPARE(grid->model()->rowCount(), rows);
    QCOMPARE(t.count(table), rows);

    // Deleting in an empty grid asks nothing.
    Sql::exec(t.dm().weightdatabase(), u"DELETE FROM %1"_s.arg(table));
    click(*w, u"RzBitBtn6"_s);
    const qsizetype calls = t.prompter.calls.size();
    click(*w, u"RzBitBtn2"_s);
    QCOMPARE(t.prompter.calls.size(), calls);
}

void MasterDataTest::findBindsTheTextAndRefreshShowsAll()
{
    TestFolder t;
    seedTares(t);
    auto w = openWindow(t, u"tare"_s);
    EditGrid* grid = gridOf(*w);

    for (const std::optional<QString>& text : {std::optional(u"苏A'1"_s), std::optional(u"  苏A00002 "_s),
                                               std::optional(u"   "_s), std::optional<QString>()})
        t.prompter.texts.enqueue(text);
    click(*w, u"RzBitBtn5"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"input"_s);
    QCOMPARE(t.prompter.calls[0].title, u"查找"_s);
    QCOMPARE(t.prompter.calls[0].text, u"请输入车号   ."_s);
    QCOMPARE(grid->model()->rowCount(), 0);

    click(*w, u"RzBitBtn5"_s);
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(cell(grid, 0, u"车号"_s), u"苏A00002"_s);
    click(*w, u"RzBitBtn5"_s); // blank: nothing changes
    click(*w, u"RzBitBtn5"_s); // cancelled: nothing changes
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList());

    click(*w, u"RzBitBtn6"_s);
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(cell(grid, 0, u"车号"_s), u"苏A00001"_s);
    QCOMPARE(cell(grid, 1, u"车号"_s), u"苏A00002"_s);

    // A title sorts the rows on screen; an edit goes to the row shown, and a refresh brings the order back.
    grid->sortByColumn(0, Qt::DescendingOrder);
    QCOMPARE(cell(grid, 0, u"车号"_s), u"苏A00002"_s);
    grid->setCurrentIndex(grid->model()->index(0, 1));
    QVERIFY(setCell(grid, 0, u"皮重"_s, u"13000"_s));
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QCOMPARE(t.dm().QueryScalar(u"SELECT 皮重 FROM TareWeight WHERE 车号 = '苏A00002'"_s).toDouble(), 13000.0);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 皮重 FROM TareWeight WHERE 车号 = '苏A00001'"_s).toDouble(), 15000.0);
    click(*w, u"RzBitBtn6"_s);
    QCOMPARE(cell(grid, 0, u"车号"_s), u"苏A00001"_s);

    seedPrices(t);
    auto prices = openWindow(t, u"price"_s);
    t.prompter.texts.enqueue(u"黄沙"_s);
    click(*prices, u"RzBitBtn5"_s);
    QCOMPARE(t.prompter.calls.last().text, u"请输入品名   ."_s);
    QCOMPARE(gridOf(*prices)->model()->rowCount(), 3);
    click(*prices, u"RzBitBtn6"_s);
    QStringList numbers;
    for (int r = 0; r < gridOf(*prices)->model()->rowCount(); ++r)
        numbers.append(cell(gridOf(*prices), r, u"编号"_s));
    QCOMPARE(numbers, (QStringList{u"1"_s, u"2"_s, u"3"_s, u"4"_s}));
}

void MasterDataTest::unitPriceTakesTheFirstActiveRow()
{
    TestFolder t;
    seedPrices(t);
    // 黄沙 has an inactive row and two active ones: the first active row entered wins.
    QCOMPARE(UnitPriceOf(t.dm(), u"黄沙"_s), 35.5);
    QCOMPARE(UnitPriceOf(t.dm(), u" 黄沙 "_s), 35.5);
    QCOMPARE(UnitPriceOf(t.dm(), u"水泥"_s), 50.0);
    QCOMPARE(UnitPriceOf(t.dm(), u"石子"_s), 0.0);
    QCOMPARE(UnitPriceOf(t.dm(), u""_s), 0.0);
    QCOMPARE(UnitPriceOf(t.dm(), u"黄沙' OR '1'='1"_s), 0.0);
    Sql::exec(t.dm().weightdatabase(), u"UPDATE UnitPrice SET 是否执行 = 0 WHERE 单价 = 35.5"_s);
    QCOMPARE(UnitPriceOf(t.dm(), u"黄沙"_s), 40.0);
}

void MasterDataTest::tareRowsOfOnePlateStaySeparate()
{
    // Older folders may hold a stored and a retired tare for the same plate.
    TestFolder t;
    for (const auto& [tare, inForce] : {std::pair{15000.0, true}, std::pair{14000.0, false}})
        Sql::exec(t.dm().weightdatabase(), u"INSERT INTO TareWeight (车号, 皮重, 固定存皮) VALUES ('苏A1', ?, ?)"_s,
                  {tare, inForce});
    auto w = openWindow(t, u"tare"_s);
    EditGrid* grid = gridOf(*w);
    QCOMPARE(columnOf(grid, u"ID"_s), -1);
    const int retired = cell(grid, 0, u"皮重"_s).toDouble() == 14000.0 ? 0 : 1;

    QVERIFY(setCell(grid, retired, u"皮重"_s, u"14100"_s));
    click(*w, u"RzBitBtn3"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT group_concat(皮重, '/') FROM (SELECT 皮重 FROM TareWeight ORDER BY ID)"_s),
             u"15000.0/14100.0"_s);

    grid->goToRow(retired);
    click(*w, u"RzBitBtn2"_s);
    QCOMPARE(t.count(u"TareWeight"_s), 1);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 皮重 FROM TareWeight"_s).toDouble(), 15000.0);
}

void MasterDataTest::deductionRoundTrip()
{
    TestFolder t;
    {
        DeductionWindow w(t.ctx());
        w.show();
        QCOMPARE(w.objectName(), u"TDiscountfrm"_s);
        QCOMPARE(w.windowTitle(), u"设置扣杂功能"_s);
        // A new folder holds one setting of no deduction: no kind is chosen, no kind has a value.
        for (const QString& radio : {u"RadioButton1"_s, u"RadioButton2"_s, u"RadioButton3"_s, u"RadioButton4"_s})
            QVERIFY(!w.findChild<QRadioButton*>(radio)->isChecked());
        QCOMPARE(w.findChild<QLineEdit*>(u"Edit3"_s)->text(), QString());
        QCOMPARE(w.findChild<QLineEdit*>(u"Edit2"_s)->text(), QString());

        QTest::mouseClick(w.findChild<QRadioButton*>(u"RadioButton3"_s), Qt::LeftButton);
        w.findChild<QLineEdit*>(u"Edit3"_s)->setText(u"-30"_s);
        click(w, u"BitBtn2"_s);
        QTest::mouseClick(w.findChild<QRadioButton*>(u"RadioButton2"_s), Qt::LeftButton);
        w.findChild<QLineEdit*>(u"Edit2"_s)->setText(u"98"_s);
        click(w, u"BitBtn2"_s);
        QCOMPARE(t.prompter.textsOf(u"information"_s),
                 (QStringList{u"扣杂参数保存成功!"_s, u"扣杂参数保存成功!"_s}));
        QCOMPARE(t.prompter.calls.last().title, u"提示！"_s);
        // The history is shown again, newest first.
        EditGrid* history = gridOf(w);
        QCOMPARE(history->model()->rowCount(), 3);
        QCOMPARE(cell(history, 0, u"折扣项目"_s), u"毛重比例"_s);
        QCOMPARE(cell(history, 1, u"折扣数值"_s).toDouble(), -30.0);
    }
    QCOMPARE(t.logActions(), (QStringList{u"净重折扣"_s, u"毛重比例"_s}));
    QSqlQuery newest =
        Sql::exec(t.dm().weightdatabase(), u"SELECT 折扣项目, 折扣数值 FROM Agio ORDER BY ID DESC LIMIT 1"_s);
    QVERIFY(newest.next());
    QCOMPARE(newest.value(0).toString(), u"毛重比例"_s);
    QCOMPARE(newest.value(1).toDouble(), 98.0);

    DeductionWindow again(t.ctx());
    again.show();
    QVERIFY(again.findChild<QRadioButton*>(u"RadioButton2"_s)->isChecked());
    QCOMPARE(again.findChild<QLineEdit*>(u"Edit1"_s)->text(), QString());
    QCOMPARE(again.findChild<QLineEdit*>(u"Edit2"_s)->text(), u"98"_s);
    QCOMPARE(again.findChild<QLineEdit*>(u"Edit3"_s)->text(), u"-30"_s);
    QCOMPARE(again.findChild<QLineEdit*>(u"Edit4"_s)->text(), QString());
}

void MasterDataTest::deductionSaveRefusals_data()
{
    QTest::addColumn<QString>("radio"); // empty: none checked
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("breakTable");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("no kind chosen") << QString() << u"5"_s << false << u"information"_s
                                    << DeductionWindow::NoKindMessage;
    QTest::newRow("value not a number") << u"RadioButton1"_s << u"-3OO"_s << false << u"error"_s << u"-3OO"_s;
    QTest::newRow("value empty") << u"RadioButton4"_s << u""_s << false << u"error"_s << u"“”"_s;
    QTest::newRow("kind history table broken")
        << u"RadioButton4"_s << u"97"_s << true << u"information"_s << u"扣杂参数没有保存成功!"_s;
}

void MasterDataTest::deductionSaveRefusals()
{
    QFETCH(QString, radio);
    QFETCH(QString, value);
    QFETCH(bool, breakTable);
    QFETCH(QString, kind);
    QFETCH(QString, message);
    TestFolder t;
    if (radio.isEmpty())
        Sql::exec(t.dm().weightdatabase(), u"DELETE FROM AgioName"_s);
    DeductionWindow w(t.ctx());
    w.show();
    if (radio.isEmpty()) {
        for (QRadioButton* r : w.findChildren<QRadioButton*>())
            QVERIFY(!r->isChecked());
    } else {
        QTest::mouseClick(w.findChild<QRadioButton*>(radio), Qt::LeftButton);
        w.findChild<QLineEdit*>(u"Edit"_s + radio.right(1))->setText(value);
    }
    if (breakTable)
        Sql::exec(t.dm().weightdatabase(), u"ALTER TABLE AgioName RENAME TO AgioNameGone"_s);
    const int agio = t.count(u"Agio"_s);
    click(w, u"BitBtn2"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, kind);
    QVERIFY2(t.prompter.calls[0].text.contains(message), qPrintable(t.prompter.calls[0].text));
    // Nothing is half saved: the value history, the kind history and the log stay as they were.
    QCOMPARE(t.count(u"Agio"_s), agio);
    QCOMPARE(t.logActions(), QStringList());
}

QTEST_MAIN(MasterDataTest)
#include "tst_masterdata.moc"
