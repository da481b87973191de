#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "records/WordPickerDialog.h"
#include "weighing/Deduction.h"
#include "weighing/IndicatorReader.h"
#include "weighing/RecordListModel.h"
#include "weighing/WeighStation.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

/** The seeded indicator's continuous output: STX, sign, six digits, decimal position, two checks, ETX. */
QByteArray frame(int kg)
{
    const QByteArray body = (kg < 0 ? "-" : "+") + QByteArray::number(qAbs(kg)).rightJustified(6, '0') + '0';
    char check = 0;
    for (char c : body)
        check ^= c;
    return '\x02' + body + QByteArray::number(uchar(check), 16).toUpper().rightJustified(2, '0') + '\x03';
}

const QDateTime Morning(QDate(2026, 5, 1), QTime(8, 0, 0));

/** The station window on a test folder, driven as an operator drives it. */
class Scale final
{
public:
    explicit Scale(TestFolder& t) : m_t(t), w(new WeighStation(t.ctx()))
    {
        line = FakeSerialLine::latest();
        w->resize(1280, 800);
        w->show();
        QApplication::setActiveWindow(w);
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the station is not the active window");
    }
    ~Scale()
    {
        if (!w)
            return;
        m_t.prompter.answers.enqueue(true);
        w->close();
    }
    Q_DISABLE_COPY_MOVE(Scale)

    /**
     * The indicator settles on a weight: two frames push the old ones out of the reader's three-chunk
     * window, three more light the stable lamp.
     */
    void weigh(int kg)
    {
        for (int i = 0; i < 5; ++i)
            line->push(frame(kg));
    }
    QLineEdit* box(const QString& field) const
    {
        for (QLineEdit* edit : w->findChildren<QLineEdit*>())
            if (edit->objectName().startsWith(u"EIT"_s) && edit->property("field").toString() == field)
                return edit;
        return nullptr;
    }
    /** Types into a box as an input method commits text (Chinese included). */
    void type(const QString& field, const QString& text)
    {
        QLineEdit* b = box(field);
        QVERIFY2(b, qPrintable(field));
        b->setFocus();
        if (text.isEmpty()) {
            b->clear();
            return;
        }
        b->selectAll();
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(b, &commit);
    }
    /** The fields a first weighing must have filled in when the boxes are checked at the first pass. */
    void typeFields(const QString& plate, const QString& product = u"黄沙"_s)
    {
        type(u"车号"_s, plate);
        type(u"品名"_s, product);
        type(u"发货方"_s, u"江苏发货公司"_s);
        type(u"收货方"_s, u"上海收货公司"_s);
        type(u"承运方"_s, u"李四车队"_s);
    }
    void key(Qt::Key k)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w.data();
        QTest::keyClick(target, k);
    }
    /** One pass: plate and fields typed, weight steady, F1, F2. */
    void pass(const QString& plate, int kg)
    {
        typeFields(plate);
        weigh(kg);
        key(Qt::Key_F1);
        key(Qt::Key_F2);
    }
    QString text(const QString& name) const { return w->findChild<QLineEdit*>(name)->text(); }
    bool canSave() const { return w->findChild<QPushButton*>(u"BitBtn2"_s)->isEnabled(); }
    QString pane(int i) const { return w->findChild<QLabel*>(u"StatusPane"_s + QString::number(i))->text(); }
    QTableView* grid() const { return w->findChild<QTableView*>(u"DBGrid1"_s); }
    QString plateDisplay() const { return w->findChild<QGroupBox*>(u"groupbox1"_s)->title(); }

    TestFolder& m_t;
    QPointer<WeighStation> w;
    FakeSerialLine* line = nullptr;
};

QVariantMap record(TestFolder& t, int number)
{
    QSqlQuery q = Sql::exec(t.dm().weightdatabase(), u"SELECT * FROM weight WHERE 编号 = ?"_s, {number});
    QVariantMap values;
    if (q.next())
        for (int i = 0; i < q.record().count(); ++i)
            values.insert(q.record().fieldName(i), q.value(i));
    return values;
}

void setDeduction(TestFolder& t, const QString& kind, double value)
{
    Deduction::save(t.dm(), u"admin"_s, kind, value);
}

void addPending(TestFolder& t, const QString& plate, double firstPass, const QDateTime& when)
{
    Sql::exec(
        t.dm().weightdatabase(),
        u"INSERT INTO weight (车号, 品名, 皮重, 皮重时间, 皮重操作人) VALUES (?, '黄沙', ?, ?, 'admin')"_s,
        {plate, firstPass, Dialect::dateTimeText(when)});
}

} // namespace

