#include "GridDriver.h"
#include "TestFolder.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/RecordLayout.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "records/FieldDesigner.h"
#include "records/FieldDesignerWindow.h"
#include "widgets/EditGrid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QSqlDatabase>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace GridDriver;

/** One column as the database describes it. */
struct Column
{
    QString name;
    QString type;
    bool notNull;
    QString defaultValue;
    bool key;

    bool operator==(const Column&) const = default;
};

QList<Column> columnsOf(const QSqlDatabase& db, const QString& table)
{
    QList<Column> columns;
    QSqlQuery q = Sql::exec(db, u"PRAGMA table_info(%1)"_s.arg(table));
    while (q.next())
        columns.append({q.value(1).toString(), q.value(2).toString(), q.value(3).toBool(),
                        q.value(4).toString(), q.value(5).toInt() > 0});
    return columns;
}

/** How a failing comparison shows a column. */
char* toString(const Column& c)
{
    const QString text =
        u"%1 %2%3%4%5"_s.arg(c.name, c.type, c.notNull ? u" NOT NULL"_s : QString(),
                             c.defaultValue.isEmpty() ? QString() : u" DEFAULT "_s + c.defaultValue,
                             c.key ? u" KEY"_s : QString());
    return qstrdup(text.toUtf8().constData());
}

StructureRow row(int number, const QString& name, const QString& type, const QString& width, bool mayBeEmpty)
{
    StructureRow r;
    r.number = number;
    r.name = name;
    r.type = type;
    r.width = width;
    r.mayBeEmpty = mayBeEmpty;
    return r;
}

void addRecords(TestFolder& t, int n)
{
    for (int i = 0; i < n; ++i)
        Sql::exec(
            t.dm().weightdatabase(),
            u"INSERT INTO weight (车号, 皮重, 皮重时间, 皮重操作人) VALUES (?, 15000, '2026-04-30 10:00:00', 'admin')"_s,
            {u"苏A0000%1"_s.arg(i)});
}

QStringList backups(TestFolder& t)
{
    return QDir(t.path(u"backup"_s)).entryList(QDir::Files);
}

QString checkWidth(TestFolder& t, const QString& field)
{
    return IniFile(t.dm().iniPath()).readString(Option::CheckWidthSection, field, u"absent"_s);
}

} // namespace

class RecordsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exampleMakesTheSameTable_data();
    void exampleMakesTheSameTable();
    void saveRebuildsTheWeighingTable();
    void brokenLayoutLeavesTheTable_data();
    void brokenLayoutLeavesTheTable();
    void failedPostStopsTheSave_data();
    void failedPostStopsTheSave();
    void gridCommandsEditTheLayout();
};

void RecordsTest::exampleMakesTheSameTable_data()
{
    QTest::addColumn<QStringList>("types"); // of the rows 编号, 车号, 毛重, 毛重时间
    QTest::newRow("as written") << QStringList{u"Int"_s, u"String"_s, u"Float"_s, u"DateTime"_s};
    QTest::newRow("lower case") << QStringList{u"int"_s, u"string"_s, u"float"_s, u"datetime"_s};
    QTest::newRow("upper case") << QStringList{u"INT"_s, u"STRING"_s, u"FLOAT"_s, u"DATETIME"_s};
    QTest::newRow("mixed, first row any type")
        << QStringList{u"String"_s, u"sTrInG"_s, u"fLOAT"_s, u"Datetime"_s};
}

