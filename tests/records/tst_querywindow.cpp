#include "GridDriver.h"
#include "QueryFixture.h"
#include "data/IniFile.h"
#include "records/QueryWindow.h"
#include "records/WordPickerDialog.h"
#include "reports/ReportPreview.h"
#include "reports/ReportRenderer.h"

#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;
using namespace GridDriver;

namespace {

const QString PostFailed = u"数据不正确，没有录入成功,请重新输入!"_s;

/** A shown query window over the fixture, with December as its range. */
struct OpenWindow
{
    explicit OpenWindow(TestFolder& t) : window(new QueryWindow(t.ctx()))
    {
        window->show();
        window->findChild<QDateEdit*>(u"DateTimePicker1"_s)->setDate(QDate(2026, 12, 1));
        window->findChild<QDateEdit*>(u"DateTimePicker2"_s)->setDate(QDate(2026, 12, 31));
    }
    ~OpenWindow() { delete window; }
    QLineEdit* box(const QString& field) const
    {
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->text() == field && label->buddy() && label->buddy()->objectName().startsWith(u"EIT"_s))
                return qobject_cast<QLineEdit*>(label->buddy());
        return nullptr;
    }
    QString pane(int i) const { return window->findChild<QLabel*>(u"StatusPane"_s + QString::number(i))->text(); }
    EditGrid* grid() const { return gridOf(*window); }
    QStringList column(const QString& name) const
    {
        QStringList values;
        for (int r = 0; r < grid()->model()->rowCount(); ++r)
            values.append(cell(grid(), r, name));
        return values;
    }
    QueryWindow* window;
};

QStringList logContents(TestFolder& t, const QString& action)
{
    QSqlQuery q = Sql::exec(t.dm().weightdatabase(), u"SELECT 操作内容 FROM LogTab WHERE 操作类型 = ? ORDER BY 编号"_s,
                            {action});
    QStringList contents;
    while (q.next())
        contents.append(q.value(0).toString());
    return contents;
}

/** Closes the report preview that the next modal loop shows. */
void closePreviewWhenShown()
{
    QTimer::singleShot(0, [] {
        if (auto* preview = qobject_cast<ReportPreviewWindow*>(QApplication::activeModalWidget()))
            preview->reject();
    });
}

QString storedPlate(TestFolder& t, int number)
{
    return t.dm().QueryScalar(u"SELECT 车号 FROM weight WHERE 编号 = ?"_s, {number});
}

} // namespace

class QueryWindowTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsNewestRecordsAndBoxes();
    void queryTotalsAndPendingColour();
    void optionsRequeryOnlyWithTheRight();
    void rejectedConditionLeavesGridEmpty();
    void editTwoRecordsLogsEachOldValues();
    void saveUnchangedAndRefusedValue();
    void deleteAndDeleteSet();
    void exportWritesTheGrid();
    void printTitlesDialog();
    void printPreviewToPdf();
    void wordPickerFillsTheBox();
    void enterMovesOn();
};

void QueryWindowTest::showsNewestRecordsAndBoxes()
{
    TestFolder t;
    QueryFixture::store(t);
    IniFile(t.dm().iniPath()).writeInteger(u"Select"_s, u"Num"_s, 5);
    OpenWindow w(t);
    QCOMPARE(w.window->objectName(), u"Tmanagerdatafrm"_s);
    QCOMPARE(w.window->windowTitle(), u"查询与打印"_s);
    QCOMPARE(w.column(u"编号"_s), (QStringList{u"7"_s, u"6"_s, u"5"_s, u"4"_s, u"3"_s}));
    // One box per visible field but 编号, labelled with the field; a single column for eight or fewer.
    QVERIFY(w.box(u"车号"_s));
    QVERIFY(!w.window->findChild<QLineEdit*>(u"EIT15"_s) || w.box(u"编号"_s) == nullptr);
    QCOMPARE(w.box(u"车号"_s)->toolTip(), u"双击编辑框选择历史词汇/回车转移下一编辑框"_s);
    QCOMPARE(w.window->findChild<QDateEdit*>(u"DateTimePicker1"_s)->date(), QDate(2026, 12, 1));
    QVERIFY(!w.window->lastCondition());
}