/** The weighing station driven through its window, fed by a fake serial line. */
class StationTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void firstWeighing();
    void completion_data();
    void completion();
    void deductions_data();
    void deductions();
    void fixedTareOnePass_data();
    void fixedTareOnePass();
    void timeLimit_data();
    void timeLimit();
    void severalPendingLeaveSaveDisabled();
    void checkdataSwitch_data();
    void checkdataSwitch();
    void weightAtTheLowerLimit();
    void silentIndicatorRefusesTheWeight();
    void storingFixedTare_data();
    void storingFixedTare();
    void bellRingsThreeTimes();
    void tickets();
    void failedSaveLeavesRecord();
    void missingDeduction();
    void gridAndTotals();
    void helpAndClosing();
    void enterAndWordPicker();
};

void StationTest::init()
{
    FakeSerialLine::openError.clear();
}

void StationTest::firstWeighing()
{
    TestFolder t;
    Scale s(t);
    QCOMPARE(s.w->objectName(), u"Tweighfrm"_s);
    QCOMPARE(s.w->windowTitle(), u"称重计量"_s);
    QVERIFY(s.line->isOpen());
    QVERIFY(!s.canSave());

    s.typeFields(u"苏A'12\"3"_s);
    s.weigh(15000);
    QCOMPARE(s.text(u"Edit"_s), u"15000"_s);
    QVERIFY(s.w->findChild<QLabel*>(u"IgeOn"_s)->isVisible());
    s.key(Qt::Key_F1);
    QCOMPARE(s.text(u"Edit1"_s), u"0"_s);
    QCOMPARE(s.text(u"Edit2"_s), u"15000"_s);
    QCOMPARE(s.text(u"Edit3"_s), u"0"_s);
    QCOMPARE(s.text(u"EIT5"_s), u"0.00"_s); // 单价
    QVERIFY(s.canSave());
    s.key(Qt::Key_F2);

    QVERIFY(!s.canSave());
    QCOMPARE(t.count(u"weight"_s), 1);
    const QVariantMap r = record(t, 1);
    QCOMPARE(r[u"车号"_s].toString(), u"苏A'12\"3"_s);
    QCOMPARE(r[u"品名"_s].toString(), u"黄沙"_s);
    QCOMPARE(r[u"发货方"_s].toString(), u"江苏发货公司"_s);
    QCOMPARE(r[u"皮重"_s].toDouble(), 15000.0);
    QCOMPARE(r[u"皮重时间"_s].toString(), u"2026-05-01 08:00:00"_s);
    QCOMPARE(r[u"皮重操作人"_s].toString(), u"admin"_s);
    QCOMPARE(r[u"毛重"_s].toDouble(), 0.0);
    QCOMPARE(r[u"净重"_s].toDouble(), 0.0);
    QVERIFY(t.ticketPrinter.printed.isEmpty());
    QVERIFY(t.prompter.calls.isEmpty());
    QVERIFY(t.logActions().isEmpty());
    // Refreshed: empty boxes, the new record at the top of the grid.
    QCOMPARE(s.text(u"EIT0"_s), QString());
    QCOMPARE(s.grid()->model()->rowCount(), 1);
}

void StationTest::completion_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QVariantMap>("expected");

    // The first pass at 08:00 by admin, the second at 09:30 by 张三.
    QTest::newRow("empty first") << 15000 << 32500
                                 << QVariantMap{{u"毛重"_s, 32500.0},
                                                {u"皮重"_s, 15000.0},
                                                {u"净重"_s, 17500.0},
                                                {u"皮重时间"_s, u"2026-05-01 08:00:00"_s},
                                                {u"毛重时间"_s, u"2026-05-01 09:30:00"_s},
                                                {u"皮重操作人"_s, u"admin"_s},
                                                {u"毛重操作人"_s, u"张三"_s},
                                                {u"扣杂方式"_s, u"无[][皮->毛]"_s},
                                                {u"扣重数"_s, 0.0}};
    QTest::newRow("loaded first: times move with the weights")
        << 32500 << 15000
        << QVariantMap{{u"毛重"_s, 32500.0},
                       {u"皮重"_s, 15000.0},
                       {u"净重"_s, 17500.0},
                       {u"皮重时间"_s, u"2026-05-01 09:30:00"_s},
                       {u"毛重时间"_s, u"2026-05-01 08:00:00"_s},
                       {u"皮重操作人"_s, u"admin"_s},
                       {u"毛重操作人"_s, u"张三"_s},
                       {u"扣杂方式"_s, u"无[][毛->皮]"_s},
                       {u"扣重数"_s, 0.0}};
}

