// The communication setup window's test console: the terminal, test mode and the searches.

#include "IndicatorTest.h"
#include "FakeSerialLine.h"
#include "TestFolder.h"
#include "indicator/CommunicationSetupWindow.h"
#include "indicator/ConsoleText.h"
#include "indicator/FrameAnalysis.h"
#include "indicator/IndicatorModel.h"
#include "indicator/TestConsole.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T>
T* child(QWidget& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

QString text(QWidget& w, const QString& name)
{
    if (auto* label = w.findChild<QLabel*>(name))
        return label->text();
    if (auto* button = w.findChild<QPushButton*>(name))
        return button->text();
    if (auto* edit = w.findChild<QLineEdit*>(name))
        return edit->text();
    if (auto* box = w.findChild<QComboBox*>(name))
        return box->currentText();
    return child<QPlainTextEdit>(w, name)->toPlainText();
}

void click(QWidget& w, const QString& name)
{
    QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
}

int lineCount(QWidget& w, const QString& name)
{
    return child<QPlainTextEdit>(w, name)->document()->blockCount();
}

/** The window with its console, shown; the fake line is the window's. */
struct ConsoleFixture
{
    TestFolder t;
    CommunicationSetupWindow w{t.ctx()};
    FakeSerialLine* line = nullptr;
    TestConsole* console = nullptr;

    ConsoleFixture()
    {
        w.show();
        line = FakeSerialLine::latest();
        console = w.findChild<TestConsole*>();
    }
    ~ConsoleFixture() { FakeSerialLine::openError.clear(); }
};

QByteArray reversedFrame(int weight)
{
    QByteArray digits = QByteArray::number(weight).rightJustified(7, '0');
    std::reverse(digits.begin(), digits.end());
    return '=' + digits;
}

} // namespace

void IndicatorTest::consoleTextFunctions_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("start: STX of the frames") << u"guess"_s << stxFrame(1346).repeated(3) << QByteArray("\x02");
    QTest::newRow("start: none occurs twice") << u"guess"_s << QByteArray("+0012 ab,3.") << QByteArray();
    QTest::newRow("start: equal counts, earliest first") << u"guess"_s << QByteArray("1=2;3;4=") << QByteArray("=");
    QTest::newRow("start: the line breaks count") << u"guess"_s << QByteArray("12\r\n34\r\n=5") << QByteArray("\r");
    QTest::newRow("start: bytes above 0x7F") << u"guess"_s << QByteArray("\xb4\xf3 \xb4 9") << QByteArray("\xb4");
    QTest::newRow("hex: the note's example") << u"hex"_s << QByteArray("12 34 56 77 10")
                                             << QByteArray("\x12\x34\x56\x77\x10");
    QTest::newRow("hex: single digits") << u"hex"_s << QByteArray("1 2") << QByteArray("\x01\x02");
    QTest::newRow("hex: odd digits") << u"hex"_s << QByteArray("123") << QByteArray("\x12\x03");
    QTest::newRow("hex: junk skipped") << u"hex"_s << QByteArray("zz,aB;g0") << QByteArray("\xab\x00", 2);
    QTest::newRow("hex: nothing") << u"hex"_s << QByteArray("xyz") << QByteArray();
    QTest::newRow("show hex") << u"show"_s << QByteArray("\x02+0") << QByteArray("02 2B 30 ");
    QTest::newRow("show hex: nothing") << u"show"_s << QByteArray() << QByteArray();
}

void IndicatorTest::consoleTextFunctions()
{
    QFETCH(QString, function);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    if (function == u"guess"_s)
        QCOMPARE(GuessStartChar(input), expected);
    else if (function == u"hex"_s)
        QCOMPARE(HexTextToBytes(input), expected);
    else
        QCOMPARE(BytesToHexText(input), QString::fromLatin1(expected));
}

void IndicatorTest::controlCharactersShownAndBack()
{
    QCOMPARE(visibleText(QByteArray("\x02+1\x03\r\n\x7f\0", 8)), u"␂+1␃␍␊␡␀"_s);
    QCOMPARE(rawControls(visibleControls(u"\x02=\x1f"_s)), u"\x02=\x1f"_s);
}