void QueryWindowTest::queryTotalsAndPendingColour()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    w.box(u"品名"_s)->setText(u"豆油,大米"_s);
    click(*w.window, u"BitBtn2"_s);
    QCOMPARE(t.prompter.lastText(), u"共有 3 条记录符合条件"_s);
    QCOMPARE(t.prompter.calls.last().title, u"提示!"_s);
    QCOMPARE(w.column(u"编号"_s), (QStringList{u"3"_s, u"2"_s, u"1"_s}));
    QCOMPARE(w.pane(1), u"皮重：31000.0千克"_s);
    QCOMPARE(w.pane(2), u"毛重：62000.0千克"_s);
    QCOMPARE(w.pane(3), u"净重：40000.0千克"_s);
    QCOMPARE(w.pane(4), u"车数：3次"_s);

    // The pending record (row 0, net 0) is painted; the completed one below is not.
    w.grid()->setCurrentIndex(w.grid()->model()->index(2, 0));
    const QImage shot = w.grid()->viewport()->grab().toImage();
    const auto cellColour = [&](int row) {
        const QRect r = w.grid()->visualRect(w.grid()->model()->index(row, 1));
        return shot.pixelColor(r.left() + 2, r.top() + 2);
    };
    QCOMPARE(cellColour(0), QColor(196, 196, 255));
    QVERIFY(cellColour(1) != QColor(196, 196, 255));
}

void QueryWindowTest::optionsRequeryOnlyWithTheRight()
{
    TestFolder t;
    QueryFixture::store(t);
    {
        OpenWindow w(t);
        QTest::mouseClick(w.window->findChild<QRadioButton*>(u"RadioButton4"_s), Qt::LeftButton);
        QCOMPARE(t.prompter.lastText(), u"共有 6 条记录符合条件"_s);
        QCOMPARE(w.column(u"编号"_s).first(), u"1"_s);
    }
    t.addUser(u"clerk"_s, {u"打印"_s});
    t.ctx().login.CurrentOperator = u"clerk"_s;
    t.prompter.calls.clear();
    OpenWindow w(t);
    QVERIFY(!w.window->findChild<QPushButton*>(u"BitBtn2"_s)->isEnabled());
    QVERIFY(!w.window->findChild<QPushButton*>(u"BitBtn3"_s)->isEnabled());
    QVERIFY(!w.window->findChild<QPushButton*>(u"BitBtn5"_s)->isEnabled());
    QVERIFY(w.window->findChild<QPushButton*>(u"BitBtn7"_s)->isEnabled());
    QVERIFY(w.grid()->editTriggers() == QAbstractItemView::NoEditTriggers);
    QTest::mouseClick(w.window->findChild<QRadioButton*>(u"RadioButton6"_s), Qt::LeftButton);
    QVERIFY(t.prompter.calls.isEmpty());
}

void QueryWindowTest::rejectedConditionLeavesGridEmpty()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    w.box(u"皮重"_s)->setText(u"abc"_s);
    click(*w.window, u"BitBtn2"_s);
    QCOMPARE(t.prompter.calls.last().kind, u"error"_s);
    QCOMPARE(w.grid()->model()->rowCount(), 0);
    QVERIFY(w.pane(4).isEmpty());
}

void QueryWindowTest::editTwoRecordsLogsEachOldValues()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    w.box(u"车号"_s)->setText(u"鲁F12345"_s);
    click(*w.window, u"BitBtn2"_s);
    // Row 0 is record 2, row 1 record 1 (descending).
    QVERIFY(setCell(w.grid(), 0, u"车号"_s, u"鲁F99999"_s));
    w.grid()->setCurrentIndex(w.grid()->model()->index(1, 2));
    QVERIFY(setCell(w.grid(), 1, u"品名"_s, u"花生"_s));
    click(*w.window, u"BitBtn3"_s);
    const QStringList logged = logContents(t, u"修改"_s);
    QCOMPARE(logged.size(), 2);
    QVERIFY2(logged[0].startsWith(u"[2][鲁F12345][大米]"_s), qPrintable(logged[0]));
    QVERIFY2(logged[1].startsWith(u"[1][鲁F12345][豆油]"_s), qPrintable(logged[1]));
    QVERIFY(logged[0].contains(u"[2026-12-10 10:00:00]"_s));
    QCOMPARE(storedPlate(t, 2), u"鲁F99999"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 品名 FROM weight WHERE 编号 = 1"_s), u"花生"_s);
}

