// The simulator and the reader tool against each other on a pseudo-terminal.

#include "data/DataModule.h"
#include "data/ProgramFolderSetup.h"
#include "data/Sql.h"
#include "indicator/IndicatorFinder.h"
#include "indicator/IndicatorModel.h"
#include "LineCoding.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class ToolsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readsTheSelectedModel();
    void readsReversedDigitsWithNamedModelAndPort();
    void recordsALoadAndStopsWithTheLine();
    void lineCoding_data();
    void lineCoding();
    void decidingSearch_data();
    void decidingSearch();

private:
    /** Starts the simulator and returns the device it streams on. */
    QString startSimulator(QProcess& sim, const QStringList& arguments);
    /** A new program folder whose selected model reads `port`. */
    QString makeFolder(QTemporaryDir& dir, const QString& port);
    static QStringList lines(QProcess& process);
};

namespace {

const QRegularExpression LinePattern(u"^(-?\\d+) (stable|unstable)$"_s);

void stop(QProcess& process)
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(3000))
            process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

void ToolsTest::initTestCase()
{
    QVERIFY(QFileInfo(QStringLiteral(INDICATOR_SIM)).isExecutable());
    QVERIFY(QFileInfo(QStringLiteral(WEIGHT_INDICATOR)).isExecutable());
}

