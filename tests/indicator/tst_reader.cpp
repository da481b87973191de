#include "IndicatorTest.h"

#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "platform/Prompter.h"
#include "weighing/IndicatorReader.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

/** The reader's problems reach the folder's prompter, as the station shows them. */
void reportTo(IndicatorReader& reader, TestFolder& t)
{
    QObject::connect(&reader, &IndicatorReader::problem, [&t](IndicatorReader::Problem kind, const QString& text) {
        Prompter& prompter = t.prompter;
        if (kind == IndicatorReader::Problem::NoModel)
            prompter.warning(text, IndicatorReader::NoModelTitle);
        else
            prompter.error(text);
    });
}

/** A reader on the folder's selected model with its (fake) port open. */
struct Station
{
    explicit Station(TestFolder& t) : reader(t.ctx().makeSerialLine(), t.dm(), t.clock, t.ctx().login)
    {
        reportTo(reader, t);
        if (!reader.LoadIndicatorSettings() || !reader.OpenPort())
            qFatal("the reader did not start");
        line = FakeSerialLine::latest();
    }

    /** A steady reading: three chunks of it fill the reader's window, so the live weight shows it. */
    void steady(int weight)
    {
        for (int i = 0; i < 3; ++i)
            line->push(stxFrame(weight));
    }
    /** Chunks without a whole frame, until the window holds nothing but them. */
    void unreadable()
    {
        for (int i = 0; i < 3; ++i)
            line->push("\x02+00");
    }

    IndicatorReader reader;
    FakeSerialLine* line = nullptr;
};

QStringList blackBoxRows(TestFolder& t)
{
    QStringList rows;
    QSqlQuery q =
        Sql::exec(t.dm().weightdatabase(), u"SELECT 重量, 操作人, 时间 FROM 黑匣子数据 ORDER BY ID"_s);
    while (q.next()) {
        if (q.value(2).isNull())
            rows.append(u"no time"_s);
        else
            rows.append(QString::number(q.value(0).toDouble(), 'f', 2) + u'/' + q.value(1).toString());
    }
    return rows;
}

} // namespace

void IndicatorTest::readerOpensSelectedModel()
{
    TestFolder t;
    const QString port = Sql::scalar(t.dm().Parameters(), u"SELECT Commname FROM Com_parameter"_s).toString();
    IndicatorReader reader(t.ctx().makeSerialLine(), t.dm(), t.clock, t.ctx().login);
    reportTo(reader, t);
    QVERIFY(reader.LoadIndicatorSettings());
    QVERIFY(reader.OpenPort());
    const LineSettings& s = FakeSerialLine::latest()->settings;
    QCOMPARE(s.portName, port);
    QCOMPARE(s.baudRate, 9600);
    QCOMPARE(s.readIntervalTimeout, 18);
    QCOMPARE(s.parity, LineSettings::Parity::None);
    QCOMPARE(s.dataBits, 8);
    QCOMPARE(s.stopBits, LineSettings::StopBits::One);
    QCOMPARE(reader.unitLabel(), u"kg"_s);
    QCOMPARE(reader.lowerLimit(), 1000.0);

    // A port that cannot be opened: the component's text in the error box, no live weight.
    reader.ClosePort();
    FakeSerialLine::openError = SerialLine::CannotOpenText;
    const bool opened = reader.OpenPort();
    FakeSerialLine::openError.clear();
    QVERIFY(!opened);
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList{SerialLine::CannotOpenText});
}

