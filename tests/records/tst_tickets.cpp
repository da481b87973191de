#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "platform/QtSound.h"
#include "records/SimpleTicketPrinter.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

/** A completed weighing, first weighed empty; returns its record number. */
QString storeCompletedRecord(TestFolder& t)
{
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名, 发货方, 收货方, 承运方, 单价, 金额, 毛重, 皮重, 净重, "
              u"扣杂方式, 扣重数, "
              "皮重时间, 毛重时间, 皮重操作人, 毛重操作人, 备注) VALUES ('苏A12345', '黄沙', '江阴港务公司', "
              "'无锡建材公司', '顺达物流', 35.5, 710, 32500, 12500, 19970, '净重折扣[-30][皮->毛]', 30, "
              "'2026-12-11 07:55:10', '2026-12-11 08:30:15', '张三', '李四', '不可见的备注')"_s);
    return t.dm().QueryScalar(u"SELECT max(编号) FROM weight"_s);
}

SimpleTicketPrinter::Printers noPrinter()
{
    return {};
}

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList outputFiles(TestFolder& t)
{
    return QDir(t.path(SimpleTicketPrinter::OutputFolder)).entryList(QDir::Files);
}

} // namespace

class TicketsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesPdfTicketWithoutPrinter_data();
    void writesPdfTicketWithoutPrinter();
    void missingRecordIsRefused_data();
    void missingRecordIsRefused();
    void printerNamedInOptionIni_data();
    void printerNamedInOptionIni();
    void newFolderHoldsTheBell();
};

void TicketsTest::writesPdfTicketWithoutPrinter_data()
{
    QTest::addColumn<bool>("kilograms");
    QTest::newRow("kg") << true;
    QTest::newRow("t") << false;
}

void TicketsTest::writesPdfTicketWithoutPrinter()
{
    QFETCH(bool, kilograms);
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    TestFolder t;
    IniFile(t.dm().iniPath()).write(Option::UnitKilograms, kilograms);
    const QString number = storeCompletedRecord(t);
    SimpleTicketPrinter printer(t.dm(), &noPrinter);

    const TicketResult result = printer.PrintTicket(number);
    QVERIFY2(result.printed, qPrintable(result.problem));
    const QFileInfo pdf(result.destination);
    QCOMPARE(pdf.absolutePath(), QFileInfo(t.path(u"磅单输出"_s)).absoluteFilePath());
    QVERIFY2(QRegularExpression(u"^%1_\\d{8}_\\d{6}\\.pdf$"_s.arg(number)).match(pdf.fileName()).hasMatch(),
             qPrintable(pdf.fileName()));

    const QString text = pdfText(pdf.absoluteFilePath());
    const QString unit = kilograms ? u"kg"_s : u"t"_s;
    for (const QString& expected : {u"称重计量单"_s, u"编号：%1"_s.arg(number),
                                    u"车号"_s,       u"苏A12345"_s,
                                    u"品名"_s,       u"黄沙"_s,
                                    u"发货方"_s,     u"江阴港务公司"_s,
                                    u"收货方"_s,     u"承运方"_s,
                                    u"单价"_s,       u"35.50"_s,
                                    u"金额"_s,       u"710.00"_s,
                                    u"毛重"_s,       u"32500.00 "_s + unit,
                                    u"皮重"_s,       u"12500.00 "_s + unit,
                                    u"净重"_s,       u"19970.00 "_s + unit,
                                    u"扣杂方式"_s,   u"净重折扣[-30][皮->毛]"_s,
                                    u"扣重数"_s,     u"30.00 "_s + unit,
                                    u"毛重时间"_s,   u"2026-12-11 08:30:15"_s,
                                    u"皮重时间"_s,   u"2026-12-11 07:55:10"_s,
                                    u"毛重操作人"_s, u"李四"_s,
                                    u"皮重操作人"_s, u"张三"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" missing from:\n"_s + text));
    QVERIFY(!text.contains(u"不可见的备注"_s));

    // A second print of the same record in the same second gets a file of its own.
    const TicketResult again = printer.PrintTicket(number);
    QVERIFY(again.printed);
    QVERIFY(again.destination != result.destination);
    QCOMPARE(outputFiles(t).size(), 2);
}

void TicketsTest::missingRecordIsRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("problem");
    QTest::newRow("no such record") << u"9999"_s << u"没有找到编号为9999的称重记录"_s;
    QTest::newRow("not a number") << u"1 or 1=1"_s << u"没有找到编号为1 or 1=1的称重记录"_s;
    QTest::newRow("none chosen") << QString() << u"没有选择要打印的称重记录"_s;
}

void TicketsTest::missingRecordIsRefused()
{
    QFETCH(QString, number);
    QFETCH(QString, problem);
    TestFolder t;
    storeCompletedRecord(t);
    SimpleTicketPrinter printer(t.dm(), &noPrinter);
    const TicketResult result = printer.PrintTicket(number);
    QVERIFY(!result.printed);
    QCOMPARE(result.problem, problem);
    QVERIFY(outputFiles(t).isEmpty());
}

void TicketsTest::printerNamedInOptionIni_data()
{
    QTest::addColumn<QString>("configured"); // empty: no entry in Option.ini
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("systemDefault");
    QTest::addColumn<QString>("used"); // empty: a PDF file

    const QStringList both{u"HP LaserJet"_s, u"磅房针式打印机"_s};
    QTest::newRow("named printer") << u"磅房针式打印机"_s << both << u"HP LaserJet"_s << u"磅房针式打印机"_s;
    QTest::newRow("no name: default") << QString() << both << u"HP LaserJet"_s << u"HP LaserJet"_s;
    QTest::newRow("named one missing: default")
        << u"旧打印机"_s << both << u"HP LaserJet"_s << u"HP LaserJet"_s;
    QTest::newRow("named one missing, no default") << u"旧打印机"_s << both << QString() << QString();
    QTest::newRow("no printer at all") << u"磅房针式打印机"_s << QStringList{} << QString() << QString();
}

void TicketsTest::printerNamedInOptionIni()
{
    QFETCH(QString, configured);
    QFETCH(QStringList, installed);
    QFETCH(QString, systemDefault);
    QFETCH(QString, used);
    TestFolder t;
    if (!configured.isEmpty())
        IniFile(t.dm().iniPath()).write(Option::TicketPrinter, configured);
    const SimpleTicketPrinter printer(t.dm(), [&] {
        return SimpleTicketPrinter::Printers{installed, systemDefault};
    });
    QCOMPARE(printer.printerName(), used);
}

void TicketsTest::newFolderHoldsTheBell()
{
    TestFolder t;
    const QString bell = t.path(u"打铃音/1.wav"_s);
    QFile file(bell);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE");
    QCOMPARE(bytes, [] {
        QFile resource(u":/programfolder/打铃音/1.wav"_s);
        resource.open(QIODevice::ReadOnly);
        return resource.readAll();
    }());
    QVERIFY(QFileInfo(bell).isWritable());

    QtSound sound;
    sound.play(t.path(u"打铃音/2.wav"_s));
    QCOMPARE(sound.currentFile(), QString());
    sound.play(bell);
    QCOMPARE(sound.currentFile(), QFileInfo(bell).absoluteFilePath());
}

QTEST_MAIN(TicketsTest)
#include "tst_tickets.moc"