void StationTest::completion()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QVariantMap, expected);

    TestFolder t;
    Scale s(t);
    s.pass(u"苏A12345"_s, first);
    QCOMPARE(t.count(u"weight"_s, u"毛重 < 1"_s), 1);

    t.clock.current = Morning.addSecs(90 * 60);
    t.ctx().login.CurrentOperator = u"张三"_s;
    // The pending record's non-empty fields replace what is typed; empty ones keep it.
    Sql::exec(t.dm().weightdatabase(), u"UPDATE weight SET 承运方 = '' WHERE 编号 = 1"_s);
    s.type(u"车号"_s, u"苏A12345"_s);
    s.type(u"品名"_s, u"石子"_s);
    s.type(u"承运方"_s, u"王五车队"_s);
    s.weigh(second);
    s.key(Qt::Key_F1);
    QCOMPARE(s.text(u"Edit1"_s), u"32500"_s);
    QCOMPARE(s.text(u"Edit2"_s), u"15000"_s);
    QCOMPARE(s.text(u"Edit3"_s), u"17500"_s);
    QCOMPARE(s.plateDisplay(), u"苏A12345"_s);
    QCOMPARE(s.box(u"品名"_s)->text(), u"黄沙"_s);
    QCOMPARE(s.box(u"承运方"_s)->text(), u"王五车队"_s);
    QCOMPARE(s.w->currentRecordNumber(), u"1"_s);
    s.key(Qt::Key_F2);

    QCOMPARE(t.count(u"weight"_s), 1);
    const QVariantMap r = record(t, 1);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QCOMPARE(r[it.key()].toString(), it.value().toString());
    QCOMPARE(r[u"承运方"_s].toString(), u"王五车队"_s);
    QCOMPARE(t.ticketPrinter.printed, QStringList{u"1"_s});
    QVERIFY(s.pane(4).contains(u"fake printer"_s));
    QVERIFY(t.prompter.calls.isEmpty());
}

void StationTest::deductions_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<QStringList>("boxes");   // Edit1, Edit2, Edit3 after F1
    QTest::addColumn<QVariantList>("stored"); // 毛重, 皮重, 净重, 扣重数, 扣杂方式

    QTest::newRow("毛重比例 98, gross 100, tare 40")
        << u"毛重比例"_s << 98.0 << 40 << 100 << QStringList{u"98"_s, u"40"_s, u"58"_s}
        << QVariantList{98.0, 40.0, 58.0, 2.0, u"毛重比例[×98%][皮->毛]"_s};
    QTest::newRow("净重折扣 -30, net 600")
        << u"净重折扣"_s << -30.0 << 400 << 1000 << QStringList{u"1000"_s, u"400"_s, u"570"_s}
        << QVariantList{1000.0, 400.0, 570.0, 30.0, u"净重折扣[-30][皮->毛]"_s};
    QTest::newRow("毛重折扣 -300") << u"毛重折扣"_s << -300.0 << 15000 << 32500
                                   << QStringList{u"32200"_s, u"15000"_s, u"17200"_s}
                                   << QVariantList{32200.0, 15000.0, 17200.0, 300.0,
                                                   u"毛重折扣[-300][皮->毛]"_s};
    QTest::newRow("净重比例 98.5, loaded first")
        << u"净重比例"_s << 98.5 << 32500 << 12500 << QStringList{u"32500"_s, u"12500"_s, u"19700"_s}
        << QVariantList{32500.0, 12500.0, 19700.0, 300.0, u"净重比例[×98.5%][毛->皮]"_s};
    QTest::newRow("no deduction kind")
        << u"无扣杂"_s << 7.0 << 400 << 1000 << QStringList{u"1000"_s, u"400"_s, u"600"_s}
        << QVariantList{1000.0, 400.0, 600.0, 0.0, u"无扣杂[][皮->毛]"_s};
}

void StationTest::deductions()
{
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(QStringList, boxes);
    QFETCH(QVariantList, stored);

    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::LowerLimitText, u"10"_s);
    setDeduction(t, kind, value);
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO UnitPrice (品名, 单价, 是否执行) VALUES ('黄沙', 2.5, TRUE)"_s);
    Scale s(t);
    s.pass(u"苏B1"_s, first);
    s.typeFields(u"苏B1"_s);
    s.weigh(second);
    s.key(Qt::Key_F1);
    QCOMPARE((QStringList{s.text(u"Edit1"_s), s.text(u"Edit2"_s), s.text(u"Edit3"_s)}), boxes);
    // The amount is the price times the net after the deduction.
    QCOMPARE(s.box(u"单价"_s)->text(), u"2.50"_s);
    QCOMPARE(s.box(u"金额"_s)->text(), Figures::twoDecimals(2.5 * stored[2].toDouble()));
    s.key(Qt::Key_F2);

    const QVariantMap r = record(t, 1);
    QCOMPARE(r[u"毛重"_s].toDouble(), stored[0].toDouble());
    QCOMPARE(r[u"皮重"_s].toDouble(), stored[1].toDouble());
    QCOMPARE(r[u"净重"_s].toDouble(), stored[2].toDouble());
    QCOMPARE(r[u"扣重数"_s].toDouble(), stored[3].toDouble());
    QCOMPARE(r[u"扣杂方式"_s].toString(), stored[4].toString());
    QCOMPARE(r[u"金额"_s].toDouble(), 2.5 * stored[2].toDouble());
}