void IndicatorTest::blackBox_data()
{
    QTest::addColumn<QStringList>("readings"); // kilograms, or "x": chunks without a frame
    QTest::addColumn<QList<int>>("rowsAfter");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("a load passes: its peak, when it has left")
        << QStringList{u"1500"_s, u"5000"_s, u"4000"_s, u"200"_s} << QList<int>{0, 0, 0, 1}
        << QStringList{u"5000.00/admin"_s};
    QTest::newRow("the limit itself ends a load")
        << QStringList{u"1500"_s, u"1000"_s} << QList<int>{0, 1} << QStringList{u"1500.00/admin"_s};
    QTest::newRow("unreadable chunks neither raise nor end a load")
        << QStringList{u"1500"_s, u"x"_s, u"5000"_s, u"x"_s, u"200"_s} << QList<int>{0, 0, 0, 0, 1}
        << QStringList{u"5000.00/admin"_s};
    QTest::newRow("negative weights never start a load")
        << QStringList{u"-3000"_s, u"-5000"_s, u"0"_s} << QList<int>{0, 0, 0} << QStringList{};
    QTest::newRow("never above the limit")
        << QStringList{u"800"_s, u"1000"_s, u"900"_s} << QList<int>{0, 0, 0} << QStringList{};
    QTest::newRow("two loads") << QStringList{u"1500"_s, u"200"_s, u"2500"_s, u"100"_s}
                               << QList<int>{0, 1, 1, 2}
                               << QStringList{u"1500.00/admin"_s, u"2500.00/admin"_s};
}

void IndicatorTest::blackBox()
{
    QFETCH(QStringList, readings);
    QFETCH(QList<int>, rowsAfter);
    QFETCH(QStringList, rows);

    TestFolder t;
    Station s(t);
    QSignalSpy loads(&s.reader, &IndicatorReader::loadLeft);
    for (qsizetype i = 0; i < readings.size(); ++i) {
        if (readings[i] == u"x"_s)
            s.unreadable();
        else
            s.steady(readings[i].toInt());
        QCOMPARE(t.count(u"黑匣子数据"_s), rowsAfter[i]);
    }
    QCOMPARE(blackBoxRows(t), rows);
    QCOMPARE(loads.size(), rows.size());
    QCOMPARE(s.reader.peak(), 0.0);
    QVERIFY(t.prompter.calls.isEmpty());
    QVERIFY(t.logActions().isEmpty());
}

void IndicatorTest::blackBoxRetriesFailedInsert()
{
    TestFolder t;
    Station s(t);
    QSignalSpy loads(&s.reader, &IndicatorReader::loadLeft);
    const auto rename = [&](const QString& from, const QString& to) {
        Sql::exec(t.dm().weightdatabase(), u"ALTER TABLE %1 RENAME TO %2"_s.arg(from, to));
    };
    s.steady(5000);
    rename(u"黑匣子数据"_s, u"黑匣子暂存"_s);
    s.steady(200);
    s.steady(0);
    // One message for the load, not one per chunk; the peak waits for the next try.
    QCOMPARE(t.prompter.textsOf(u"error"_s).size(), 1);
    QCOMPARE(s.reader.peak(), 5000.0);
    QCOMPARE(loads.size(), 0);
    // The next load on the scale fails again and says so again.
    s.steady(3000);
    s.steady(0);
    QCOMPARE(t.prompter.textsOf(u"error"_s).size(), 2);

    rename(u"黑匣子暂存"_s, u"黑匣子数据"_s);
    s.line->push(stxFrame(0));
    QCOMPARE(blackBoxRows(t), QStringList{u"5000.00/admin"_s});
    QCOMPARE(loads.size(), 1);
    QCOMPARE(s.reader.peak(), 0.0);
    QCOMPARE(t.prompter.calls.size(), 2);
}

void IndicatorTest::tonnes()
{
    TestFolder t;
    IniFile ini(t.dm().iniPath());
    ini.write(Option::UnitKilograms, false);
    ini.write(Option::LowerLimitText, u"1"_s);
    Station s(t);
    QCOMPARE(s.reader.unitLabel(), u"t"_s);
    QCOMPARE(s.reader.lowerLimit(), 1.0);

    s.steady(12345);
    QCOMPARE(s.reader.liveWeightText(), u"12"_s);
    QCOMPARE(s.reader.liveWeight(), 12.0);
    s.steady(32500);
    QCOMPARE(s.reader.liveWeightText(), u"33"_s);
    s.steady(-400);
    QCOMPARE(s.reader.liveWeightText(), u"0"_s);
    // The black box keeps what the display showed: whole tonnes.
    QCOMPARE(blackBoxRows(t), QStringList{u"33.00/admin"_s});
}