void RecordsTest::exampleMakesTheSameTable()
{
    QFETCH(QStringList, types);
    TestFolder t;
    const QSqlDatabase db = t.dm().weightdatabase();
    const QList<StructureRow> rows{
        row(1, u"编号"_s, types[0], u"4"_s, true), row(2, u"车号"_s, types[1], u"20"_s, false),
        row(3, u"毛重"_s, types[2], u"4"_s, true), row(4, u"毛重时间"_s, types[3], u"8"_s, true)};
    Sql::exec(db, RecordLayout::createTableSql(rows, t.dm().dialect(), u"example"_s));
    const QList<Column> expected{
        {u"编号"_s, u"INTEGER"_s, false, {}, true},
        {u"车号"_s, u"VARCHAR(20)"_s, true, {}, false},
        {u"毛重"_s, u"DOUBLE"_s, false, u"0"_s, false},
        {u"毛重时间"_s, u"DATETIME"_s, false, u"datetime('now','localtime')"_s, false},
    };
    QCOMPARE(columnsOf(db, u"example"_s), expected);

    // The defaults fill what an insert leaves out; the plate may not be empty; numbers count from 1.
    Sql::exec(db, u"INSERT INTO example (车号) VALUES ('苏A1')"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 编号 || '/' || 毛重 FROM example"_s), u"1/0.0"_s);
    const QDateTime stamped = Dialect::toDateTime(t.dm().QueryScalar(u"SELECT 毛重时间 FROM example"_s));
    QVERIFY(qAbs(stamped.secsTo(QDateTime::currentDateTime())) < 60);
    QVERIFY_THROWS_EXCEPTION(DbError, Sql::exec(db, u"INSERT INTO example (毛重) VALUES (1)"_s));
}

void RecordsTest::saveRebuildsTheWeighingTable()
{
    TestFolder t;
    addRecords(t, 2);
    QList<StructureRow> layout = RecordLayout::defaultRows();
    // The first row is never a column of its own, whatever it says.
    layout[0].type = u"String"_s;
    layout[0].width = u"10"_s;
    layout[0].mayBeEmpty = false;
    layout[2].type = u"STRING"_s; // 品名
    layout[2].mayBeEmpty = false;
    layout[9].type = u"float"_s;     // 单价
    layout[13].type = u"datetime"_s; // 皮重时间
    layout[17].type = u"iNT"_s;      // 补打次数
    RecordLayout::write(t.dm().weightdatabase(), layout);

    FieldDesignerWindow w(t.ctx());
    w.show();
    EditGrid* grid = gridOf(w);
    QCOMPARE(grid->model()->rowCount(), layout.size());
    // A field added in the grid is written by the save's post.
    click(w, u"BitBtn2"_s);
    const int added = grid->model()->rowCount() - 1;
    QVERIFY(setCell(grid, added, u"编号"_s, u"20"_s));
    QVERIFY(setCell(grid, added, u"项目名称"_s, u"磅房"_s));
    QVERIFY(setCell(grid, added, u"项目类型"_s, u"String"_s));
    QVERIFY(setCell(grid, added, u"项目宽度"_s, u"12"_s));
    QVERIFY(setCell(grid, added, u"是否为空"_s, true));
    click(w, u"BitBtn4"_s);

    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"information"_s);
    QCOMPARE(t.prompter.calls[0].text, u"恭喜您，称重数据表格已经构建完毕！"_s);
    QCOMPARE(t.prompter.calls[0].title, u"提示"_s);
    QCOMPARE(t.logActions(), QStringList{u"建表结构"_s});

    const QList<Column> columns = columnsOf(t.dm().weightdatabase(), u"weight"_s);
    QCOMPARE(columns.size(), layout.size() + 1);
    QCOMPARE(columns[0], (Column{u"编号"_s, u"INTEGER"_s, false, {}, true}));
    for (qsizetype i = 1; i < layout.size(); ++i)
        QCOMPARE(columns[i].name, layout[i].name);
    QCOMPARE(columns[2], (Column{u"品名"_s, u"VARCHAR(30)"_s, true, {}, false}));
    QCOMPARE(columns[9], (Column{u"单价"_s, u"DOUBLE"_s, false, u"0"_s, false}));
    QCOMPARE(columns[13],
             (Column{u"皮重时间"_s, u"DATETIME"_s, false, u"datetime('now','localtime')"_s, false}));
    QCOMPARE(columns[17], (Column{u"补打次数"_s, u"INTEGER"_s, false, u"0"_s, false}));
    QCOMPARE(columns.last(), (Column{u"磅房"_s, u"VARCHAR(12)"_s, false, {}, false}));

    // The table starts empty, numbering from 1 again, with the indexes of the searched columns.
    QCOMPARE(t.count(u"weight"_s), 0);
    Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号, 品名) VALUES ('苏A1', '黄沙')"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 编号 FROM weight"_s), u"1"_s);
    QCOMPARE(t.count(u"sqlite_master"_s, u"type = 'index' AND tbl_name = 'weight'"_s), 4);
    QCOMPARE(t.count(u"sqlite_master"_s, u"name = 'weight_new'"_s), 0);

    // The copy made before holds the records that the rebuild discarded.
    QCOMPARE(backups(t), QStringList{u"Struct26_05_01_08_00_00.MDB"_s});
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"copy"_s);
        copy.setDatabaseName(t.path(u"backup/Struct26_05_01_08_00_00.MDB"_s));
        QVERIFY(copy.open());
        QCOMPARE(Sql::scalar(copy, u"SELECT count(*) FROM weight"_s).toInt(), 2);
        QCOMPARE(Sql::scalar(copy, u"SELECT count(*) FROM structure"_s).toInt(), layout.size() + 1);
        copy.close();
    }
    QSqlDatabase::removeDatabase(u"copy"_s);

    // The save writes 12 for Float fields, the refresh the stored widths.
    QCOMPARE(checkWidth(t, u"单价"_s), u"12"_s);
    QCOMPARE(checkWidth(t, u"毛重"_s), u"12"_s);
    QCOMPARE(checkWidth(t, u"车号"_s), u"20"_s);
    QCOMPARE(checkWidth(t, u"编号"_s), u"10"_s);
    QCOMPARE(checkWidth(t, u"磅房"_s), u"12"_s);
    click(w, u"BitBtn6"_s);
    QCOMPARE(checkWidth(t, u"单价"_s), u"4"_s);
    QCOMPARE(checkWidth(t, u"毛重"_s), u"4"_s);
    QCOMPARE(checkWidth(t, u"皮重时间"_s), u"8"_s);
    QCOMPARE(grid->model()->rowCount(), layout.size() + 1);

    // A second save in the same second keeps both copies.
    click(w, u"BitBtn4"_s);
    QCOMPARE(backups(t), (QStringList{u"Struct26_05_01_08_00_00.MDB"_s, u"Struct26_05_01_08_00_00_2.MDB"_s}));
}