void IndicatorTest::lineOdometer()
{
    const std::array<int, 4> counts{5, 4, 3, 2};
    QList<std::array<int, 4>> order{{0, 0, 0, 0}};
    while (const auto next = nextLineCombination(order.last(), counts))
        order.append(*next);
    QCOMPARE(order.size(), 120);
    QCOMPARE(order[1], (std::array<int, 4>{1, 0, 0, 0}));
    QCOMPARE(order[5], (std::array<int, 4>{0, 1, 0, 0}));
    QCOMPARE(order[20], (std::array<int, 4>{0, 0, 1, 0}));
    QCOMPARE(order[60], (std::array<int, 4>{0, 0, 0, 1}));
    QCOMPARE(order.last(), (std::array<int, 4>{4, 3, 2, 1}));
    // A text that is no item stands before the first item.
    QCOMPARE(*nextLineCombination({-1, 2, 1, 0}, counts), (std::array<int, 4>{0, 2, 1, 0}));
}

void IndicatorTest::frameAnalysis_data()
{
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("direction");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("weight");
    // The weight is the last the frame rule reads; a reversed window reads the frame before the last.
    const auto repeated = [](const QByteArray& frame) { return QList<QByteArray>(12, frame); };
    QTest::newRow("checked frame") << repeated(stxFrame(32500)) << QByteArray("\x02") << true << 2 << 6 << 32500.0;
    QTest::newRow("checked frame, below zero")
        << repeated(stxFrame(-240)) << QByteArray("\x02") << true << 2 << 6 << -240.0;
    QTest::newRow("reversed digits") << repeated(reversedFrame(1234)) << QByteArray("=") << false << 1 << 7 << 1234.0;
    QList<QByteArray> moving;
    for (int kg = 32000; kg <= 32460; kg += 20)
        moving.append(reversedFrame(kg));
    QTest::newRow("reversed digits of a moving load")
        << moving << QByteArray("=") << false << 1 << 7 << 32440.0;
    QTest::newRow("plain text frame") << repeated("ST,GS,+  1250kg\r\n") << QByteArray("\r") << true << 9 << 6
                                      << 1250.0;
}

void IndicatorTest::frameAnalysis()
{
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QByteArray, start);
    QFETCH(bool, direction);
    QFETCH(int, offset);
    QFETCH(int, count);
    QFETCH(double, weight);
    // Chunks that start in the middle of a frame and end anywhere.
    const QByteArray stream = frames.join().mid(3);
    QList<QByteArray> chunks;
    for (qsizetype at = 0; at < stream.size(); at += 13)
        chunks.append(stream.mid(at, 13));
    const auto proposal = FrameAnalysis::propose(chunks);
    QVERIFY(proposal);
    QCOMPARE(proposal->startChar, start);
    QCOMPARE(proposal->direction, direction);
    QCOMPARE(proposal->weightOffset, offset);
    QCOMPARE(proposal->weightCount, count);
    QCOMPARE(proposal->weight, weight);

    const ReceptionScore score = FrameAnalysis::score(chunks);
    QVERIFY(score.framed);
    QCOMPARE(score.clean, 1.0);
}

void IndicatorTest::frameAnalysisRefusesNoise()
{
    QByteArray noise;
    quint32 x = 12345;
    for (int i = 0; i < 600; ++i) {
        x = x * 1103515245 + 12345;
        noise.append(char(x >> 24));
    }
    QVERIFY(!FrameAnalysis::propose({noise}));
    QVERIFY(FrameAnalysis::score({noise}).clean < 0.6);
    QVERIFY(!FrameAnalysis::score({}).decisive());
}

void IndicatorTest::consoleAutoClean_data()
{
    QTest::addColumn<bool>("autoClean");
    QTest::newRow("checked: the note goes with the first chunk") << true;
    QTest::newRow("unchecked: lines follow the note") << false;
}

