#include "TestFolder.h"
#include "audit/RecordSnapshot.h"
#include "audit/ResultTable.h"
#include "audit/ReviewWindows.h"
#include "audit/StaleTareWindow.h"
#include "audit/StaleTares.h"
#include "audit/UnrecordedLoads.h"
#include "data/IniFile.h"
#include "data/Sql.h"
#include "weighing/WeighStation.h"
#include "widgets/GridFinder.h"

#include <QApplication>
#include <QDateEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

const QDate Day(2026, 5, 1);

QDateTime at(int hour, int minute = 0, const QDate& date = Day)
{
    return QDateTime(date, QTime(hour, minute));
}

void click(const QWidget& w, const QString& button)
{
    auto* b = w.findChild<QPushButton*>(button);
    if (!b)
        qFatal("no button %s", qPrintable(button));
    QTest::mouseClick(b, Qt::LeftButton);
}

QTableView* grid(const QWidget& w)
{
    return w.findChild<QTableView*>(u"DBGrid1"_s);
}

QStringList columnsOf(const QWidget& w)
{
    QStringList names;
    const QAbstractItemModel* m = grid(w)->model();
    for (int c = 0; c < m->columnCount(); ++c)
        names.append(m->headerData(c, Qt::Horizontal).toString());
    return names;
}

/** One column's shown texts, top to bottom as the grid shows them. */
QStringList column(const QWidget& w, const QString& name)
{
    const QAbstractItemModel* m = grid(w)->model();
    const int c = int(columnsOf(w).indexOf(name));
    if (c < 0)
        qFatal("no column %s", qPrintable(name));
    QStringList texts;
    for (int r = 0; r < m->rowCount(); ++r)
        texts.append(m->index(r, c).data().toString());
    return texts;
}

void setRange(const QWidget& w, const QDate& from, const QTime& fromTime, const QDate& to,
              const QTime& toTime)
{
    w.findChild<QDateEdit*>(u"DateTimePicker1"_s)->setDate(from);
    w.findChild<QTimeEdit*>(u"DateTimePicker2"_s)->setTime(fromTime);
    w.findChild<QDateEdit*>(u"DateTimePicker3"_s)->setDate(to);
    w.findChild<QTimeEdit*>(u"DateTimePicker4"_s)->setTime(toTime);
}

void addLog(TestFolder& t, const QDateTime& time, const QString& action, const QString& content = QString())
{
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO LogTab (操作人, 操作类型, 操作内容, 操作时间) VALUES ('admin', ?, ?, ?)"_s,
              {action, content.isNull() ? u""_s : content, Dialect::dateTimeText(time)});
}

void addLoad(TestFolder& t, const QDateTime& time, double weight)
{
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO 黑匣子数据 (重量, 时间, 操作人) VALUES (?, ?, 'admin')"_s,
              {weight, Dialect::dateTimeText(time)});
}

/** A tare-only (pending) record; returns its number. */
qlonglong addTare(TestFolder& t, const QString& plate, const QDateTime& tareTime, double gross = 0)
{
    Sql::exec(
        t.dm().weightdatabase(),
        u"INSERT INTO weight (车号, 毛重, 皮重, 皮重时间, 皮重操作人) VALUES (?, ?, 15000, ?, 'admin')"_s,
        {plate, gross, Dialect::dateTimeText(tareTime)});
    return Sql::scalar(t.dm().weightdatabase(), u"SELECT max(编号) FROM weight"_s).toLongLong();
}

void addComplete(TestFolder& t, const QDateTime& tareTime, double tare, const QDateTime& grossTime,
                 double gross, double deducted = 0)
{
    Sql::exec(
        t.dm().weightdatabase(),
        u"INSERT INTO weight (车号, 皮重, 皮重时间, 毛重, 毛重时间, 净重, 扣重数) VALUES ('苏A1', ?, ?, ?, ?, ?, ?)"_s,
        {tare, Dialect::dateTimeText(tareTime), gross, Dialect::dateTimeText(grossTime), gross - tare,
         deducted});
}