void StationTest::fixedTareOnePass_data()
{
    QTest::addColumn<double>("tare");
    QTest::addColumn<int>("live");
    QTest::addColumn<QString>("net");

    QTest::newRow("stored tare") << 15000.0 << 40000 << u"25000"_s;
    QTest::newRow("simple weighing with 0.01") << 0.01 << 2000 << u"1999.99"_s;
}

void StationTest::fixedTareOnePass()
{
    QFETCH(double, tare);
    QFETCH(int, live);
    QFETCH(QString, net);

    TestFolder t;
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO TareWeight (车号, 皮重, 固定存皮, 存皮人) VALUES ('苏C1', ?, TRUE, 'admin')"_s,
              {tare});
    // The plate's last visit, whose fields the one-pass weighing takes over.
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 毛重, 皮重, 净重) "
              "VALUES ('苏C1', '水泥', '甲', '乙', '丙', 30000, 15000, 15000)"_s);
    Scale s(t);
    s.type(u"车号"_s, u"苏C1"_s);
    s.weigh(live);
    s.key(Qt::Key_F1);
    QCOMPARE(s.text(u"Edit1"_s), QString::number(live));
    QCOMPARE(s.text(u"Edit2"_s), Figures::plain(tare));
    QCOMPARE(s.text(u"Edit3"_s), net);
    QCOMPARE(s.box(u"品名"_s)->text(), u"水泥"_s);
    QCOMPARE(s.plateDisplay(), u"苏C1"_s);
    s.key(Qt::Key_F2);

    QCOMPARE(t.count(u"weight"_s), 2);
    const QVariantMap r = record(t, 2);
    QCOMPARE(r[u"毛重"_s].toDouble(), double(live));
    QCOMPARE(r[u"皮重"_s].toDouble(), tare);
    QCOMPARE(r[u"净重"_s].toString(), net);
    QCOMPARE(r[u"皮重时间"_s].toString(), u"2026-05-01 08:00:00"_s);
    QCOMPARE(r[u"毛重时间"_s].toString(), u"2026-05-01 08:00:00"_s);
    QCOMPARE(r[u"毛重操作人"_s].toString(), u"admin"_s);
    QCOMPARE(r[u"扣杂方式"_s].toString(), u"无[][皮->毛][固]"_s);
    QCOMPARE(r[u"品名"_s].toString(), u"水泥"_s);
    QCOMPARE(t.ticketPrinter.printed, QStringList{u"2"_s});
    // F9 without choosing reprints the record just weighed.
    s.key(Qt::Key_F9);
    QCOMPARE(t.ticketPrinter.printed, (QStringList{u"2"_s, u"2"_s}));
}

void StationTest::timeLimit_data()
{
    QTest::addColumn<int>("hoursAgo");
    QTest::addColumn<bool>("completes");

    QTest::newRow("13 hours ago: a new first weighing") << 13 << false;
    QTest::newRow("11 hours ago: completed") << 11 << true;
}

void StationTest::timeLimit()
{
    QFETCH(int, hoursAgo);
    QFETCH(bool, completes);

    TestFolder t;
    addPending(t, u"苏D1"_s, 15000, Morning.addSecs(-3600 * hoursAgo));
    Scale s(t);
    s.typeFields(u"苏D1"_s);
    s.weigh(32500);
    s.key(Qt::Key_F1);
    QCOMPARE(s.text(u"Edit2"_s), completes ? u"15000"_s : u"32500"_s);
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s), completes ? 1 : 2);
    QCOMPARE(t.count(u"weight"_s, u"毛重 < 1"_s), completes ? 0 : 2);
}