void IndicatorTest::consoleAutoClean()
{
    QFETCH(bool, autoClean);
    ConsoleFixture f;
    QCOMPARE(lineCount(f.w, u"Memo1"_s), 29);
    QVERIFY(text(f.w, u"Memo3"_s).startsWith(u"有效显示字符例如␂+001346219␃␂+"_s));
    child<QCheckBox>(f.w, u"cbAutoClean"_s)->setChecked(autoClean);
    f.line->push("\x02+0013460");
    QCOMPARE(lineCount(f.w, u"Memo1"_s), autoClean ? 1 : 30);
    QVERIFY(text(f.w, u"Memo1"_s).endsWith(u"␂+0013460"_s));
    QCOMPARE(text(f.w, u"Memo3"_s), u"␂+0013460"_s);
    if (!autoClean)
        return;
    // Over 25 lines the area starts afresh.
    for (int i = 0; i < 25; ++i)
        f.line->push("ab");
    QCOMPARE(lineCount(f.w, u"Memo1"_s), 26);
    f.line->push("cd");
    QCOMPARE(lineCount(f.w, u"Memo1"_s), 1);
}

void IndicatorTest::consoleDisplayAndTestMode()
{
    ConsoleFixture f;
    child<QCheckBox>(f.w, u"cbRecHex"_s)->setChecked(true);
    f.line->push("\x02+0");
    QCOMPARE(text(f.w, u"Memo1"_s), u"02 2B 30 "_s);
    child<QCheckBox>(f.w, u"cbRecHex"_s)->setChecked(false);
    f.line->push(QByteArray("1\0002", 3));
    QCOMPARE(text(f.w, u"Memo3"_s), u"1␀2"_s);
    QCOMPARE(text(f.w, u"RzStatusPane2"_s), u"Rx:6"_s);

    // Test mode: the window of three chunks through the frame rule of the boxes.
    click(f.w, u"BitBtn1"_s);
    QCOMPARE(text(f.w, u"BitBtn1"_s), u"结束"_s);
    QVERIFY(f.line->isOpen());
    const QByteArray frame = stxFrame(-1346);
    f.line->push(frame.left(5));
    f.line->push(frame.mid(5) + QByteArray("\0junk", 5));
    QCOMPARE(text(f.w, u"Memo3"_s), u"␂-001346"_s + QString::fromLatin1(frame.mid(8).chopped(1)) + u"␃"_s);
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"-1346"_s);
    QCOMPARE(text(f.w, u"RzStatusPane2"_s), u"Rx:6"_s);
    // Silence: the display says there is no reading, the next frame brings it back.
    QTRY_COMPARE_WITH_TIMEOUT(text(f.w, u"RzLEDDisplay1"_s), TestConsole::NoReadingText, 4000);
    f.line->push(stxFrame(20));
    f.line->push(stxFrame(20));
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"20"_s);
    click(f.w, u"BitBtn1"_s);
    QCOMPARE(text(f.w, u"BitBtn1"_s), u"测试结果"_s);
    QVERIFY(!f.line->isOpen());
}