void QueryWindowTest::saveUnchangedAndRefusedValue()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    w.grid()->setCurrentIndex(w.grid()->model()->index(0, 1)); // record 7
    click(*w.window, u"BitBtn3"_s);
    QCOMPARE(logContents(t, u"修改"_s).size(), 1);
    QVERIFY(logContents(t, u"修改"_s).first().startsWith(u"[7][100%_x][%]"_s));

    QVERIFY(setCell(w.grid(), 0, u"皮重"_s, u"很重"_s));
    click(*w.window, u"BitBtn3"_s);
    QCOMPARE(t.prompter.lastText(), PostFailed);
    QCOMPARE(logContents(t, u"修改"_s).size(), 1);
    QCOMPARE(cell(w.grid(), 0, u"皮重"_s), u"1"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 皮重 FROM weight WHERE 编号 = 7"_s), u"1"_s);
}

void QueryWindowTest::deleteAndDeleteSet()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    // Before any query the delete set has no condition: nothing goes.
    click(*w.window, u"BitBtn6"_s);
    QCOMPARE(t.count(u"weight"_s), 7);
    QVERIFY(!t.logActions().contains(u"删除集"_s));
    QCOMPARE(t.prompter.calls.last().kind, u"information"_s);

    w.grid()->setCurrentIndex(w.grid()->model()->index(1, 0)); // record 6
    t.prompter.answers.enqueue(false);
    click(*w.window, u"BitBtn5"_s);
    QCOMPARE(t.count(u"weight"_s), 7);
    click(*w.window, u"BitBtn5"_s);
    QCOMPARE(t.prompter.calls.last().text, u"你确实要删除这条数据吗?"_s);
    QCOMPARE(t.count(u"weight"_s, u"编号 = 6"_s), 0);
    QVERIFY(logContents(t, u"删除"_s).value(0).startsWith(u"[6][苏C33333][大米]"_s));

    // The delete set removes what the condition selects, however the grid is sorted.
    w.box(u"品名"_s)->setText(u"大米,豆油"_s);
    click(*w.window, u"BitBtn2"_s);
    w.grid()->sortByColumn(1, Qt::AscendingOrder);
    click(*w.window, u"BitBtn6"_s);
    QCOMPARE(t.prompter.calls.last().text, u"您确定要删除这些数据吗？"_s);
    QCOMPARE(t.count(u"weight"_s), 3);
    QCOMPARE(logContents(t, u"删除集"_s), QStringList{QString()});
    QCOMPARE(w.column(u"编号"_s), (QStringList{u"7"_s, u"5"_s, u"4"_s}));
}

void QueryWindowTest::exportWritesTheGrid()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    click(*w.window, u"BitBtn2"_s);
    t.prompter.texts.enqueue(t.path(u"report"_s));
    click(*w.window, u"BitBtn7"_s);
    QCOMPARE(t.prompter.lastText(), u"成功导出到"_s + t.path(u"report.xlsx"_s) + u"文件中..."_s);
    QVERIFY(QFileInfo(t.path(u"report.xlsx"_s)).size() > 0);

    w.grid()->sortByColumn(1, Qt::AscendingOrder); // 车号: the file follows the grid's order
    t.prompter.texts.enqueue(t.path(u"report.csv"_s));
    click(*w.window, u"BitBtn7"_s);
    const QList<QStringList> rows = QueryFixture::readCsv(t.path(u"report.csv"_s));
    QCOMPARE(rows.size(), 7);
    QCOMPARE(rows[0].value(1), u"车号"_s);
    QCOMPARE(rows[1].value(1), u"100%_x"_s);
    QCOMPARE(rows[2].value(1), u"O'Brien"_s);

    t.prompter.texts.enqueue(std::nullopt);
    const int calls = int(t.prompter.calls.size());
    click(*w.window, u"BitBtn7"_s);
    QCOMPARE(int(t.prompter.calls.size()), calls + 1); // only the chooser
}

void QueryWindowTest::printTitlesDialog()
{
    TestFolder t;
    OpenWindow w(t);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->objectName() == u"TPrintSetFrm"_s);
        QCOMPARE(dialog->windowTitle(), u"打印机设置"_s);
        QCOMPARE(dialog->findChild<QLineEdit*>(u"Edit1"_s)->text(), u"**集团公司"_s);
        dialog->findChild<QLineEdit*>(u"Edit1"_s)->setText(u"某某集团"_s);
        dialog->findChild<QLineEdit*>(u"Edit2"_s)->setText(u"十二月报表"_s);
        closePreviewWhenShown();
        click(*dialog, u"BitBtn1"_s);
    });
    click(*w.window, u"BitBtn8"_s);
    const IniFile ini(t.dm().iniPath());
    QCOMPARE(ini.readString(u"title"_s, u"title1"_s, {}), u"某某集团"_s);
    QCOMPARE(ini.readString(u"title"_s, u"title2"_s, {}), u"十二月报表"_s);

    // "关闭(&C)" saves nothing.
    QTimer::singleShot(0, [] {
        auto* dialog = QApplication::activeModalWidget();
        dialog->findChild<QLineEdit*>(u"Edit1"_s)->setText(u"不保存"_s);
        closePreviewWhenShown();
        click(*dialog, u"BitBtn2"_s);
    });
    click(*w.window, u"BitBtn8"_s);
    QCOMPARE(IniFile(t.dm().iniPath()).readString(u"title"_s, u"title1"_s, {}), u"某某集团"_s);
}