void StationTest::severalPendingLeaveSaveDisabled()
{
    TestFolder t;
    Scale s(t);
    s.typeFields(u"苏E1"_s);
    s.weigh(15000);
    s.key(Qt::Key_F1);
    QVERIFY(s.canSave());
    addPending(t, u"苏E1"_s, 14000, Morning.addSecs(-60));
    addPending(t, u"苏E1"_s, 14500, Morning.addSecs(-30));

    s.key(Qt::Key_F1);
    QCOMPARE(t.prompter.textsOf(u"warning"_s), QStringList{WeighingSession::SeveralPendingMessage});
    QCOMPARE(t.prompter.calls.last().title, u"提示!"_s);
    QCOMPARE(s.grid()->model()->rowCount(), 2);
    QVERIFY(!s.canSave());
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s), 2);
    QCOMPARE(t.count(u"weight"_s, u"毛重 >= 1"_s), 0);
}

void StationTest::checkdataSwitch_data()
{
    QTest::addColumn<bool>("checkAtFirst");
    QTest::newRow("Check true: the first weighing is checked") << true;
    QTest::newRow("Check false: the completion is checked") << false;
}

void StationTest::checkdataSwitch()
{
    QFETCH(bool, checkAtFirst);

    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::CheckdataAtStation, checkAtFirst);
    Scale s(t);
    // First pass with an empty 收货方.
    s.typeFields(u"苏F1"_s);
    s.type(u"收货方"_s, QString());
    s.weigh(15000);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s), checkAtFirst ? 0 : 1);
    QCOMPARE(t.prompter.textsOf(u"information"_s).size(), checkAtFirst ? 1 : 0);
    if (checkAtFirst) {
        QCOMPARE(t.prompter.lastText(), WeighingBoxes::CheckMessage);
        QCOMPARE(QApplication::focusWidget(), s.box(u"收货方"_s));
        QVERIFY(!s.canSave());
        addPending(t, u"苏F1"_s, 15000, Morning);
    }

    // Second pass, 收货方 still empty.
    t.prompter.calls.clear();
    s.typeFields(u"苏F1"_s);
    s.type(u"收货方"_s, QString());
    Sql::exec(t.dm().weightdatabase(), u"UPDATE weight SET 收货方 = ''"_s);
    s.weigh(32500);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s, u"毛重 >= 1"_s), checkAtFirst ? 1 : 0);
    QCOMPARE(t.prompter.textsOf(u"information"_s).size(), checkAtFirst ? 0 : 1);
    QCOMPARE(t.ticketPrinter.printed.size(), checkAtFirst ? 1 : 0);
}

void StationTest::weightAtTheLowerLimit()
{
    TestFolder t;
    Scale s(t);
    s.typeFields(u"苏G1"_s);

    // Unstable weight, or no plate: nothing at all.
    s.line->push(frame(5000));
    s.key(Qt::Key_F1);
    QVERIFY(!s.canSave());
    s.weigh(999);
    s.key(Qt::Key_F1);
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{WeighingSession::TooLightMessage});
    QVERIFY(!s.canSave());

    // Exactly the limit: taken, but not saved.
    s.weigh(1000);
    s.key(Qt::Key_F1);
    QVERIFY(s.canSave());
    QCOMPARE(s.text(u"Edit2"_s), u"1000"_s);
    s.key(Qt::Key_F2);
    QVERIFY(!s.canSave());
    QCOMPARE(t.count(u"weight"_s), 0);

    s.type(u"车号"_s, QString());
    s.weigh(5000);
    s.key(Qt::Key_F1);
    QVERIFY(!s.canSave());
    QCOMPARE(t.prompter.calls.size(), 1);
}

void StationTest::silentIndicatorRefusesTheWeight()
{
    TestFolder t;
    Scale s(t);
    QCOMPARE(s.text(u"Edit"_s), IndicatorReader::NoReadingText);
    s.typeFields(u"苏A1"_s);
    s.weigh(15000);
    QCOMPARE(s.text(u"Edit"_s), u"15000"_s);

    // The indicator falls silent: the display says so, the lamp goes out, F1 refuses.
    t.clock.current = t.clock.current.addMSecs(IndicatorReader::SilenceMs + 1);
    QTRY_COMPARE(s.text(u"Edit"_s), IndicatorReader::NoReadingText);
    QVERIFY(!s.w->findChild<QLabel*>(u"IgeOn"_s)->isVisible());
    s.key(Qt::Key_F1);
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{WeighingSession::NoReadingMessage});
    QVERIFY(!s.canSave());
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s), 0);

    // The next frames restore it.
    s.weigh(15000);
    QCOMPARE(s.text(u"Edit"_s), u"15000"_s);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.count(u"weight"_s), 1);
}