void IndicatorTest::consoleCountsAndSends()
{
    ConsoleFixture f;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"send.txt"_s);
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("AB\nCD\r\n");
    }
    child<QLineEdit>(f.w, u"edSendFile"_s)->setText(file);
    // "发送文件" with the port closed sends nothing.
    click(f.w, u"BitBtn8"_s);
    QVERIFY(f.line->sent.isEmpty());
    QCOMPARE(text(f.w, u"RzStatusPane3"_s), u"Tx:0"_s);

    // "发送以上字符" opens the port first.
    click(f.w, u"BitBtn5"_s);
    auto* memo2 = child<QPlainTextEdit>(f.w, u"Memo2"_s);
    memo2->setPlainText(u"12 34\n5"_s);
    child<QCheckBox>(f.w, u"cbsendHex"_s)->setChecked(true);
    click(f.w, u"BitBtn9"_s);
    QCOMPARE(text(f.w, u"btnSwitch"_s), u"关闭串口"_s);
    QCOMPARE(f.line->sent, (QList<QByteArray>{QByteArray("\x12\x34\x05")}));
    QCOMPARE(text(f.w, u"RzStatusPane1"_s), u" STATUS: %1 Opened 9600 None 8 1"_s.arg(text(f.w, u"ComboBox1"_s)));
    click(f.w, u"BitBtn8"_s);
    QCOMPARE(f.line->sent.mid(1), (QList<QByteArray>{"AB\r\n", "CD\r\n"}));
    QCOMPARE(text(f.w, u"RzStatusPane3"_s), u"Tx:11"_s);

    // A text longer than one send goes in pieces and counts in full.
    child<QCheckBox>(f.w, u"cbsendHex"_s)->setChecked(false);
    memo2->setPlainText(QString(70000, u'x'));
    f.line->sent.clear();
    click(f.w, u"BitBtn9"_s);
    QCOMPARE(f.line->sent.size(), 2);
    QCOMPARE(f.line->sent[0].size(), 65535);
    QCOMPARE(text(f.w, u"RzStatusPane3"_s), u"Tx:70011"_s);

    // Alt+A in the send area resets the counters; later counts start from zero.
    f.line->push("abc");
    QTest::keyClick(memo2, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(text(f.w, u"RzStatusPane2"_s), u"Rx:0"_s);
    QCOMPARE(text(f.w, u"RzStatusPane3"_s), u"Tx:0"_s);
    QVERIFY(memo2->toPlainText().size() == 70000);
    f.line->push("de");
    QCOMPARE(text(f.w, u"RzStatusPane2"_s), u"Rx:2"_s);
    click(f.w, u"btnSend"_s);
    QCOMPARE(text(f.w, u"RzStatusPane2"_s), u"Rx:0"_s);

    // Closing: the boxes come back, and with the port closed a send is refused and not counted.
    click(f.w, u"btnSwitch"_s);
    QVERIFY(!f.line->isOpen());
    QVERIFY(child<QComboBox>(f.w, u"ComboBox2"_s)->isEnabled());
    QCOMPARE(text(f.w, u"RzStatusPane1"_s), u" STATUS: COM Port Closed"_s);
    click(f.w, u"BitBtn8"_s);
    QCOMPARE(text(f.w, u"RzStatusPane3"_s), u"Tx:0"_s);
}

void IndicatorTest::consolePortErrors()
{
    ConsoleFixture f;
    // The station holds the port: every try fails with the line's text, the window stays as it was.
    FakeSerialLine::openError = SerialLine::CannotOpenText;
    click(f.w, u"btnSwitch"_s);
    click(f.w, u"btnSwitch"_s);
    QCOMPARE(f.t.prompter.textsOf(u"error"_s), QStringList(2, SerialLine::CannotOpenText));
    QCOMPARE(text(f.w, u"btnSwitch"_s), u"打开串口"_s);
    QCOMPARE(text(f.w, u"RzStatusPane1"_s), u"STATUS：COM  PORT  CLOSE"_s);
    click(f.w, u"BitBtn1"_s);
    QCOMPARE(text(f.w, u"BitBtn1"_s), u"结束"_s);
    QCOMPARE(f.t.prompter.textsOf(u"error"_s).size(), 3);
    click(f.w, u"BitBtn1"_s);
    // A parameter search tick shows the failure and the next goes on.
    click(f.w, u"BitBtn2"_s);
    f.console->Timer2Timer();
    f.console->Timer2Timer();
    QCOMPARE(f.t.prompter.textsOf(u"error"_s).size(), 5);
    QCOMPARE(text(f.w, u"ComboBox2"_s), u"4800"_s);
    click(f.w, u"BitBtn2"_s);
    FakeSerialLine::openError.clear();

    // A baud rate or read interval that is no number: the conversion error, the window usable.
    child<QComboBox>(f.w, u"ComboBox2"_s)->setEditText(u"96OO"_s);
    click(f.w, u"btnSwitch"_s);
    QVERIFY(f.t.prompter.lastText().contains(u"96OO"_s));
    QCOMPARE(text(f.w, u"btnSwitch"_s), u"打开串口"_s);
    child<QComboBox>(f.w, u"ComboBox2"_s)->setEditText(u"9600"_s);
    child<QLineEdit>(f.w, u"Edit2"_s)->setText(u"x"_s);
    click(f.w, u"btnSwitch"_s);
    QVERIFY(f.t.prompter.lastText().contains(u"“x”"_s));
    child<QLineEdit>(f.w, u"Edit2"_s)->setText(u"18"_s);
    click(f.w, u"btnSwitch"_s);
    QVERIFY(f.line->isOpen());
    QCOMPARE(f.line->settings.readIntervalTimeout, 18);
}