void IndicatorTest::stableLamp()
{
    TestFolder t;
    Station s(t);
    QVERIFY(!s.reader.isStable());
    // The lamp needs a reading at all; the window then holds 0, 0, 2000.
    s.line->push(stxFrame(2000));
    const QList<std::pair<double, bool>> steps{{100, false}, {100, false}, {100, true}, {101, false},
                                               {101, false}, {101, true},  {101, true}};
    for (const auto& [weight, stable] : steps) {
        s.reader.UpdateStableLamp(weight);
        QCOMPARE(s.reader.isStable(), stable);
    }

    // Through the line: three chunks reading the same whole number light it.
    s.line->push(stxFrame(2000));
    QVERIFY(!s.reader.isStable());
    s.line->push(stxFrame(2000));
    QVERIFY(!s.reader.isStable());
    s.line->push(stxFrame(2000));
    QVERIFY(s.reader.isStable());
}

void IndicatorTest::silentIndicatorIsNoReading()
{
    TestFolder t;
    Station s(t);
    QSignalSpy changes(&s.reader, &IndicatorReader::readingChanged);
    QCOMPARE(s.reader.displayText(), IndicatorReader::NoReadingText);
    s.steady(32500);
    QVERIFY(s.reader.hasReading());
    QVERIFY(s.reader.isStable());
    QCOMPARE(s.reader.displayText(), u"32500"_s);
    QCOMPARE(changes.size(), 1);

    t.clock.current = t.clock.current.addMSecs(IndicatorReader::SilenceMs);
    QVERIFY(s.reader.hasReading());
    t.clock.current = t.clock.current.addMSecs(1);
    QTRY_COMPARE(changes.size(), 2);
    QCOMPARE(changes.last().at(0).toBool(), false);
    QVERIFY(!s.reader.hasReading());
    QVERIFY(!s.reader.isStable());
    QCOMPARE(s.reader.displayText(), IndicatorReader::NoReadingText);

    // The next frames bring everything back.
    s.steady(32500);
    QCOMPARE(changes.size(), 3);
    QVERIFY(s.reader.isStable());
    QCOMPARE(s.reader.displayText(), u"32500"_s);
}

void IndicatorTest::badInputKeepsLiveWeight()
{
    TestFolder t;
    Station s(t);
    QSignalSpy handled(&s.reader, &IndicatorReader::chunkHandled);
    s.steady(3260);
    s.steady(3260);
    QVERIFY(s.reader.isStable());

    QByteArray noise;
    for (int i = 0; i < 128; ++i)
        noise.append(char(0x80 + (i * 37) % 0x80));
    const QByteArrayList garbage{noise,
                                 QByteArray(128, '\0'),
                                 "\0\x02+001111219\x03"_ba,
                                 QByteArray(128, 'A'),
                                 "\x02+00A346219\x03",
                                 "\x02",
                                 "+",
                                 "0013",
                                 noise};
    for (const QByteArray& chunk : garbage)
        s.line->push(chunk);
    QCOMPARE(handled.size(), 6 + garbage.size());
    QVERIFY(!handled.last().at(0).toBool());
    QCOMPARE(s.reader.liveWeightText(), u"3260"_s);
    QVERIFY(s.reader.isStable());
    QVERIFY(t.prompter.calls.isEmpty());

    // Offsets that are no numbers make every cut fail, quietly.
    IndicatorModel model = *IndicatorModels::selected(t.dm().Parameters());
    model.StarWeightChar = u"二"_s;
    s.reader.useModel(model);
    s.steady(5000);
    QCOMPARE(s.reader.liveWeightText(), u"3260"_s);
    QVERIFY(t.prompter.calls.isEmpty());
}

void IndicatorTest::missingModelIsToldOnce()
{
    TestFolder t;
    Sql::exec(t.dm().Parameters(), u"UPDATE Com_parameter SET 是否选择 = ?"_s, {false});
    IndicatorReader reader(t.ctx().makeSerialLine(), t.dm(), t.clock, t.ctx().login);
    reportTo(reader, t);
    QVERIFY(!reader.LoadIndicatorSettings());
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].text, IndicatorReader::NoModelMessage);
    QVERIFY(!reader.OpenPort());
    FakeSerialLine* line = FakeSerialLine::latest();
    QCOMPARE(line->openCount, 0);
    line->push(stxFrame(1500));
    QCOMPARE(reader.liveWeightText(), u"0"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
}
