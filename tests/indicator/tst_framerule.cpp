#include "IndicatorTest.h"

#include "indicator/FrameRule.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

QByteArray stxFrame(int weight)
{
    QByteArray body =
        (weight < 0 ? "-" : "+") + QByteArray::number(qAbs(weight)).rightJustified(6, '0') + '0';
    char check = 0;
    for (char c : body)
        check ^= c;
    return '\x02' + body + QByteArray::number(uchar(check), 16).toUpper().rightJustified(2, '0') + '\x03';
}

namespace {

// Model texts: Direction, StarChar, StarWeightChar, WeightCharCount, StarOrderChar, OrderCharCount,
// OrderChar1.
const QStringList Stx{u"True"_s, u"\x02"_s, u"2"_s, u"6"_s, u"1"_s, u"1"_s, u"-"_s};

QStringList with(QStringList texts, int index, const QString& value)
{
    texts[index] = value;
    return texts;
}

FrameParameters parameters(const QStringList& t)
{
    return FrameParameters::fromTexts(t[0] == u"True"_s, t[1], t[2], t[3], t[4], t[5], t[6]);
}

QByteArray reversed(QByteArray bytes)
{
    std::reverse(bytes.begin(), bytes.end());
    return bytes;
}

const QByteArray Example = "\x02+001346219\x03";

} // namespace

void IndicatorTest::frameRule_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("model");
    QTest::addColumn<QVariant>("weight"); // the last chunk's; invalid: none

    const QVariant none;
    QTest::newRow("example frame") << QByteArrayList{Example} << Stx << QVariant(1346.0);
    QTest::newRow("window begins mid-frame: next STX")
        << QByteArrayList{"46219\x03" + stxFrame(1350)} << Stx << QVariant(1350.0);
    QTest::newRow("frame split over two chunks")
        << QByteArrayList{"\x02+0013", "46219\x03"} << Stx << QVariant(1346.0);
    QTest::newRow("several frames: the first")
        << QByteArrayList{stxFrame(1346) + stxFrame(1350)} << Stx << QVariant(1346.0);
    QTest::newRow("window of three chunks: the oldest frame")
        << QByteArrayList{stxFrame(1111), stxFrame(2222), stxFrame(3333)} << Stx << QVariant(1111.0);
    QTest::newRow("fourth chunk: the history moved on")
        << QByteArrayList{stxFrame(1111), stxFrame(2222), stxFrame(3333), stxFrame(4444)} << Stx
        << QVariant(2222.0);
    QTest::newRow("underload sign") << QByteArrayList{"\x02-001346219\x03"} << Stx << QVariant(-1346.0);
    QTest::newRow("sign compared with letter case")
        << QByteArrayList{"\x02n001346219\x03"} << with(Stx, 6, u"N"_s) << QVariant(1346.0);
    QTest::newRow("Direction false: reversed example")
        << QByteArrayList{reversed(Example)} << with(Stx, 0, u"False"_s) << QVariant(1346.0);
    QTest::newRow("reversed digits, start '='")
        << QByteArrayList{"=0052300=0052300"}
        << QStringList{u"False"_s, u"="_s, u"1"_s, u"7"_s, u"0"_s, u"0"_s, QString()} << QVariant(32500.0);
    QTest::newRow("multi-character start text")
        << QByteArrayList{"ST,GS,+0032500kg\r\n"}
        << QStringList{u"True"_s, u"ST,GS,"_s, u"6"_s, u"8"_s, u"6"_s, u"1"_s, u"-"_s} << QVariant(32500.0);
    QTest::newRow("empty start text: fixed layout from the window's start")
        << QByteArrayList{"+001346"} << with(Stx, 1, QString()) << QVariant(1346.0);
    QTest::newRow("start index below 1 counts as 1")
        << QByteArrayList{"1234"}
        << QStringList{u"True"_s, QString(), u"-3"_s, u"4"_s, u"0"_s, u"0"_s, QString()} << QVariant(1234.0);
    QTest::newRow("bytes above 0x7F are one character each")
        << QByteArrayList{"\xB4\xF3+001346"}
        << QStringList{u"True"_s, QString(), u"3"_s, u"7"_s, u"0"_s, u"0"_s, QString()} << QVariant(1346.0);
    QTest::newRow("blanks around the weight")
        << QByteArrayList{"\x02+  1346219\x03"} << Stx << QVariant(1346.0);

    // Sound behaviour where the cut used to invent weights.
    QTest::newRow("start text absent: none") << QByteArrayList{"+001346219\x03"} << Stx << none;
    QTest::newRow("start-up fragment without start text: none")
        << QByteArrayList{"840010\x03"} << with(Stx, 2, u"0"_s) << none;
    QTest::newRow("weight field cut short at the window's end: none")
        << QByteArrayList{"\x02+0025"} << Stx << none;
    QTest::newRow("start past the end: none") << QByteArrayList{"9\x03\x02"} << Stx << none;
    QTest::newRow("empty underload text never negative")
        << QByteArrayList{"\x02 001346219\x03"} << with(with(Stx, 6, QString()), 5, u"0"_s)
        << QVariant(1346.0);

    QTest::newRow("non-integer offset") << QByteArrayList{Example} << with(Stx, 2, u"x"_s) << none;
    QTest::newRow("non-integer count") << QByteArrayList{Example} << with(Stx, 3, u"6.0"_s) << none;
    QTest::newRow("non-integer sign offset") << QByteArrayList{Example} << with(Stx, 4, QString()) << none;
    QTest::newRow("letters in the weight field") << QByteArrayList{"\x02+00A346219\x03"} << Stx << none;
    QTest::newRow("start character typed beyond one byte")
        << QByteArrayList{Example} << with(Stx, 1, u"大"_s) << none;
    QTest::newRow("NUL ends the chunk") << QByteArrayList{"\x02+00\0"
                                                          "1346219\x03"_ba}
                                        << Stx << none;
    QTest::newRow("bytes after a NUL never join the window") << QByteArrayList{"\x02+00\0"
                                                                               "99"_ba,
                                                                               "1346219\x03"}
                                                             << Stx << QVariant(1346.0);
}