void IndicatorTest::consoleParamSearch()
{
    ConsoleFixture f;
    const auto settings = [&] {
        return u"%1 %2 %3 %4"_s.arg(text(f.w, u"ComboBox2"_s), text(f.w, u"ComboBox3"_s), text(f.w, u"ComboBox4"_s),
                                    text(f.w, u"ComboBox5"_s));
    };
    child<QComboBox>(f.w, u"ComboBox2"_s)->setEditText(u"19200"_s);
    click(f.w, u"BitBtn2"_s);
    QCOMPARE(text(f.w, u"BitBtn2"_s), u"1.搜索停止"_s);
    f.console->Timer2Timer();
    QCOMPARE(settings(), u"9600 None 8 1"_s);
    QVERIFY(f.line->isOpen());
    QCOMPARE(f.line->settings.baudRate, 9600);
    for (int i = 0; i < 6; ++i)
        f.console->Timer2Timer();
    QCOMPARE(settings(), u"4800 Odd 8 1"_s);
    QCOMPARE(f.line->settings.parity, LineSettings::Parity::Odd);

    // Stopped and started again: OK continues where it stood, Cancel starts from the first.
    click(f.w, u"BitBtn2"_s);
    QVERIFY(!f.line->isOpen());
    QCOMPARE(text(f.w, u"BitBtn2"_s), u"1.自动寻找参数"_s);
    click(f.w, u"BitBtn2"_s);
    QCOMPARE(f.t.prompter.calls.last().title, u"是否继续"_s);
    QCOMPARE(f.t.prompter.lastText(), u"如果您要继续搜索请点确定，重新搜索请点取消！"_s);
    f.console->Timer2Timer();
    QCOMPARE(settings(), u"2400 Odd 8 1"_s);
    click(f.w, u"BitBtn2"_s);
    f.t.prompter.answers.enqueue(false);
    click(f.w, u"BitBtn2"_s);
    f.console->Timer2Timer();
    QCOMPARE(settings(), u"9600 None 8 1"_s);

    // The 120th combination, then the end.
    for (int i = 0; i < 119; ++i)
        f.console->Timer2Timer();
    QCOMPARE(settings(), u"600 Mark 6 2"_s);
    QVERIFY(f.t.prompter.textsOf(u"information"_s).isEmpty());
    f.console->Timer2Timer();
    QCOMPARE(f.t.prompter.lastText(), u"自动搜索参数结束，如果确实没有可见字符出现，请检查串口接线问题"_s);
    QCOMPARE(text(f.w, u"BitBtn2"_s), u"1.自动寻找参数"_s);
    QVERIFY(!f.line->isOpen());
    QCOMPARE(settings(), u"9600 None 8 2"_s);
    // Run through: the next start asks nothing.
    const auto asked = f.t.prompter.calls.size();
    click(f.w, u"BitBtn2"_s);
    QCOMPARE(f.t.prompter.calls.size(), asked);
    click(f.w, u"BitBtn2"_s);
}