void QueryWindowTest::printPreviewToPdf()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    w.box(u"车号"_s)->setText(u"鲁F12345"_s);
    click(*w.window, u"BitBtn2"_s);
    const QString pdf = t.path(u"report.pdf"_s);
    int pages = 0;
    QTimer::singleShot(0, [&] {
        auto* titles = QApplication::activeModalWidget();
        titles->findChild<QLineEdit*>(u"Edit1"_s)->setText(u"  某某集团 "_s);
        titles->findChild<QLineEdit*>(u"Edit2"_s)->setText(u"十二月报表"_s);
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<ReportPreviewWindow*>(QApplication::activeModalWidget());
            QVERIFY(preview);
            pages = preview->pane().pageCount();
            preview->setPrintFunction(
                [&](const PreparedReport& report) { return ReportRenderer::writePdf(report, pdf); });
            preview->printReport();
            preview->printReport();
            preview->accept();
        });
        click(*titles, u"BitBtn1"_s);
    });
    click(*w.window, u"BitBtn8"_s);
    QCOMPARE(pages, 1);
    QCOMPARE(logContents(t, u"打印"_s), (QStringList{QString(), QString()}));
    QProcess text;
    text.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    QVERIFY(text.waitForFinished(30000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    for (const QString& expected : {u"某某集团"_s, u"十二月报表"_s, u"鲁F12345"_s, u"大米"_s, u"净重：40000.0千克"_s,
                                    u"车数：2次"_s})
        QVERIFY2(printed.contains(expected), qPrintable(printed));
    QVERIFY(!printed.contains(u"苏A00001"_s));
    // The result is read again afterwards.
    QCOMPARE(w.column(u"编号"_s), (QStringList{u"2"_s, u"1"_s}));

    // An empty title stops before the preview.
    QTimer::singleShot(0, [] {
        auto* titles = QApplication::activeModalWidget();
        titles->findChild<QLineEdit*>(u"Edit2"_s)->setText(u"   "_s);
        click(*titles, u"BitBtn2"_s);
    });
    click(*w.window, u"BitBtn8"_s);
    QCOMPARE(logContents(t, u"打印"_s).size(), 2);
}

void QueryWindowTest::wordPickerFillsTheBox()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    QLineEdit* plate = w.box(u"车号"_s);
    QTimer::singleShot(0, [] {
        auto* picker = qobject_cast<WordPickerDialog*>(QApplication::activeModalWidget());
        QVERIFY(picker);
        QCOMPARE(picker->PickFieldName(), u"车号"_s);
        QCOMPARE(picker->PickTableName(), u"Weight"_s);
        picker->findChild<QTableView*>(u"DBGrid1"_s)->selectRow(1);
        picker->DBGrid1DblClick();
    });
    QTest::mouseDClick(plate, Qt::LeftButton);
    QVERIFY(!plate->text().isEmpty());
    QCOMPARE(plate->cursorPosition(), int(plate->text().size()));
}

void QueryWindowTest::enterMovesOn()
{
    TestFolder t;
    QueryFixture::store(t);
    OpenWindow w(t);
    QApplication::setActiveWindow(w.window);
    QVERIFY(QTest::qWaitForWindowActive(w.window));
    QLineEdit* first = w.window->findChild<QLineEdit*>(u"EIT0"_s);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), w.window->findChild<QLineEdit*>(u"EIT1"_s));

    // In the grid Enter walks the cells like Tab and wraps from the last cell to the first.
    EditGrid* grid = w.grid();
    const int lastRow = grid->model()->rowCount() - 1;
    const int lastColumn = grid->model()->columnCount() - 1;
    grid->setCurrentIndex(grid->model()->index(0, lastColumn));
    QTest::keyClick(grid, Qt::Key_Return);
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 0));
    grid->setCurrentIndex(grid->model()->index(lastRow, lastColumn));
    QTest::keyClick(grid, Qt::Key_Enter);
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, 0));
}

QTEST_MAIN(QueryWindowTest)
#include "tst_querywindow.moc"