QSqlRecord weightRecord(TestFolder& t, qlonglong number)
{
    QSqlQuery q = Sql::exec(t.dm().weightdatabase(), u"SELECT * FROM weight WHERE 编号 = ?"_s, {number});
    q.next();
    return q.record();
}

QList<ColumnInfo> columnsNamed(const QString& names)
{
    // "n:编号 t:车号 d:皮重时间": kind letter, colon, name.
    QList<ColumnInfo> columns;
    for (const QString& part : names.split(u' ')) {
        const QChar kind = part[0];
        columns.append({part.mid(2), kind == u'n'   ? ColumnKind::Number
                                     : kind == u'd' ? ColumnKind::DateTime
                                                    : ColumnKind::Text});
    }
    return columns;
}

} // namespace

class ReviewWindowsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void snapshotSplit_data();
    void snapshotSplit();
    void snapshotRoundTripsARealRecord();
    void unrecordedLoads_data();
    void unrecordedLoads();

    void logListsTodayNewestFirst();
    void logDeleteRemovesLastQueriedRange();
    void logRangeBackwardsListsNothing();
    void logDatabaseErrorLeavesGridEmpty();
    void logWidthsAndFind();

    void recycleBinListsRecordSnapshotsAsForms();
    void recycleBinFirstListingWithoutQueryRight();

    void blackBoxShowsThreeColumnsAndMarksUnrecorded();
    void blackBoxDeleteRemovesLastQueriedRange();

    void staleTaresByAge_data();
    void staleTaresByAge();
    void staleTareDeleteRefusesGrossAndLogsContent();
    void stationF11OpensStaleTareReview();
};

void ReviewWindowsTest::snapshotSplit_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<bool>("ambiguous");

    const QString fixed = u"n:编号 t:车号 n:净重 n:扣重数 t:扣杂方式 d:皮重时间"_s;
    QTest::newRow("plain") << u"[1][苏A1][500][][][2026-05-01 08:00:00]"_s << fixed
                           << QStringList{u"1"_s, u"苏A1"_s, u"500"_s, {}, {}, u"2026-05-01 08:00:00"_s}
                           << true << false;
    QTest::newRow("deduction text between number and time")
        << u"[2][苏A2][9700][-300][毛重折扣[-300][皮->毛]][2026-05-01 08:00:00]"_s << fixed
        << QStringList{u"2"_s,
                       u"苏A2"_s,
                       u"9700"_s,
                       u"-300"_s,
                       u"毛重折扣[-300][皮->毛]"_s,
                       u"2026-05-01 08:00:00"_s}
        << true << false;
    QTest::newRow("fixed tare tags and an empty deduction")
        << u"[3][苏A3][1][0][[][皮->毛][固]][]"_s << fixed
        << QStringList{u"3"_s, u"苏A3"_s, u"1"_s, u"0"_s, u"[][皮->毛][固]"_s, {}} << true << false;
    QTest::newRow("balanced brackets at the end of a text")
        << u"[京A[1]][x]"_s << u"t:车号 t:品名"_s << QStringList{u"京A[1]"_s, u"x"_s} << true << false;
    // Also [x][y] | [s | t]: both splits are as balanced.
    QTest::newRow("two splits as good") << u"[[x][y]][[s][t]]"_s << u"t:车号 t:品名 t:发货方"_s
                                        << QStringList{u"[x"_s, u"y]"_s, u"[s][t]"_s} << true << true;
    QTest::newRow("unbalanced ][ is never folded into a text")
        << u"[京A][B][黄沙]"_s << u"t:车号 t:品名"_s << QStringList{u"京A"_s, u"B"_s, u"黄沙"_s} << false
        << false;
    QTest::newRow("layout changed: one value too many")
        << u"[1][苏A1][500]"_s << u"n:编号 t:车号"_s << QStringList{u"1"_s, u"苏A1"_s, u"500"_s} << false
        << false;
    QTest::newRow("a number column holding text")
        << u"[x][y]"_s << u"n:编号 t:车号"_s << QStringList{u"x"_s, u"y"_s} << false << false;
    QTest::newRow("not bracketed") << u"旧格式"_s << u"t:车号"_s << QStringList{u"旧格式"_s} << false
                                   << false;
}