void IndicatorTest::consoleDataSearch()
{
    ConsoleFixture f;
    child<QLineEdit>(f.w, u"Edit3"_s)->clear();
    click(f.w, u"BitBtn3"_s);
    QCOMPARE(text(f.w, u"BitBtn3"_s), u"2.搜索停止"_s);
    QVERIFY(f.line->isOpen());
    QCOMPARE(text(f.w, u"Edit5"_s), u"1"_s);
    QCOMPARE(text(f.w, u"Edit6"_s), u"4"_s);
    const QByteArray frame = stxFrame(1346);
    for (int i = 0; i < 20; ++i)
        f.line->push(frame);
    f.console->Timer3Timer();
    QVERIFY(f.line->isOpen());
    QCOMPARE(text(f.w, u"Edit6"_s), u"4"_s);
    f.line->push(frame);
    f.console->Timer3Timer();
    QVERIFY(!f.line->isOpen());
    QCOMPARE(rawControls(text(f.w, u"Edit3"_s)), u"\x02"_s);
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"+0013"_s);
    f.console->Timer3Timer();
    f.console->Timer3Timer();
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"+001346"_s);
    // "测试" by hand at length 7 moves on to the next offset with length 5.
    click(f.w, u"RzBitBtn1"_s);
    QCOMPARE(text(f.w, u"Edit5"_s), u"2"_s);
    QCOMPARE(text(f.w, u"Edit6"_s), u"5"_s);
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"00134"_s);
    // (2, 5) to (16, 7) and finally (17, 5) with the end message.
    for (int i = 0; i < 44; ++i)
        f.console->Timer3Timer();
    QCOMPARE(text(f.w, u"Edit5"_s), u"16"_s);
    QCOMPARE(text(f.w, u"Edit6"_s), u"7"_s);
    QVERIFY(f.t.prompter.textsOf(u"information"_s).isEmpty());
    f.console->Timer3Timer();
    QCOMPARE(text(f.w, u"Edit5"_s), u"17"_s);
    QCOMPARE(text(f.w, u"Edit6"_s), u"5"_s);
    QCOMPARE(f.t.prompter.textsOf(u"information"_s), QStringList{u"搜索结束！"_s});
    QCOMPARE(text(f.w, u"BitBtn3"_s), u"2.自动寻找数据"_s);
}

void IndicatorTest::consoleDataSearchWithoutStartChar()
{
    // Line breaks are candidates too, so only a short text lacks one; "测试" then cuts from its start.
    ConsoleFixture f;
    QTest::mouseDClick(child<QPlainTextEdit>(f.w, u"Memo1"_s)->viewport(), Qt::LeftButton);
    QCOMPARE(text(f.w, u"Memo1"_s), QString());
    f.line->push("+00100");
    f.line->push("+00120");
    child<QLineEdit>(f.w, u"Edit3"_s)->setText(visibleText(GuessStartChar("+00100\r\n+00120")));
    QCOMPARE(text(f.w, u"Edit3"_s), QString());
    child<QLineEdit>(f.w, u"Edit5"_s)->setText(u"1"_s);
    child<QLineEdit>(f.w, u"Edit6"_s)->setText(u"4"_s);
    click(f.w, u"RzBitBtn1"_s);
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"+0010"_s);
    // Offsets that are no numbers make the step do nothing.
    child<QLineEdit>(f.w, u"Edit5"_s)->setText(u"a"_s);
    click(f.w, u"RzBitBtn1"_s);
    QCOMPARE(text(f.w, u"Edit6"_s), u"5"_s);
    QCOMPARE(text(f.w, u"RzLEDDisplay1"_s), u"+0010"_s);
}

void IndicatorTest::consoleSavesText()
{
    ConsoleFixture f;
    f.t.clock.current = QDateTime(QDate(2013, 5, 7), QTime(14, 25, 36));
    f.line->push("\x02+001346");
    click(f.w, u"BitBtn6"_s);
    const QString path = f.t.path(u"Da130507143625.txt"_s);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("\x02+001346\r\n"));
    QCOMPARE(f.t.prompter.calls.last().kind, u"warning"_s);
    QCOMPARE(f.t.prompter.calls.last().title, u"提示保存路径"_s);
    QCOMPARE(f.t.prompter.lastText(), u"已将文本保存在"_s + QDir::toNativeSeparators(path) + u"中"_s);
}