QString ToolsTest::startSimulator(QProcess& sim, const QStringList& arguments)
{
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    sim.start(QStringLiteral(INDICATOR_SIM), arguments);
    if (!sim.waitForStarted(5000))
        return {};
    while (!sim.canReadLine())
        if (!sim.waitForReadyRead(5000))
            return {};
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

QString ToolsTest::makeFolder(QTemporaryDir& dir, const QString& port)
{
    const auto error = ProgramFolderSetup::create(dir.path(), {port});
    return error.value_or(QString());
}

QStringList ToolsTest::lines(QProcess& process)
{
    return QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

void ToolsTest::readsTheSelectedModel()
{
    QProcess sim;
    const QString device = startSimulator(sim, {});
    QVERIFY(!device.isEmpty());
    sim.write("weight 32500\n");
    QVERIFY(sim.waitForBytesWritten(5000));
    QTemporaryDir dir;
    QCOMPARE(makeFolder(dir, device), QString());

    QProcess reader;
    reader.start(QStringLiteral(WEIGHT_INDICATOR), {u"--folder"_s, dir.path(), u"--count"_s, u"30"_s});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QStringList out = lines(reader);
    QCOMPARE(out.size(), 30);
    for (const QString& line : out) {
        const QRegularExpressionMatch m = LinePattern.match(line);
        QVERIFY2(m.hasMatch(), qPrintable(line));
        // Nothing but what the indicator sent: no fragment read as another weight.
        QVERIFY2(m.captured(1) == u"32500"_s || m.captured(1) == u"0"_s, qPrintable(line));
    }
    QCOMPARE(out.last(), u"32500 stable"_s);
    stop(sim);
}

void ToolsTest::readsReversedDigitsWithNamedModelAndPort()
{
    QProcess sim;
    const QString device = startSimulator(sim, {u"--format"_s, u"reversed"_s});
    QVERIFY(!device.isEmpty());
    sim.write("weight -1260\n");
    QVERIFY(sim.waitForBytesWritten(5000));
    QTemporaryDir dir;
    QCOMPARE(makeFolder(dir, u"nowhere"_s), QString());
    {
        DataModule dm(dir.path());
        QCOMPARE(dm.open(), DataModule::OpenResult::Ok);
        IndicatorModel m = *IndicatorModels::selected(dm.Parameters());
        m.name = u"反向输出仪表"_s;
        m.Direction = false;
        m.StarChar = u"="_s;
        m.StarWeightChar = u"1"_s;
        m.WeightCharCount = u"7"_s;
        m.StarOrderChar = u"0"_s;
        m.OrderCharCount = u"0"_s;
        m.OrderChar1.clear();
        IndicatorModels::save(dm.Parameters(), m);
    }

    QProcess reader;
    reader.start(QStringLiteral(WEIGHT_INDICATOR),
                 {u"--folder"_s, dir.path(), u"--model"_s, u"反向输出仪表"_s, u"--port"_s, device,
                  u"--count"_s, u"20"_s});
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(reader.exitCode(), 0);
    const QStringList out = lines(reader);
    QCOMPARE(out.size(), 20);
    QCOMPARE(out.last(), u"-1260 stable"_s);
    stop(sim);

    // A missing model is told plainly.
    QProcess wrong;
    wrong.start(QStringLiteral(WEIGHT_INDICATOR), {u"--folder"_s, dir.path(), u"--model"_s, u"无此型号"_s});
    QVERIFY(wrong.waitForFinished(10000));
    QCOMPARE(wrong.exitCode(), 2);
    QVERIFY(QString::fromLocal8Bit(wrong.readAllStandardError()).contains(u"无此型号"_s));
}

void ToolsTest::recordsALoadAndStopsWithTheLine()
{
    QProcess sim;
    const QString device = startSimulator(sim, {});
    QVERIFY(!device.isEmpty());
    QTemporaryDir dir;
    QCOMPARE(makeFolder(dir, device), QString());

    QProcess reader;
    reader.start(QStringLiteral(WEIGHT_INDICATOR), {u"--folder"_s, dir.path()});
    QVERIFY(reader.waitForReadyRead(10000));
    // The reader is listening: a truck drives on, stands, drives off; then the indicator goes away.
    sim.write("drive 32500 1.5\nweight 32500 1\ndrive 0 1.5\nweight 0 1\nend\n");
    QVERIFY(sim.waitForBytesWritten(5000));
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(reader.waitForFinished(10000));
    QCOMPARE(reader.exitCode(), 0);
    const QStringList out = lines(reader);
    QVERIFY2(out.size() > 20, qPrintable(QString::number(out.size())));
    QVERIFY(out.contains(u"32500 stable"_s));
    QCOMPARE(out.last(), u"0 stable"_s);

    DataModule dm(dir.path());
    QCOMPARE(dm.open(), DataModule::OpenResult::Ok);
    QSqlQuery q = Sql::exec(dm.weightdatabase(), u"SELECT 重量, 操作人 FROM 黑匣子数据"_s);
    QVERIFY(q.next());
    // The peak of the load, settling swing included.
    QVERIFY2(q.value(0).toDouble() >= 32500 && q.value(0).toDouble() < 34000,
             qPrintable(q.value(0).toString()));
    QCOMPARE(q.value(1).toString(), u"weight-indicator"_s);
    QVERIFY(!q.next());
}

void ToolsTest::lineCoding_data()
{
    QTest::addColumn<LineCoding>("sender");
    QTest::addColumn<LineCoding>("receiver");
    QTest::addColumn<bool>("clean");
    using P = LineCoding::Parity;
    QTest::newRow("same") << LineCoding{2400, P::Odd, 7, 1} << LineCoding{2400, P::Odd, 7, 1} << true;
    // A receiver checks only the first stop bit, and more stop bits are only a longer pause.
    QTest::newRow("receiver wants two stop bits")
        << LineCoding{9600, P::None, 8, 1} << LineCoding{9600, P::None, 8, 2} << true;
    QTest::newRow("sender sends two") << LineCoding{9600, P::None, 8, 2} << LineCoding{9600, P::None, 8, 1} << true;
    QTest::newRow("parity bit read as a data bit")
        << LineCoding{9600, P::Even, 7, 1} << LineCoding{9600, P::None, 8, 1} << false;
    QTest::newRow("parity expected") << LineCoding{9600, P::None, 8, 1} << LineCoding{9600, P::Odd, 8, 1} << false;
    QTest::newRow("half the rate") << LineCoding{9600, P::None, 8, 1} << LineCoding{4800, P::None, 8, 1} << false;
    QTest::newRow("four times the rate")
        << LineCoding{2400, P::None, 8, 1} << LineCoding{9600, P::None, 8, 1} << false;
}

void ToolsTest::lineCoding()
{
    QFETCH(LineCoding, sender);
    QFETCH(LineCoding, receiver);
    QFETCH(bool, clean);
    QByteArray sent;
    for (int i = 0; i < 20; ++i)
        sent += "\x02+0325000" "3A\x03";
    LineChannel channel(sender);
    channel.setReceiver(receiver);
    // Bytes cross in pieces, as the simulator writes them; a frame split between writes arrives whole.
    QByteArray received;
    for (qsizetype at = 0; at < sent.size(); at += 7)
        received += channel.carry(QByteArrayView(sent).sliced(at, qMin<qsizetype>(7, sent.size() - at)));
    if (clean)
        QCOMPARE(received, sent);
    else
        QVERIFY(!received.contains("+0325000"));
}

void ToolsTest::decidingSearch_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("baud");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("direction");
    QTest::addColumn<QString>("script");
    QTest::addColumn<double>("weight");
    QTest::newRow("stx 2400 odd 7 1")
        << QStringList{u"--rate"_s, u"2400"_s, u"--parity"_s, u"odd"_s, u"--bits"_s, u"7"_s} << 2400
        << QByteArray("\x02") << true << u"weight 32500"_s << 32500.0;
    QTest::newRow("reversed 4800 mark 8 2")
        << QStringList{u"--format"_s, u"reversed"_s, u"--rate"_s, u"4800"_s, u"--parity"_s, u"mark"_s,
                       u"--stop"_s, u"2"_s}
        << 4800 << QByteArray("=") << false << u"weight 18260"_s << 18260.0;
    QTest::newRow("reversed while a truck drives on")
        << QStringList{u"--format"_s, u"reversed"_s, u"--rate"_s, u"9600"_s, u"--parity"_s, u"odd"_s} << 9600
        << QByteArray("=") << false << u"drive 52300 4\nweight 52300"_s << 52300.0;
    QTest::newRow("stx 1200 none, below zero")
        << QStringList{u"--rate"_s, u"1200"_s} << 1200 << QByteArray("\x02") << true
        << u"weight -240"_s << -240.0;
}

void ToolsTest::decidingSearch()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, baud);
    QFETCH(QByteArray, start);
    QFETCH(bool, direction);
    QFETCH(QString, script);
    QFETCH(double, weight);
    QProcess sim;
    const QString device = startSimulator(sim, arguments);
    QVERIFY(!device.isEmpty());
    sim.write(script.toUtf8() + '\n');
    QVERIFY(sim.waitForBytesWritten(5000));

    const std::unique_ptr<SerialLine> line = makeSystemSerialLine();
    IndicatorFinder finder(*line, IndicatorFinder::consoleCombinations(device, 18));
    std::optional<IndicatorFinder::Result> result;
    connect(&finder, &IndicatorFinder::finished, this, [&](const IndicatorFinder::Result& r) { result = r; });
    finder.start();
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 90000);
    QVERIFY2(result->failure.isEmpty(), qPrintable(result->failure));
    QVERIFY(result->settings && result->proposal);
    qInfo("found %d %d %d %d in %lld ms", result->settings->baudRate, int(result->settings->parity),
          result->settings->dataBits, int(result->settings->stopBits), result->elapsedMs);
    // Parity and stop bits are found only as far as they change what arrives: an 8N1 receiver reads
    // 8M1 (the mark bit is one more stop bit), as it does on a real line.
    QCOMPARE(result->settings->baudRate, baud);
    QCOMPARE(result->settings->readIntervalTimeout, 18);
    QCOMPARE(result->proposal->startChar, start);
    QCOMPARE(result->proposal->direction, direction);
    QCOMPARE(result->proposal->weight, weight);
    QVERIFY(!line->isOpen());

    // The station's reader with these parameters reads the weight the indicator shows.
    line->open(*result->settings);
    FrameHistory history;
    const FrameParameters parameters = result->proposal->parameters();
    std::optional<double> read;
    connect(line.get(), &SerialLine::chunkReceived, this, [&](const QByteArray& chunk) {
        if (const auto w = FrameRule::read(chunk, history, parameters))
            read = w;
    });
    QTRY_COMPARE_WITH_TIMEOUT(read, std::optional<double>(weight), 5000);
    line->close();
    stop(sim);
}

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