void RecordsTest::brokenLayoutLeavesTheTable_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message"); // part of the message that names the row
    QTest::newRow("single row") << u"single row"_s << u"至少需要两行"_s;
    QTest::newRow("unknown type") << u"unknown type"_s << u"编号为 4 的项目“发货方”的项目类型"_s;
    QTest::newRow("String without width") << u"no width"_s << u"编号为 2 的项目“车号”是 String 类型"_s;
    QTest::newRow("String with a bad width") << u"bad width"_s << u"编号为 3 的项目“品名”是 String 类型"_s;
    QTest::newRow("duplicate name") << u"duplicate"_s << u"编号为 5 的项目“车号”的项目名称重复"_s;
    QTest::newRow("name that is no column name") << u"bad name"_s << u"编号为 6 的项目“承运 方”"_s;
    QTest::newRow("fixed field missing") << u"missing"_s << u"缺少系统关键项目“扣重数”"_s;
    QTest::newRow("first row is not 编号") << u"first row"_s << u"必须是系统关键项目“编号”"_s;
    QTest::newRow("formula") << u"formula"_s << u"编号为 11 的项目“金额”填写了计算公式“单价*净重”"_s;
}

void RecordsTest::brokenLayoutLeavesTheTable()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    TestFolder t;
    addRecords(t, 3);
    const QList<Column> before = columnsOf(t.dm().weightdatabase(), u"weight"_s);
    QList<StructureRow> layout = RecordLayout::defaultRows();
    if (fault == u"single row"_s)
        layout = layout.mid(0, 1);
    else if (fault == u"unknown type"_s)
        layout[3].type = u"Money"_s;
    else if (fault == u"no width"_s)
        layout[1].width.clear();
    else if (fault == u"bad width"_s)
        layout[2].width = u"三十"_s;
    else if (fault == u"duplicate"_s)
        layout[4].name = u"车号"_s;
    else if (fault == u"bad name"_s)
        layout[5].name = u"承运 方"_s;
    else if (fault == u"missing"_s)
        layout.removeAt(11);
    else if (fault == u"first row"_s)
        layout[0].name = u"序号"_s;
    else if (fault == u"formula"_s)
        layout[10].formula = u"单价*净重"_s;
    RecordLayout::write(t.dm().weightdatabase(), layout);

    FieldDesignerWindow w(t.ctx());
    w.show();
    click(w, u"BitBtn4"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"warning"_s);
    QVERIFY2(t.prompter.calls[0].text.contains(message), qPrintable(t.prompter.calls[0].text));
    QCOMPARE(columnsOf(t.dm().weightdatabase(), u"weight"_s), before);
    QCOMPARE(t.count(u"weight"_s), 3);
    QCOMPARE(backups(t), QStringList());
    QCOMPARE(t.logActions(), QStringList());
    QCOMPARE(checkWidth(t, u"单价"_s), u"12"_s);
}

void RecordsTest::failedPostStopsTheSave_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("value");
    QTest::newRow("number not a number") << u"编号"_s << u"二"_s;
    QTest::newRow("number of another row") << u"编号"_s << u"1"_s;
    QTest::newRow("number missing") << u"编号"_s << u""_s;
}

