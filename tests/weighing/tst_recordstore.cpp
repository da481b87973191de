#include "TestFolder.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/RecordLayout.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "weighing/RecordStore.h"
#include "weighing/WeighingBoxes.h"
#include "weighing/WeighingFigures.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QList<StructureRow> rows(const QStringList& names, const QStringList& chinese = {})
{
    QList<StructureRow> result;
    for (const QString& name : names) {
        StructureRow row;
        row.number = int(result.size()) + 1;
        row.name = name;
        row.chineseInput = chinese.contains(name);
        result.append(row);
    }
    return result;
}

} // namespace

/** The record store without its window: boxes, their check, figures, refusals of a broken layout. */
class RecordStoreTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxesFromLayout_data();
    void boxesFromLayout();
    void checkWeighingBoxes_data();
    void checkWeighingBoxes();
    void settle_data();
    void settle();
    void savesRefuseFieldsTheyCannotName_data();
    void savesRefuseFieldsTheyCannotName();
};

void RecordStoreTest::boxesFromLayout_data()
{
    QTest::addColumn<QStringList>("layout");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("labelAbove");
    QTest::addColumn<QList<QPoint>>("places");

    QTest::newRow("six rows: labels left, one column from (100, 100)")
        << QStringList{u"编号"_s, u"车号"_s, u"毛重备注"_s, u"品名"_s, u"皮重操作人"_s, u"备注"_s}
        << QStringList{u"车号"_s, u"品名"_s, u"备注"_s} << false
        << QList<QPoint>{{100, 100}, {100, 143}, {100, 186}};
    QTest::newRow("seven rows, five of them skipped: labels above")
        << QStringList{u"编号"_s, u"毛重"_s, u"皮重"_s, u"净重"_s, u"毛重时间"_s, u"车号"_s, u"品名"_s}
        << QStringList{u"车号"_s, u"品名"_s} << true << QList<QPoint>{{20, 133}, {20, 176}};
    QTest::newRow("eight boxes: two columns of six")
        << QStringList{u"车号"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s}
        << QStringList{u"车号"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s, u"g"_s} << true
        << QList<QPoint>{{20, 133}, {20, 176}, {20, 219},  {20, 262},
                         {20, 305}, {20, 348}, {170, 133}, {170, 176}};
}

void RecordStoreTest::boxesFromLayout()
{
    QFETCH(QStringList, layout);
    QFETCH(QStringList, boxes);
    QFETCH(bool, labelAbove);
    QFETCH(QList<QPoint>, places);

    WeighingBoxes b;
    b.build(rows(layout, {u"品名"_s}));
    QCOMPARE(b.fields(), boxes);
    for (int i = 0; i < b.count(); ++i) {
        const BoxEntry& entry = b.entries()[i];
        QCOMPARE(entry.objectName, u"EIT"_s + QString::number(i));
        QCOMPARE(entry.labelAbove, labelAbove);
        QCOMPARE(entry.geometry.topLeft(), places[i]);
        QCOMPARE(entry.geometry.width(), 120);
        QCOMPARE(entry.chineseInput, entry.field == u"品名"_s);
    }
}

void RecordStoreTest::checkWeighingBoxes_data()
{
    QTest::addColumn<QStringList>("texts"); // boxes 车号, 品名, 备注
    QTest::addColumn<int>("failing");
    QTest::addColumn<QStringList>("after");

    // [CheckWidth]: 车号 10, 品名 10, 备注 not set (20).
    QTest::newRow("all fit, trimmed") << QStringList{u" 苏A123 "_s, u"黄沙一号"_s, u"x"_s} << -1
                                      << QStringList{u"苏A123"_s, u"黄沙一号"_s, u"x"_s};
    QTest::newRow("six Chinese characters are twelve bytes")
        << QStringList{u"苏A1"_s, u"六个汉字六个"_s, u" y "_s} << 1
        << QStringList{u"苏A1"_s, u"六个汉字六个"_s, u" y "_s};
    QTest::newRow("five Chinese characters fit ten") << QStringList{u"苏A1"_s, u"五个汉字五"_s, u"y"_s} << -1
                                                     << QStringList{u"苏A1"_s, u"五个汉字五"_s, u"y"_s};
    QTest::newRow("mixed: 苏 counts two") << QStringList{u"苏A12345678"_s, u"b"_s, u"c"_s} << 0
                                          << QStringList{u"苏A12345678"_s, u"b"_s, u"c"_s};
    QTest::newRow("ten ASCII fit") << QStringList{u"AB'1\"34567"_s, u"b"_s, u"c"_s} << -1
                                   << QStringList{u"AB'1\"34567"_s, u"b"_s, u"c"_s};
    QTest::newRow("blanks only are empty")
        << QStringList{u"A"_s, u"   "_s, u" c "_s} << 1 << QStringList{u"A"_s, QString(), u" c "_s};
    QTest::newRow("default width 20") << QStringList{u"A"_s, u"B"_s, QString(21, u'x')} << 2
                                      << QStringList{u"A"_s, u"B"_s, QString(21, u'x')};
}

void RecordStoreTest::checkWeighingBoxes()
{
    QFETCH(QStringList, texts);
    QFETCH(int, failing);
    QFETCH(QStringList, after);

    TestFolder t;
    IniFile ini(t.dm().iniPath());
    ini.writeInteger(Option::CheckWidthSection, u"车号"_s, 10);
    ini.writeInteger(Option::CheckWidthSection, u"品名"_s, 10);
    ini.writeString(Option::CheckWidthSection, u"备注"_s, u"多"_s); // does not convert: the default
    WeighingBoxes boxes;
    boxes.build(rows({u"车号"_s, u"品名"_s, u"备注"_s}));
    for (int i = 0; i < 3; ++i)
        boxes.setText(i, texts[i]);
    QCOMPARE(boxes.CheckWeighingBoxes(ini), failing);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(boxes.text(i), after[i]);
}