void StationTest::storingFixedTare_data()
{
    QTest::addColumn<int>("live");
    QTest::addColumn<std::optional<QString>>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("rows");

    const QString plate = u"苏H'1"_s;
    QTest::newRow("below the limit") << 999 << std::optional<QString>(plate) << WeighingSession::BadTareMessage
                                     << 1;
    QTest::newRow("cancelled") << 15000 << std::optional<QString>() << WeighingSession::NoPlateMessage << 1;
    QTest::newRow("empty") << 15000 << std::optional<QString>(u"  "_s) << WeighingSession::NoPlateMessage << 1;
    QTest::newRow("a row that is not in force still refuses")
        << 15000 << std::optional<QString>(u"苏H0"_s) << WeighingSession::TareExistsMessage << 1;
    QTest::newRow("stored") << 15000 << std::optional<QString>(plate) << WeighingSession::TareStoredMessage << 2;
}

void StationTest::storingFixedTare()
{
    QFETCH(int, live);
    QFETCH(std::optional<QString>, answer);
    QFETCH(QString, message);
    QFETCH(int, rows);

    TestFolder t;
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO TareWeight (车号, 皮重, 固定存皮, 存皮人) VALUES ('苏H0', 9000, FALSE, 'x')"_s);
    Scale s(t);
    s.weigh(live);
    t.prompter.texts.enqueue(answer);
    s.key(Qt::Key_F12);
    QCOMPARE(t.prompter.lastText(), message);
    QCOMPARE(t.prompter.calls.last().title, u"提示"_s);
    QCOMPARE(t.count(u"TareWeight"_s), rows);
    if (rows == 2) {
        QSqlQuery q = Sql::exec(t.dm().weightdatabase(),
                                u"SELECT 皮重, 固定存皮, 存皮人 FROM TareWeight WHERE 车号 = ?"_s, {*answer});
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toDouble(), 15000.0);
        QVERIFY(q.value(1).toBool());
        QCOMPARE(q.value(2).toString(), u"admin"_s);
    }
    QVERIFY(t.logActions().isEmpty());
}

void StationTest::bellRingsThreeTimes()
{
    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::Sound, true);
    Scale s(t);
    auto* timer = s.w->findChild<QTimer*>(u"Timer1"_s);
    const QString bell = t.path(u"打铃音/1.wav"_s);

    s.pass(u"苏J1"_s, 15000);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 2000);
    QVERIFY(t.sound.played.isEmpty());
    for (int tick = 0; tick < 4; ++tick)
        s.w->Timer1Timer();
    QCOMPARE(t.sound.played, QStringList(3, bell));
    QVERIFY(!timer->isActive());

    // A refused save rings too.
    s.type(u"车号"_s, u"苏J2"_s);
    s.weigh(15000);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.prompter.lastText(), WeighingBoxes::CheckMessage);
    QVERIFY(timer->isActive());
    for (int tick = 0; tick < 4; ++tick)
        s.w->Timer1Timer();
    QCOMPARE(t.sound.played.size(), 6);
}

void StationTest::tickets()
{
    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::PrintDirectly, false);
    Scale s(t);

    // No record chosen yet: a message instead of a ticket.
    s.key(Qt::Key_F9);
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList{WeighStation::NoRecordChosenMessage});
    QVERIFY(t.ticketPrinter.printed.isEmpty());

    s.pass(u"苏K1"_s, 15000);
    s.pass(u"苏K1"_s, 32500);
    s.pass(u"苏K2"_s, 16000);
    QVERIFY(t.ticketPrinter.printed.isEmpty());
    QCOMPARE(t.count(u"weight"_s, u"毛重 >= 1"_s), 1);

    // F9 prints the record last completed, then the one clicked in the grid.
    s.key(Qt::Key_F9);
    QCOMPARE(t.ticketPrinter.printed, QStringList{u"1"_s});
    QCOMPARE(record(t, 1)[u"补打次数"_s].toInt(), 1);
    QCOMPARE(s.pane(4), u"1号磅单已打印：fake printer"_s);
    const QModelIndex newest = s.grid()->model()->index(0, 0);
    QTest::mouseClick(s.grid()->viewport(), Qt::LeftButton, {}, s.grid()->visualRect(newest).center());
    QCOMPARE(s.w->currentRecordNumber(), u"2"_s);
    QCOMPARE(s.plateDisplay(), u"苏K2"_s);
    QCOMPARE(s.text(u"Edit2"_s), u"16000"_s);
    QCOMPARE(s.box(u"品名"_s)->text(), u"黄沙"_s);
    QCOMPARE(s.box(u"单价"_s)->text(), u"0.00"_s);

    t.ticketPrinter.result = {false, {}, u"打印机没有纸"_s};
    s.key(Qt::Key_F9);
    QCOMPARE(t.ticketPrinter.printed, (QStringList{u"1"_s, u"2"_s}));
    QCOMPARE(s.pane(4), u"2号磅单没有打印：打印机没有纸"_s);
    QCOMPARE(record(t, 2)[u"补打次数"_s].toInt(), 0);
}