void IndicatorTest::frameRule()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, model);
    QFETCH(QVariant, weight);

    const FrameParameters p = parameters(model);
    FrameHistory history;
    std::optional<double> last;
    for (const QByteArray& chunk : chunks)
        last = FrameRule::read(chunk, history, p);
    QCOMPARE(last.has_value(), weight.isValid());
    if (last)
        QCOMPARE(*last, weight.toDouble());
}

void IndicatorTest::frameRuleHistoryAdvancesOnFailure()
{
    // A chunk that yields nothing still moves the window on, so the next chunk sees it.
    FrameHistory history;
    const FrameParameters p = parameters(Stx);
    QVERIFY(!FrameRule::read("garbage", history, p));
    QVERIFY(!FrameRule::read("\x02+0098", history, p));
    QCOMPARE(FrameRule::read("76000\x03", history, p), std::optional<double>(9876.0));
    // The garbage has dropped out of the window: the split frame is still the first one found.
    QCOMPARE(FrameRule::read(stxFrame(5), history, p), std::optional<double>(9876.0));
}

void IndicatorTest::weightField_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QVariant>("number");

    QTest::newRow("digits") << "001346"_ba << QVariant(1346.0);
    QTest::newRow("decimal point") << "013.46"_ba << QVariant(13.46);
    QTest::newRow("sign and blanks") << " -12.5 "_ba << QVariant(-12.5);
    QTest::newRow("plus") << "+7"_ba << QVariant(7.0);
    QTest::newRow("empty") << ""_ba << QVariant();
    QTest::newRow("blanks only") << "   "_ba << QVariant();
    QTest::newRow("sign only") << "-"_ba << QVariant();
    QTest::newRow("two points") << "1.2.3"_ba << QVariant();
    QTest::newRow("comma") << "1,5"_ba << QVariant();
    QTest::newRow("inner blank") << "12 34"_ba << QVariant();
    QTest::newRow("exponent") << "1E5"_ba << QVariant();
    QTest::newRow("infinity") << "inf"_ba << QVariant();
    QTest::newRow("control character") << "\x03"
                                          "123"_ba
                                       << QVariant();
}

void IndicatorTest::weightField()
{
    QFETCH(QByteArray, field);
    QFETCH(QVariant, number);
    const std::optional<double> value = FrameRule::toNumber(field);
    QCOMPARE(value.has_value(), number.isValid());
    if (value)
        QCOMPARE(*value, number.toDouble());
}