void ReviewWindowsTest::snapshotSplit()
{
    QFETCH(QString, content);
    QFETCH(QString, layout);
    const RecordSnapshot::Split split = RecordSnapshot::split(content, columnsNamed(layout));
    QTEST(split.values, "values");
    QTEST(split.fits, "fits");
    QTEST(split.ambiguous, "ambiguous");
}

void ReviewWindowsTest::snapshotRoundTripsARealRecord()
{
    TestFolder t;
    const qlonglong number = addTare(t, u"京A[1]"_s, at(8));
    Sql::exec(t.dm().weightdatabase(),
              u"UPDATE weight SET 扣杂方式 = '毛重比例[×98%][毛->皮]', 品名 = NULL"_s);
    const QSqlRecord record = weightRecord(t, number);
    const QString content = RecordSnapshot::content(record);
    QVERIFY(content.contains(u"[2026-05-01 08:00:00]"_s));
    QVERIFY(content.contains(u"[]"_s));

    const auto columns = t.dm().dialect().columns(t.dm().weightdatabase(), u"weight"_s);
    const RecordSnapshot::Split split = RecordSnapshot::split(content, columns);
    QVERIFY(split.fits);
    QCOMPARE(split.values.size(), record.count());
    QVERIFY(!split.ambiguous);
    QCOMPARE(split.values[record.indexOf(u"车号"_s)], u"京A[1]"_s);
    QCOMPARE(split.values[record.indexOf(u"扣杂方式"_s)], u"毛重比例[×98%][毛->皮]"_s);
}

void ReviewWindowsTest::unrecordedLoads_data()
{
    QTest::addColumn<QDateTime>("recordedAt");
    QTest::addColumn<double>("recordedWeight");
    QTest::addColumn<bool>("unrecorded");
    // The load: 20000 leaving the scale at 10:00.
    QTest::newRow("saved a minute before it left") << at(9, 59) << 19900.0 << false;
    QTest::newRow("saved four minutes before") << at(9, 56) << 20000.0 << false;
    QTest::newRow("saved ten minutes before") << at(9, 50) << 20000.0 << true;
    QTest::newRow("another truck's weight at the same time") << at(9, 59) << 12000.0 << true;
    QTest::newRow("peak a little above the settled weight") << at(9, 58) << 19500.0 << false;
    QTest::newRow("the same time a day later") << at(9, 59, Day.addDays(1)) << 20000.0 << true;
}

void ReviewWindowsTest::unrecordedLoads()
{
    QFETCH(QDateTime, recordedAt);
    QFETCH(double, recordedWeight);
    QFETCH(bool, unrecorded);
    const auto moment = [](const QDateTime& time) { return UnrecordedLoads::moment(time); };
    const QList<BlackBoxLoad> loads{{moment(at(10)), 20000}};
    const QList<RecordedWeighing> weighings{{moment(at(8)), 20000}, {moment(recordedAt), recordedWeight}};
    QCOMPARE(UnrecordedLoads().mark(loads, weighings), QList<bool>{unrecorded});
}

void ReviewWindowsTest::logListsTodayNewestFirst()
{
    TestFolder t;
    t.clock.current = QDateTime::currentDateTime();
    addLog(t, t.clock.current.addDays(-1), u"打印"_s);
    addLog(t, QDateTime(t.clock.current.date(), QTime(0, 0, 0)), u"修改报表"_s);
    t.dm().WriteLog(u"admin"_s, u"登录"_s, QString());
    LogWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"Tlogfrm"_s);
    QCOMPARE(w.windowTitle(), u"查看日志"_s);
    QCOMPARE(column(w, u"操作类型"_s), (QStringList{u"登录"_s, u"修改报表"_s}));
    QCOMPARE(column(w, u"操作人"_s).first(), u"admin"_s);
    QVERIFY(w.findChild<QPushButton*>(u"BitBtn2"_s));
}