void StationTest::failedSaveLeavesRecord()
{
    TestFolder t;
    Scale s(t);
    s.pass(u"苏L1"_s, 15000);
    const QVariantMap before = record(t, 1);
    Sql::exec(t.dm().weightdatabase(),
              u"CREATE TRIGGER refuse BEFORE UPDATE ON weight BEGIN SELECT RAISE(ABORT, '磁盘已满'); END"_s);
    s.typeFields(u"苏L1"_s);
    s.weigh(32500);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList{u"磁盘已满"_s});
    QCOMPARE(record(t, 1), before);
    QVERIFY(t.ticketPrinter.printed.isEmpty());
    QVERIFY(!s.canSave());
    Sql::exec(t.dm().weightdatabase(), u"DROP TRIGGER refuse"_s);

    // Saved, but the ticket fails: the error shows and a second F2 saves nothing again.
    t.ticketPrinter.failure = u"打印机脱机"_s;
    s.typeFields(u"苏L1"_s);
    s.key(Qt::Key_F1);
    s.key(Qt::Key_F2);
    QCOMPARE(t.prompter.textsOf(u"error"_s).last(), u"打印机脱机"_s);
    QCOMPARE(record(t, 1)[u"毛重"_s].toDouble(), 32500.0);
    QVERIFY(!s.canSave());
    const QVariantMap completed = record(t, 1);
    s.key(Qt::Key_F2);
    QCOMPARE(record(t, 1), completed);
    QCOMPARE(t.count(u"weight"_s), 1);
}

void StationTest::missingDeduction()
{
    TestFolder t;
    Sql::exec(t.dm().weightdatabase(), u"DELETE FROM Agio"_s);
    Scale s(t);
    QCOMPARE(t.prompter.textsOf(u"warning"_s), QStringList{RecordStore::NoDeductionMessage});
    QVERIFY(s.line->isOpen());

    // A first weighing needs no deduction; its completion does.
    s.pass(u"苏M1"_s, 15000);
    QCOMPARE(t.count(u"weight"_s), 1);
    s.typeFields(u"苏M1"_s);
    s.weigh(32500);
    s.key(Qt::Key_F1);
    QCOMPARE(t.prompter.textsOf(u"warning"_s).size(), 2);
    QVERIFY(!s.canSave());
    QCOMPARE(t.count(u"weight"_s, u"毛重 < 1"_s), 1);
}

void StationTest::gridAndTotals()
{
    TestFolder t;
    IniFile ini(t.dm().iniPath());
    ini.writeInteger(u"称重计量"_s, u"车号"_s, 150);
    ini.write(Option::ShiftStartRecord, u"2"_s);
    Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号, 毛重, 皮重, 净重) VALUES "
                                       "('苏N1', 30000, 10000, 20000), ('苏N2', 30000.5, 10000, 20000.5), "
                                       "('苏N3', 0, 12000, 0)"_s);
    Scale s(t);
    QCOMPARE(s.pane(0), u"今日数据统计："_s);
    QCOMPARE(s.pane(1), u"始ID：2"_s);
    QCOMPARE(s.pane(2), u"总车：2次"_s);
    QCOMPARE(s.pane(3), u"总量:20000.50 kg"_s);

    QTableView* grid = s.grid();
    QCOMPARE(grid->model()->rowCount(), 3);
    const auto column = [&](const QString& name) {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (grid->model()->headerData(c, Qt::Horizontal).toString() == name)
                return c;
        return -1;
    };
    QCOMPARE(grid->columnWidth(column(u"车号"_s)), 150);
    QCOMPARE(grid->columnWidth(column(u"品名"_s)), 100);
    QCOMPARE(grid->model()->index(0, column(u"毛重"_s)).data().toString(), u"0.00"_s);
    QCOMPARE(grid->model()->index(1, column(u"毛重"_s)).data().toString(), u"30000.50"_s);
    QCOMPARE(grid->model()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(),
             RecordListModel::PendingColor);
    QVERIFY(!grid->model()->index(1, 0).data(Qt::BackgroundRole).isValid());
    QVERIFY(grid->editTriggers() == QAbstractItemView::NoEditTriggers);

    grid->setColumnWidth(column(u"品名"_s), 180);
    s.w->findChild<QAction*>(u"N1"_s)->trigger();
    QCOMPARE(IniFile(t.dm().iniPath()).readInteger(u"称重计量"_s, u"品名"_s, 0), 180);
    QCOMPARE(t.prompter.lastText(), u"恭喜您,您的表格格式设置成功"_s);

    // Nothing from the start number on: 0 and 0.00 with the unit.
    ini.write(Option::ShiftStartRecord, u"99"_s);
    ini.write(Option::UnitKilograms, false);
    Scale tonnes(t);
    QCOMPARE(tonnes.pane(2), u"总车：0次"_s);
    QCOMPARE(tonnes.pane(3), u"总量:0.00 t"_s);
    QCOMPARE(tonnes.w->findChild<QLabel*>(u"Label1"_s)->text(), u"t"_s);
}