void RecordsTest::failedPostStopsTheSave()
{
    QFETCH(QString, column);
    QFETCH(QString, value);
    TestFolder t;
    addRecords(t, 2);
    FieldDesignerWindow w(t.ctx());
    w.show();
    EditGrid* grid = gridOf(w);
    QVERIFY(setCell(grid, 1, column, value));
    click(w, u"BitBtn4"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, EditGrid::PostFailedMessage);
    QCOMPARE(t.prompter.calls[0].title, u"提示!"_s);
    QCOMPARE(t.count(u"weight"_s), 2);
    QCOMPARE(t.count(u"structure"_s, u"编号 = 2 AND 项目名称 = '车号'"_s), 1);
    QCOMPARE(grid->model()->index(1, columnOf(grid, column)).data().toString(), u"2"_s);
    QCOMPARE(backups(t), QStringList());
    QCOMPARE(t.logActions(), QStringList());
}

void RecordsTest::gridCommandsEditTheLayout()
{
    TestFolder t;
    FieldDesignerWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"Tdatabasesetfrm"_s);
    QCOMPARE(w.windowTitle(), u"设置称重字段项目"_s);
    QCOMPARE(w.findChild<QLabel*>(u"Label1"_s)->text(), u"称重项目设置"_s);
    QCOMPARE(w.findChild<QGroupBox*>(u"GroupBox1"_s)->title(), u"特别注意："_s);
    QStringList note;
    for (QLabel* line : w.findChild<QGroupBox*>(u"GroupBox1"_s)->findChildren<QLabel*>())
        note.append(line->text());
    QCOMPARE(note, FieldDesignerWindow::noteLines());
    QCOMPARE(w.findChild<QWidget*>(u"DBNavigator1"_s)->toolTip(), u"数据导航"_s);

    EditGrid* grid = gridOf(w);
    QStringList headers;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        headers.append(grid->model()->headerData(c, Qt::Horizontal).toString());
    QCOMPARE(headers, (QStringList{u"编号"_s, u"项目名称"_s, u"项目类型"_s, u"项目宽度"_s, u"小数位"_s,
                                   u"是否为空"_s, u"是否可见"_s, u"是否汉字输入"_s}));
    const int rows = grid->model()->rowCount();

    // The type column offers its pick list.
    const QModelIndex type = grid->model()->index(0, columnOf(grid, u"项目类型"_s));
    grid->setCurrentIndex(type);
    grid->edit(type);
    auto* pick = grid->viewport()->findChild<QComboBox*>();
    QVERIFY(pick);
    QStringList items;
    for (int i = 0; i < pick->count(); ++i)
        items.append(pick->itemText(i));
    QCOMPARE(items, (QStringList{u"Int"_s, u"Float"_s, u"String"_s, u"DateTime"_s}));
    click(w, u"BitBtn5"_s);

    // The navigator moves the cursor.
    click(w, u"Last"_s);
    QCOMPARE(grid->currentRow(), rows - 1);
    click(w, u"Prior"_s);
    QCOMPARE(grid->currentRow(), rows - 2);
    click(w, u"First"_s);
    QCOMPARE(grid->currentRow(), 0);
    click(w, u"Next"_s);
    QCOMPARE(grid->currentRow(), 1);

    // Add appends a row in edit; cancel takes it away again.
    click(w, u"BitBtn2"_s);
    QCOMPARE(grid->model()->rowCount(), rows + 1);
    QCOMPARE(grid->currentRow(), rows);
    click(w, u"BitBtn5"_s);
    QCOMPARE(grid->model()->rowCount(), rows);

    // A row changed and left is written at once; deleting needs no save either.
    QVERIFY(setCell(grid, rows - 1, u"项目宽度"_s, u"200"_s));
    click(w, u"First"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 项目宽度 FROM structure WHERE 项目名称 = '备注'"_s), u"200"_s);
    grid->goToRow(rows - 1);
    t.prompter.answers.enqueue(false);
    click(w, u"BitBtn3"_s);
    QCOMPARE(t.count(u"structure"_s), rows);
    click(w, u"BitBtn3"_s);
    QCOMPARE(t.count(u"structure"_s), rows - 1);
    QCOMPARE(t.count(u"structure"_s, u"项目名称 = '备注'"_s), 0);
    QCOMPARE(t.prompter.textsOf(u"confirm"_s), (QStringList{u"您确定要删除吗？"_s, u"您确定要删除吗？"_s}));
    QCOMPARE(t.logActions(), QStringList());

    // With no rows, delete asks nothing.
    Sql::exec(t.dm().weightdatabase(), u"DELETE FROM structure"_s);
    click(w, u"BitBtn6"_s);
    QCOMPARE(grid->model()->rowCount(), 0);
    const qsizetype calls = t.prompter.calls.size();
    click(w, u"BitBtn3"_s);
    QCOMPARE(t.prompter.calls.size(), calls);
}

QTEST_MAIN(RecordsTest)
#include "tst_records.moc"