void ReviewWindowsTest::logDeleteRemovesLastQueriedRange()
{
    TestFolder t;
    const QDate next = Day.addDays(1);
    addLog(t, at(0, 0), u"打印"_s);
    addLog(t, QDateTime(Day, QTime(23, 59, 59)), u"汇总导出"_s);
    addLog(t, at(9, 0, next), u"数据备份"_s);
    LogWindow w(t.ctx());
    w.show();
    QCOMPARE(column(w, u"操作类型"_s), (QStringList{u"汇总导出"_s, u"打印"_s}));

    // Cancel deletes nothing; OK deletes the listed day although the pickers now show the next one.
    setRange(w, next, QTime(0, 0), next, QTime(23, 59, 59));
    t.prompter.answers.enqueue(false);
    click(w, u"BitBtn2"_s);
    QCOMPARE(t.count(u"LogTab"_s), 3);
    click(w, u"BitBtn2"_s);
    QCOMPARE(t.prompter.calls.last().text, u"你确定要删除数据吗?"_s);
    QCOMPARE(t.prompter.calls.last().title, u"提示!"_s);
    QCOMPARE(t.logActions(), (QStringList{u"数据备份"_s, u"删除日志"_s}));
    // The listing after the delete is the pickers' range.
    QCOMPARE(column(w, u"操作类型"_s), QStringList{u"数据备份"_s});

    // The next day is emptied; deleting it once more, with nothing in range, still logs.
    click(w, u"BitBtn2"_s);
    click(w, u"BitBtn2"_s);
    QCOMPARE(t.logActions(), (QStringList{u"删除日志"_s, u"删除日志"_s, u"删除日志"_s}));
}

void ReviewWindowsTest::logRangeBackwardsListsNothing()
{
    TestFolder t;
    addLog(t, at(10), u"打印"_s);
    LogWindow w(t.ctx());
    w.show();
    QCOMPARE(column(w, u"操作类型"_s).size(), 1);
    setRange(w, Day, QTime(12, 0), Day, QTime(8, 0));
    click(w, u"BitBtn1"_s);
    QVERIFY(column(w, u"操作类型"_s).isEmpty());
}

void ReviewWindowsTest::logDatabaseErrorLeavesGridEmpty()
{
    TestFolder t;
    addLog(t, at(10), u"打印"_s);
    LogWindow w(t.ctx());
    w.show();
    QCOMPARE(w.table()->rowCount(), 1);
    Sql::exec(t.dm().weightdatabase(), u"ALTER TABLE LogTab RENAME TO LogTabGone"_s);
    click(w, u"BitBtn1"_s);
    QCOMPARE(t.prompter.calls.last().kind, u"error"_s);
    QVERIFY(t.prompter.lastText().contains(u"LogTab"_s));
    QCOMPARE(w.table()->rowCount(), 0);
}

void ReviewWindowsTest::logWidthsAndFind()
{
    TestFolder t;
    IniFile(t.path(u"Option.ini"_s)).write(Option::GridWidth(u"查看日志"_s, u"操作人"_s), 140);
    addLog(t, at(8), u"打印"_s);
    addLog(t, at(9), u"汇总导出"_s);
    LogWindow w(t.ctx());
    w.show();
    QTableView* g = grid(w);
    const int operatorColumn = int(columnsOf(w).indexOf(u"操作人"_s));
    QCOMPARE(g->columnWidth(operatorColumn), 140);
    QCOMPARE(g->columnWidth(0), 100);

    g->setColumnWidth(0, 66);
    w.N1Click();
    QCOMPARE(t.prompter.lastText(), u"恭喜您,您的表格格式设置成功"_s);
    QCOMPARE(IniFile(t.path(u"Option.ini"_s)).read(Option::GridWidth(u"查看日志"_s, u"编号"_s)), 66);

    auto* finder = w.findChild<GridFinder*>();
    QVERIFY(finder->findNext(u"打印"_s));
    QCOMPARE(g->currentIndex().data().toString(), u"打印"_s);
    QVERIFY(!finder->findNext(u"删除集"_s));
    QCOMPARE(t.prompter.lastText(), u"没有找到“删除集”"_s);
}