void IndicatorTest::consoleSendPanelAndAreas()
{
    ConsoleFixture f;
    f.w.resize(800, 700);
    const int height = f.w.height();
    click(f.w, u"BitBtn5"_s);
    QCOMPARE(f.w.height(), height + 97);
    QCOMPARE(text(f.w, u"BitBtn5"_s), u"隐藏发送面板"_s);
    QVERIFY(child<QWidget>(f.w, u"Memo2"_s)->isVisible());
    QCOMPARE(text(f.w, u"Memo2"_s), u"发送数据区域\n请在打开串口的情况下发送数据。"_s);
    click(f.w, u"BitBtn5"_s);
    QCOMPARE(f.w.height(), height);
    QCOMPARE(text(f.w, u"BitBtn5"_s), u"显示发送面板"_s);

    // Auto send repeats at the spin box's interval; the interval is fixed while it runs.
    auto* autoSend = child<QCheckBox>(f.w, u"cbAutoSend"_s);
    QTest::mouseClick(autoSend, Qt::LeftButton);
    QVERIFY(f.w.findChild<QTimer*>(u"Timer1"_s)->isActive());
    QVERIFY(!child<QWidget>(f.w, u"SpinEdit1"_s)->isEnabled());
    f.console->Timer1Timer();
    QCOMPARE(f.line->sent.size(), 1);
    QTest::mouseClick(autoSend, Qt::LeftButton);
    QVERIFY(child<QWidget>(f.w, u"SpinEdit1"_s)->isEnabled());

    // Double clicks clear an area.
    QTest::mouseDClick(child<QPlainTextEdit>(f.w, u"Memo3"_s)->viewport(), Qt::LeftButton);
    QCOMPARE(text(f.w, u"Memo3"_s), QString());
}

void IndicatorTest::consoleFindsTheSimulatedIndicator()
{
#ifndef INDICATOR_SIM
    QSKIP("the indicator simulator needs pseudo-terminals");
#else
    QProcess sim;
    sim.start(QStringLiteral(INDICATOR_SIM), {u"--format"_s, u"reversed"_s, u"--rate"_s, u"2400"_s, u"--parity"_s,
                                              u"odd"_s, u"--bits"_s, u"7"_s, u"--stop"_s, u"2"_s});
    QVERIFY(sim.waitForStarted(5000));
    QVERIFY(sim.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    sim.write("weight 41380\n");

    TestFolder t;
    t.ctx().makeSerialLine = makeSystemSerialLine;
    CommunicationSetupWindow w(t.ctx());
    w.show();
    child<QComboBox>(w, u"ComboBox1"_s)->setEditText(device);
    click(w, u"btnFind"_s);
    QCOMPARE(text(w, u"btnFind"_s), u"停止识别"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!t.prompter.calls.isEmpty(), 90000);
    QCOMPARE(t.prompter.calls.last().kind, u"information"_s);
    QVERIFY2(t.prompter.lastText().contains(u"当前读数 41380"_s), qPrintable(t.prompter.lastText()));
    QCOMPARE(text(w, u"btnFind"_s), u"自动识别仪表"_s);
    QCOMPARE(text(w, u"ComboBox2"_s), u"2400"_s);
    QCOMPARE(text(w, u"ComboBox3"_s), u"Odd"_s);
    QCOMPARE(text(w, u"ComboBox7"_s), u"False"_s);
    QCOMPARE(text(w, u"Edit3"_s), u"="_s);
    QCOMPARE(text(w, u"Edit5"_s), u"1"_s);
    QCOMPARE(text(w, u"Edit6"_s), u"7"_s);

    // "测试结果" reads the weight with what was found, and "3.保存参数" keeps it for the station.
    click(w, u"BitBtn1"_s);
    QTRY_COMPARE_WITH_TIMEOUT(text(w, u"RzLEDDisplay1"_s), u"41380"_s, 5000);
    click(w, u"BitBtn1"_s);
    click(w, u"BitBtn4"_s);
    const auto saved = IndicatorModels::selected(t.dm().Parameters());
    QVERIFY(saved);
    QCOMPARE(saved->Baudrate, u"2400"_s);
    QCOMPARE(saved->StarChar, u"="_s);
    QCOMPARE(saved->Direction, false);
    sim.kill();
    sim.waitForFinished(3000);
#endif
}