void StationTest::helpAndClosing()
{
    TestFolder t;
    t.shell.openSucceeds = false;
    QPointer<WeighStation> w;
    {
        Scale s(t);
        w = s.w;
        QTest::mouseClick(w->findChild<QPushButton*>(u"RzBitBtn4"_s), Qt::LeftButton);
        QVERIFY(t.prompter.lastText().startsWith(u"过磅操作要口诀：\r\n\r\n汽车上秤三步走\r\n"_s));
        QVERIFY(t.prompter.lastText().endsWith(u"检测数据看设置\r\n毛重称重必填写\r\n"_s));
        QTest::mouseClick(w->findChild<QPushButton*>(u"RzBitBtn5"_s), Qt::LeftButton);
        QVERIFY(t.shell.opened.last().endsWith(u"/视频教程.exe"_s));
        QCOMPARE(t.prompter.lastText(), WeighStation::TutorialMissingMessage);

        auto* hide = w->findChild<QCheckBox*>(u"RzCheckBox1"_s);
        QTest::mouseClick(hide, Qt::LeftButton);
        QVERIFY(IniFile(t.dm().iniPath()).read(Option::HideHelp));
        QVERIFY(!w->findChild<QPushButton*>(u"RzBitBtn4"_s)->isVisible());
        QVERIFY(!w->findChild<QLabel*>(u"Label6"_s)->isVisible());
        QVERIFY(!w->findChild<QWidget*>(u"P1"_s)->isVisible());

        // Cancel keeps the station; OK closes it, its port and tells the main window.
        QSignalSpy closed(w.data(), &WeighStation::closed);
        t.prompter.answers.enqueue(false);
        QTest::mouseClick(w->findChild<QPushButton*>(u"RzBitBtn1"_s), Qt::LeftButton);
        QVERIFY(w->isVisible());
        QCOMPARE(t.prompter.lastText(), WeighStation::CloseQuestion);
        QCOMPARE(t.prompter.calls.last().title, u"提示！"_s);
        t.prompter.answers.enqueue(true);
        w->close();
        QCOMPARE(closed.size(), 1);
        QVERIFY(!s.line->isOpen());
        QTRY_VERIFY(!w);
    }

    // The stored choice applies at the next opening.
    Scale again(t);
    QVERIFY(again.w->findChild<QCheckBox*>(u"RzCheckBox1"_s)->isChecked());
    QVERIFY(!again.w->findChild<QLabel*>(u"Label5"_s)->isVisible());
}

void StationTest::enterAndWordPicker()
{
    TestFolder t;
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名) VALUES ('苏P1', '黄沙'), ('苏P2', '水泥')"_s);
    Scale s(t);
    QCOMPARE(QApplication::focusWidget(), s.box(u"车号"_s));
    s.key(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), s.box(u"品名"_s));
    QCOMPARE(s.box(u"品名"_s)->palette().color(QPalette::Base), QColor(157, 206, 255));
    QVERIFY(s.box(u"车号"_s)->palette().color(QPalette::Base) != QColor(157, 206, 255));

    // In the grid Enter goes down the records, and from the last one back to the first.
    QTableView* grid = s.grid();
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 3));
    s.key(Qt::Key_Return);
    QCOMPARE(grid->currentIndex(), grid->model()->index(1, 3));
    s.key(Qt::Key_Return);
    QCOMPARE(grid->currentIndex(), grid->model()->index(0, 0));

    // Double-click: the picker offers the stored products; the picked one fills the box.
    QString offeredField;
    QTimer::singleShot(0, this, [&] {
        auto* picker = qobject_cast<WordPickerDialog*>(QApplication::activeModalWidget());
        QVERIFY(picker);
        offeredField = picker->PickFieldName();
        auto* list = picker->findChild<QTableView*>(u"DBGrid1"_s);
        list->setCurrentIndex(list->model()->index(1, 0));
        picker->DBGrid1DblClick();
    });
    QTest::mouseDClick(s.box(u"品名"_s), Qt::LeftButton);
    QCOMPARE(offeredField, u"品名"_s);
    QCOMPARE(s.box(u"品名"_s)->text(), u"黄沙"_s);
}

QTEST_MAIN(StationTest)
#include "tst_station.moc"