void ReviewWindowsTest::recycleBinListsRecordSnapshotsAsForms()
{
    TestFolder t;
    const qlonglong number = addTare(t, u"京A[1]"_s, at(8));
    Sql::exec(t.dm().weightdatabase(), u"UPDATE weight SET 扣杂方式 = '毛重折扣[-300][皮->毛]'"_s);
    const QString content = RecordSnapshot::content(weightRecord(t, number));
    addLog(t, at(9), u"修改"_s, content);
    addLog(t, at(10), u"删除集"_s);
    addLog(t, at(11), u"打印"_s);
    addLog(t, at(12), u"删除"_s, content);
    addLog(t, at(13, 0, Day.addDays(1)), u"删除"_s, content);

    RecycleBinWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"Trecyclefrm"_s);
    QCOMPARE(column(w, u"操作类型"_s), (QStringList{u"修改"_s, u"删除"_s}));
    QVERIFY(!w.findChild<QPushButton*>(u"BitBtn2"_s));
    QVERIFY(w.findChild<QPushButton*>(u"BitBtn1"_s)->isEnabled());

    // The first entry is on show at once, as the record it was.
    const auto fields = w.shownFields();
    QVERIFY(w.formNote().startsWith(u"修改前的记录（admin，2026-05-01 09:00:00）"_s));
    const auto value = [&](const QString& name) {
        for (const auto& [field, text] : w.shownFields())
            if (field == name)
                return text;
        return u"(none)"_s;
    };
    QCOMPARE(fields.first().first, u"编号"_s);
    QCOMPARE(value(u"编号"_s), QString::number(number));
    QCOMPARE(value(u"车号"_s), u"京A[1]"_s);
    QCOMPARE(value(u"扣杂方式"_s), u"毛重折扣[-300][皮->毛]"_s);
    QCOMPARE(value(u"皮重时间"_s), u"2026-05-01 08:00:00"_s);
    QCOMPARE(value(u"品名"_s), QString());

    grid(w)->setCurrentIndex(grid(w)->model()->index(1, 0));
    QVERIFY(w.formNote().startsWith(u"删除前的记录"_s));
}

void ReviewWindowsTest::recycleBinFirstListingWithoutQueryRight()
{
    TestFolder t;
    t.addUser(u"carol"_s, {u"查看回收站"_s});
    t.ctx().login.CurrentOperator = u"carol"_s;
    addLog(t, at(9), u"删除"_s, u"[1][旧]"_s);
    RecycleBinWindow w(t.ctx());
    w.show();
    QCOMPARE(w.table()->rowCount(), 1);
    QVERIFY(!w.findChild<QPushButton*>(u"BitBtn1"_s)->isEnabled());
    // A content that no longer fits the layout is listed piece by piece.
    QVERIFY(w.formNote().contains(u"按方括号逐项列出"_s));
    QCOMPARE(w.shownFields(),
             (QList<std::pair<QString, QString>>{{u"第1项"_s, u"1"_s}, {u"第2项"_s, u"旧"_s}}));
}

