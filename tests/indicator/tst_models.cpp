#include "IndicatorTest.h"

#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "data/Errors.h"
#include "data/Sql.h"
#include "indicator/CommunicationSetupWindow.h"
#include "indicator/IndicatorModel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(LineSettings)

namespace {

const QString Seeded = u"通用连续输出仪表"_s;

QComboBox* box(QWidget& w, const QString& name)
{
    auto* b = w.findChild<QComboBox*>(name);
    if (!b)
        qFatal("no %s", qPrintable(name));
    return b;
}

QLineEdit* edit(QWidget& w, const QString& name)
{
    auto* e = w.findChild<QLineEdit*>(name);
    if (!e)
        qFatal("no %s", qPrintable(name));
    return e;
}

void pick(QComboBox* combo, const QString& item)
{
    const int index = combo->findText(item);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

int selectedCount(TestFolder& t)
{
    return Sql::scalar(t.dm().Parameters(), u"SELECT count(*) FROM Com_parameter WHERE 是否选择"_s).toInt();
}

QString selectedName(TestFolder& t)
{
    return Sql::scalar(t.dm().Parameters(), u"SELECT 仪表型号 FROM Com_parameter WHERE 是否选择"_s)
        .toString();
}

void addModel(TestFolder& t, const QString& name, const QString& weightOffset)
{
    IndicatorModel m;
    m.name = name;
    m.wiring = u"反向"_s;
    m.Commname = u"COM3"_s;
    m.Baudrate = u"4800"_s;
    m.Parity = u"Even"_s;
    m.Bytesize = u"7"_s;
    m.Stopbits = u"2"_s;
    m.Direction = false;
    m.CountChar = u"30"_s;
    m.StarChar = u"="_s;
    m.StarWeightChar = weightOffset;
    m.WeightCharCount = u"7"_s;
    m.StarOrderChar = u"0"_s;
    m.OrderCharCount = u"0"_s;
    m.OrderChar2 = u"S"_s;
    m.OrderChar3 = u"M"_s;
    IndicatorModels::save(t.dm().Parameters(), m);
}

LineSettings line(LineSettings::Parity parity, int bits, LineSettings::StopBits stop)
{
    LineSettings s;
    s.portName = u"COM2"_s;
    s.baudRate = 2400;
    s.parity = parity;
    s.dataBits = bits;
    s.stopBits = stop;
    s.readIntervalTimeout = 18;
    return s;
}

} // namespace

void IndicatorTest::stationLineSettings_data()
{
    QTest::addColumn<QStringList>("texts"); // Parity, Bytesize, Stopbits
    QTest::addColumn<LineSettings>("expected");
    using P = LineSettings::Parity;
    using S = LineSettings::StopBits;
    QTest::newRow("8N1") << QStringList{u"None"_s, u"8"_s, u"1"_s} << line(P::None, 8, S::One);
    QTest::newRow("any letter case") << QStringList{u"even"_s, u"7"_s, u"2"_s} << line(P::Even, 7, S::Two);
    QTest::newRow("space parity") << QStringList{u"SPACE"_s, u"6"_s, u"1"_s} << line(P::Space, 6, S::One);
    QTest::newRow("unknown texts") << QStringList{u"x"_s, u"5"_s, u"1.5"_s} << line(P::None, 8, S::Two);
}

void IndicatorTest::stationLineSettings()
{
    QFETCH(QStringList, texts);
    QFETCH(LineSettings, expected);
    IndicatorModel m;
    m.Commname = u"COM2"_s;
    m.Baudrate = u" 2400"_s;
    m.CountChar = u"18"_s;
    m.Parity = texts[0];
    m.Bytesize = texts[1];
    m.Stopbits = texts[2];
    QCOMPARE(m.stationLineSettings(), expected);

    m.CountChar = u"十八"_s;
    QVERIFY_THROWS_EXCEPTION(ConversionError, m.stationLineSettings());
}

void IndicatorTest::consoleKeepsUnknownSettings()
{
    using P = LineSettings::Parity;
    const LineSettings previous = line(P::Odd, 7, LineSettings::StopBits::Two);
    // The console knows no "Space" and leaves what it does not know as it was.
    const LineSettings s =
        consoleLineSettings(previous, u"COM4"_s, u"9600"_s, u"Space"_s, u"9"_s, u"x"_s, u"50"_s);
    QCOMPARE(s.portName, u"COM4"_s);
    QCOMPARE(s.baudRate, 9600);
    QCOMPARE(s.parity, P::Odd);
    QCOMPARE(s.dataBits, 7);
    QCOMPARE(s.stopBits, LineSettings::StopBits::Two);
    QCOMPARE(s.readIntervalTimeout, 50);
    QVERIFY_THROWS_EXCEPTION(ConversionError,
                             consoleLineSettings(previous, u"COM4"_s, u"96OO"_s, {}, {}, {}, u"50"_s));
}

void IndicatorTest::windowShowsSelectedModel()
{
    TestFolder t;
    addModel(t, u"反向仪表"_s, u"1"_s);
    Sql::exec(t.dm().Parameters(), u"UPDATE Com_parameter SET 是否选择 = (仪表型号 = ?)"_s, {Seeded});

    CommunicationSetupWindow w(t.ctx());
    QCOMPARE(w.objectName(), u"Tparameters_comfrm"_s);
    QCOMPARE(w.windowTitle(), u"通讯参数设置"_s);
    QComboBox* models = box(w, u"ComboBox6"_s);
    QCOMPARE(models->count(), 3);
    QCOMPARE(models->itemText(0), Seeded);
    QCOMPARE(models->itemText(2), u"新建一个型号"_s);
    QCOMPARE(models->currentText(), Seeded);
    QCOMPARE(box(w, u"ComboBox2"_s)->currentText(), u"9600"_s);
    QCOMPARE(box(w, u"ComboBox3"_s)->currentText(), u"None"_s);
    QCOMPARE(box(w, u"ComboBox7"_s)->currentText(), u"True"_s);
    QCOMPARE(edit(w, u"Edit2"_s)->text(), u"18"_s);
    QCOMPARE(edit(w, u"Edit3"_s)->text(), u"␂"_s);
    QCOMPARE(edit(w, u"Edit4"_s)->text(), u"-"_s);
    QCOMPARE(edit(w, u"Edit5"_s)->text(), u"2"_s);
    QCOMPARE(edit(w, u"Edit6"_s)->text(), u"6"_s);
    QCOMPARE(box(w, u"ComboBox2"_s)->lineEdit()->maxLength(), 6);
    QVERIFY(w.findChild<QPushButton*>(u"BitBtn4"_s));
    QVERIFY(t.prompter.calls.isEmpty());
}

void IndicatorTest::windowNewModelPrepares()
{
    TestFolder t;
    CommunicationSetupWindow w(t.ctx());
    box(w, u"ComboBox7"_s)->setCurrentText(u"False"_s);
    pick(box(w, u"ComboBox6"_s), u"新建一个型号"_s);

    // Three boxes change; the rest keep the model shown before, to be edited into the new one.
    QCOMPARE(box(w, u"ComboBox7"_s)->currentText(), u"True"_s);
    QCOMPARE(edit(w, u"Edit1"_s)->text(), u"未知"_s);
    QCOMPARE(edit(w, u"Edit2"_s)->text(), u"18"_s);
    QCOMPARE(edit(w, u"Edit5"_s)->text(), u"2"_s);
    QCOMPARE(box(w, u"ComboBox6"_s)->currentText(), u"新建一个型号"_s);

    // Saved as it stands, the model is called so.
    w.findChild<QPushButton*>(u"BitBtn4"_s)->click();
    QCOMPARE(selectedName(t), u"新建一个型号"_s);
}

void IndicatorTest::windowSavesExactlyOneSelected()
{
    TestFolder t;
    {
        CommunicationSetupWindow w(t.ctx());
        pick(box(w, u"ComboBox6"_s), u"新建一个型号"_s);
        box(w, u"ComboBox6"_s)->setEditText(u"  地磅仪表 A  "_s);
        box(w, u"ComboBox1"_s)->setEditText(u"/dev/ttyUSB0"_s);
        box(w, u"ComboBox7"_s)->setEditText(u" false "_s);
        edit(w, u"Edit3"_s)->setText(u"="_s);
        edit(w, u"Edit5"_s)->setText(u"1"_s);
        edit(w, u"Edit6"_s)->setText(u"7"_s);
        edit(w, u"Edit9"_s)->setText(u"ST"_s);
        edit(w, u"Edit10"_s)->setText(u"US"_s);
        w.findChild<QPushButton*>(u"BitBtn4"_s)->click();
        QCOMPARE(t.prompter.calls.size(), 1);
        QCOMPARE(t.prompter.calls[0].kind, u"information"_s);
        QCOMPARE(t.prompter.calls[0].text, u"数据参数保存完毕"_s);
        QCOMPARE(t.prompter.calls[0].title, u"提示"_s);
        QCOMPARE(selectedCount(t), 1);
        QCOMPARE(selectedName(t), u"地磅仪表 A"_s);

        // Saving it again, typed with other blanks, updates the same row.
        box(w, u"ComboBox6"_s)->setEditText(u"地磅仪表 A "_s);
        edit(w, u"Edit6"_s)->setText(u"8"_s);
        w.findChild<QPushButton*>(u"BitBtn4"_s)->click();
        QCOMPARE(Sql::scalar(t.dm().Parameters(), u"SELECT count(*) FROM Com_parameter"_s).toInt(), 2);
        QCOMPARE(selectedCount(t), 1);
    }

    CommunicationSetupWindow again(t.ctx());
    QCOMPARE(box(again, u"ComboBox6"_s)->currentText(), u"地磅仪表 A"_s);
    QCOMPARE(box(again, u"ComboBox1"_s)->currentText(), u"/dev/ttyUSB0"_s);
    QCOMPARE(box(again, u"ComboBox7"_s)->currentText(), u"False"_s);
    QCOMPARE(edit(again, u"Edit6"_s)->text(), u"8"_s);
    QCOMPARE(edit(again, u"Edit9"_s)->text(), u"ST"_s);
    QCOMPARE(edit(again, u"Edit10"_s)->text(), u"US"_s);
    // The model saved first is no longer the selected one, and still exists.
    const std::optional<IndicatorModel> seeded = IndicatorModels::find(t.dm().Parameters(), Seeded);
    QVERIFY(seeded && !seeded->selected);
}

void IndicatorTest::windowChoosesModel()
{
    TestFolder t;
    addModel(t, u"反向仪表"_s, u"1"_s);
    Sql::exec(t.dm().Parameters(), u"UPDATE Com_parameter SET 是否选择 = (仪表型号 = ?)"_s, {Seeded});
    CommunicationSetupWindow w(t.ctx());
    pick(box(w, u"ComboBox6"_s), u"反向仪表"_s);
    QCOMPARE(box(w, u"ComboBox1"_s)->currentText(), u"COM3"_s);
    QCOMPARE(box(w, u"ComboBox3"_s)->currentText(), u"Even"_s);
    QCOMPARE(box(w, u"ComboBox7"_s)->currentText(), u"False"_s);
    QCOMPARE(edit(w, u"Edit3"_s)->text(), u"="_s);
    QCOMPARE(edit(w, u"Edit1"_s)->text(), u"反向"_s);
    QCOMPARE(edit(w, u"Edit4"_s)->text(), QString());
    // Choosing changes nothing stored; only a save selects.
    QCOMPARE(selectedName(t), Seeded);

    // A model that vanished meanwhile empties the boxes.
    Sql::exec(t.dm().Parameters(), u"DELETE FROM Com_parameter WHERE 仪表型号 = ?"_s, {Seeded});
    pick(box(w, u"ComboBox6"_s), Seeded);
    QCOMPARE(edit(w, u"Edit3"_s)->text(), QString());
    QCOMPARE(box(w, u"ComboBox2"_s)->currentText(), QString());
    QCOMPARE(box(w, u"ComboBox7"_s)->currentText(), u"False"_s);
}

void IndicatorTest::windowWithEmptyTable()
{
    TestFolder t;
    Sql::exec(t.dm().Parameters(), u"DELETE FROM Com_parameter"_s);
    CommunicationSetupWindow w(t.ctx());
    QComboBox* models = box(w, u"ComboBox6"_s);
    QCOMPARE(models->count(), 1);
    QCOMPARE(models->itemText(0), u"新建一个型号"_s);
    QCOMPARE(models->currentText(), QString());
    QCOMPARE(box(w, u"ComboBox7"_s)->currentText(), u"False"_s);
    QCOMPARE(edit(w, u"Edit2"_s)->text(), QString());
    QVERIFY(t.prompter.calls.isEmpty());
}

void IndicatorTest::windowClosesItsLine()
{
    TestFolder t;
    CommunicationSetupWindow w(t.ctx());
    w.show();
    w.Comm1().open(LineSettings{});
    FakeSerialLine* fake = FakeSerialLine::latest();
    QVERIFY(fake && fake->isOpen());
    w.close();
    QVERIFY(!fake->isOpen());
}
