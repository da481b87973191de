// The simulator and the reader tool against each other on a pseudo-terminal.

#include "data/DataModule.h"
#include "data/ProgramFolderSetup.h"
#include "data/Sql.h"
#include "indicator/IndicatorModel.h"

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
    const QString device = startSimulator(sim, {u"--rate"_s, u"19200"_s});
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
    const QString device = startSimulator(sim, {u"--format"_s, u"reversed"_s, u"--rate"_s, u"19200"_s});
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
    const QString device = startSimulator(sim, {u"--rate"_s, u"19200"_s});
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
    QVERIFY(out.size() > 40);
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

QTEST_GUILESS_MAIN(ToolsTest)
#include "tst_tools.moc"