void ReviewWindowsTest::blackBoxShowsThreeColumnsAndMarksUnrecorded()
{
    TestFolder t;
    addLoad(t, at(23, 0, Day.addDays(-1)), 5000);
    // Saved just before midnight, off the scale just after: the record lies outside the listed day.
    addComplete(t, at(23, 50, Day.addDays(-1)), 15000, at(23, 58, Day.addDays(-1)), 25000);
    addLoad(t, at(0, 1), 25050);
    // A day at the scale: a truck weighed empty and loaded, one with a gross deduction, one never saved.
    addComplete(t, at(8, 2), 15000, at(9, 1), 35000);
    addLoad(t, at(8, 3), 15020);
    addLoad(t, at(9, 3), 35100);
    addComplete(t, at(10, 0), 14000, at(11, 0), 27000, 3000);
    addLoad(t, at(11, 2), 30000);
    addLoad(t, at(12, 30), 28000);

    BlackBoxWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"THeiXiaZiFrm"_s);
    QCOMPARE(w.windowTitle(), u"查看数据黑匣子数据"_s);
    QCOMPARE(columnsOf(w), (QStringList{u"重量"_s, u"时间"_s, u"操作人"_s}));
    QCOMPARE(column(w, u"时间"_s),
             (QStringList{u"2026-05-01 12:30:00"_s, u"2026-05-01 11:02:00"_s, u"2026-05-01 09:03:00"_s,
                          u"2026-05-01 08:03:00"_s, u"2026-05-01 00:01:00"_s}));
    QCOMPARE(column(w, u"重量"_s).first(), u"28000"_s);

    const QAbstractItemModel* m = grid(w)->model();
    QList<bool> painted;
    for (int r = 0; r < m->rowCount(); ++r)
        painted.append(m->index(r, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(painted, (QList<bool>{true, false, false, false, false}));
    QCOMPARE(m->index(0, 1).data(Qt::ToolTipRole).toString(), BlackBoxWindow::UnrecordedTip);
    QVERIFY(w.summary().contains(u"共5次过磅，其中1次"_s));

    // The marks follow the rows when the grid is sorted by weight.
    grid(w)->sortByColumn(0, Qt::AscendingOrder);
    QCOMPARE(column(w, u"重量"_s).first(), u"15020"_s);
    QCOMPARE(column(w, u"重量"_s)[2], u"28000"_s);
    QVERIFY(m->index(2, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(!m->index(3, 0).data(Qt::BackgroundRole).isValid());
}

void ReviewWindowsTest::blackBoxDeleteRemovesLastQueriedRange()
{
    TestFolder t;
    addLoad(t, at(8), 15000);
    addLoad(t, at(9, 0, Day.addDays(1)), 16000);
    BlackBoxWindow w(t.ctx());
    w.show();
    setRange(w, Day.addDays(1), QTime(0, 0), Day.addDays(1), QTime(23, 59, 59));
    click(w, u"BitBtn2"_s);
    QCOMPARE(t.count(u"黑匣子数据"_s), 1);
    QCOMPARE(t.count(u"黑匣子数据"_s, u"重量 = 16000"_s), 1);
    QCOMPARE(t.logActions(), QStringList{u"删除黑匣子数据"_s});
    QCOMPARE(column(w, u"重量"_s), QStringList{u"16000"_s});
}

void ReviewWindowsTest::staleTaresByAge_data()
{
    QTest::addColumn<QVariant>("hours");
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QString>("message");
    // Now is 2026-05-01 08:00; plates by the age of their tare: 13 h, 11 h, a minute, and one in an hour.
    QTest::newRow("default 12") << QVariant() << QStringList{u"13h"_s}
                                << u"有1条皮重数据在超过12小时以上没有使用！建议核实后删除"_s;
    QTest::newRow("0: every tare in the past") << QVariant(0) << QStringList{u"1m"_s, u"11h"_s, u"13h"_s}
                                               << u"有3条皮重数据在超过0小时以上没有使用！建议核实后删除"_s;
    QTest::newRow("none that old") << QVariant(48) << QStringList{}
                                   << u"有0条皮重数据在超过48小时以上没有使用！建议核实后删除"_s;
}

void ReviewWindowsTest::staleTaresByAge()
{
    QFETCH(QVariant, hours);
    QFETCH(QString, message);
    TestFolder t;
    if (hours.isValid())
        IniFile(t.path(u"Option.ini"_s)).write(Option::PendingHours, hours.toInt());
    const QDateTime now = t.clock.current;
    addTare(t, u"13h"_s, now.addSecs(-13 * 3600));
    addTare(t, u"11h"_s, now.addSecs(-11 * 3600));
    addTare(t, u"1m"_s, now.addSecs(-60));
    addTare(t, u"future"_s, now.addSecs(3600));
    addComplete(t, now.addDays(-3), 15000, now.addDays(-3).addSecs(600), 30000);

    StaleTareWindow w(t.ctx());
    w.show();
    QCOMPARE(w.objectName(), u"TAdvancedFrm"_s);
    QCOMPARE(w.windowTitle(), u"高级管理"_s);
    QTEST(column(w, u"车号"_s), "listed");
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{message});
    QCOMPARE(t.prompter.calls.last().title, u"提示"_s);
}

void ReviewWindowsTest::staleTareDeleteRefusesGrossAndLogsContent()
{
    TestFolder t;
    const QDateTime old = t.clock.current.addDays(-1);
    const qlonglong tare = addTare(t, u"苏A1"_s, old);
    addTare(t, u"苏A2"_s, old, 0.5);
    StaleTareWindow w(t.ctx());
    w.show();
    QCOMPARE(column(w, u"车号"_s), (QStringList{u"苏A2"_s, u"苏A1"_s}));

    click(w, u"BitBtn1"_s);
    QCOMPARE(t.prompter.lastText(), u"只能删除皮重过磅车辆!"_s);
    QCOMPARE(t.count(u"weight"_s), 2);

    grid(w)->setCurrentIndex(grid(w)->model()->index(1, 0));
    const QString content = RecordSnapshot::content(weightRecord(t, tare));
    t.prompter.answers.enqueue(false);
    click(w, u"BitBtn1"_s);
    QCOMPARE(t.count(u"weight"_s), 2);
    click(w, u"BitBtn1"_s);
    QCOMPARE(t.prompter.calls.last().text, u"你确实要删除这条数据吗?"_s);
    QCOMPARE(t.prompter.calls.last().title, u"提示！"_s);
    QCOMPARE(t.count(u"weight"_s), 1);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作内容 FROM LogTab WHERE 操作类型 = '删除'"_s), content);
    QCOMPARE(column(w, u"车号"_s), QStringList{u"苏A2"_s});
    QCOMPARE(t.prompter.textsOf(u"information"_s).size(), 2); // the count and the refusal, no new listing

    // The entry is in the recycle bin, shown as the record it was.
    t.clock.current = QDateTime::currentDateTime();
    RecycleBinWindow bin(t.ctx());
    bin.show();
    QCOMPARE(column(bin, u"操作类型"_s), QStringList{u"删除"_s});
    QVERIFY(bin.shownFields().contains(std::pair(u"车号"_s, u"苏A1"_s)));
}

void ReviewWindowsTest::stationF11OpensStaleTareReview()
{
    TestFolder t;
    addTare(t, u"苏A1"_s, t.clock.current.addDays(-1));
    auto* station = new WeighStation(t.ctx());
    station->show();
    QApplication::setActiveWindow(station);
    QVERIFY(QTest::qWaitForWindowActive(station));
    QString opened;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* review = QApplication::activeModalWidget()) {
            opened = review->objectName() + u' ' +
                     review->findChild<ResultTable*>()->value(0, u"车号"_s).toString();
            review->close();
        }
    });
    poll.start(20);
    QTest::keyClick(station, Qt::Key_F11);
    poll.stop();
    QCOMPARE(opened, u"TAdvancedFrm 苏A1"_s);
    QVERIFY(t.prompter.textsOf(u"information"_s).contains(StaleTares::countMessage(1, 12)));
    t.prompter.answers.enqueue(true);
    station->close();
    delete station;
}

QTEST_MAIN(ReviewWindowsTest)
#include "tst_reviewwindows.moc"