void RecordStoreTest::settle_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("value");
    QTest::addColumn<QStringList>("before"); // gross, first pass, net, live
    QTest::addColumn<QStringList>("after");  // gross, first pass, net
    QTest::addColumn<bool>("loadedFirst");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("description");

    const QStringList g100t40{u"100"_s, u"40"_s, u"60"_s, u"100"_s};
    QTest::newRow("毛重比例 98: gross 98, net 58, 2 taken")
        << u"毛重比例"_s << 98.0 << g100t40 << QStringList{u"98.00"_s, u"40"_s, u"58.00"_s} << false << 2.0
        << u"毛重比例[×98%]"_s;
    QTest::newRow("毛重折扣 -300") << u"毛重折扣"_s << -300.0
                                   << QStringList{u"32500"_s, u"15000"_s, u"17500"_s, u"32500"_s}
                                   << QStringList{u"32200.00"_s, u"15000"_s, u"17200.00"_s} << false << 300.0
                                   << u"毛重折扣[-300]"_s;
    QTest::newRow("净重折扣 -30 of 600")
        << u"净重折扣"_s << -30.0 << QStringList{u"1000"_s, u"400"_s, u"600"_s, u"1000"_s}
        << QStringList{u"1000"_s, u"400"_s, u"570.00"_s} << false << 30.0 << u"净重折扣[-30]"_s;
    QTest::newRow("净重比例 98.5") << u"净重比例"_s << 98.5
                                   << QStringList{u"32500"_s, u"12500"_s, u"20000"_s, u"32500"_s}
                                   << QStringList{u"32500"_s, u"12500"_s, u"19700.00"_s} << false << 300.0
                                   << u"净重比例[×98.5%]"_s;
    QTest::newRow("no deduction: the name as stored")
        << u"不扣"_s << 5.0 << g100t40 << QStringList{u"100"_s, u"40"_s, u"60.00"_s} << false << 0.0
        << u"不扣[]"_s;
    QTest::newRow("loaded first: the first pass is the gross")
        << u"净重折扣"_s << 0.0 << QStringList{u"15000"_s, u"32500"_s, u"-17500"_s, u"15000"_s}
        << QStringList{u"32500"_s, u"15000"_s, u"17500.00"_s} << true << 0.0 << u"净重折扣[0]"_s;
    QTest::newRow("loaded first with 毛重比例 90")
        << u"毛重比例"_s << 90.0 << QStringList{u"400"_s, u"1000"_s, u"-600"_s, u"400"_s}
        << QStringList{u"900.00"_s, u"400"_s, u"500.00"_s} << true << 100.0 << u"毛重比例[×90%]"_s;
}

void RecordStoreTest::settle()
{
    QFETCH(QString, kind);
    QFETCH(double, value);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(bool, loadedFirst);
    QFETCH(double, amount);
    QFETCH(QString, description);

    const DeductionSetting deduction{kind, DeductionSetting::kindOf(kind), value};
    const SettledFigures s = Figures::settle({before[0], before[1], before[2]}, before[3], deduction);
    QCOMPARE(s.figures, (WeighFigures{after[0], after[1], after[2]}));
    QCOMPARE(s.loadedFirst, loadedFirst);
    QCOMPARE(s.amount, amount);
    QCOMPARE(deduction.description(), description);
}

void RecordStoreTest::savesRefuseFieldsTheyCannotName_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");

    QTest::newRow("a visible 扣杂方式 would be named twice")
        << u"UPDATE structure SET 是否可见 = TRUE WHERE 项目名称 = '扣杂方式'"_s << u"扣杂方式"_s;
    QTest::newRow("a layout field that is no column")
        << u"INSERT INTO structure (编号, 项目名称, 项目类型, 项目宽度, 是否可见) VALUES (99, '车\"队', "
           u"'String', "
           "'20', TRUE)"_s
        << u"车\"队"_s;
}

void RecordStoreTest::savesRefuseFieldsTheyCannotName()
{
    QFETCH(QString, sql);
    QFETCH(QString, message);

    TestFolder t;
    Sql::exec(t.dm().weightdatabase(), sql);
    Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号, 皮重) VALUES ('苏A1', 15000)"_s);
    RecordStore store(t.dm(), t.clock, StationSettings::read(t.dm().iniPath()));
    store.BuildWeighingBoxes();
    QVERIFY(store.LoadDeduction());
    store.boxes().SetBoxText(u"车号"_s, u"苏A1"_s);
    store.setFigures({u"32500"_s, u"15000"_s, u"17500"_s});
    const auto refused = [&](const std::function<void()>& save) {
        try {
            save();
        } catch (const DbError& e) {
            return e.text().contains(message);
        }
        return false;
    };
    QSqlQuery pending = Sql::exec(t.dm().weightdatabase(), u"SELECT * FROM weight"_s);
    QVERIFY(pending.next());
    store.prepareCompletion(pending.record(), u"32500"_s);
    QVERIFY(refused([&] { store.CompleteWeighing(u"admin"_s); }));
    QVERIFY(refused([&] { store.SaveFixedTareWeighing(u"admin"_s); }));
    QCOMPARE(t.count(u"weight"_s), 1);
    QCOMPARE(t.count(u"weight"_s, u"毛重 < 1"_s), 1);
}

QTEST_GUILESS_MAIN(RecordStoreTest)
#include "tst_recordstore.moc"
