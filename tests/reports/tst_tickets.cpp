#include "TestFolder.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "platform/QtSound.h"
#include "reports/Fr3File.h"
#include "reports/QuickTicketPrinter.h"
#include "reports/ReportRenderer.h"
#include "reports/Tickets.h"

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
              "'无锡建材公司', '顺达物流', 35.5, 708.94, 32500, 12500, 19970, '净重折扣[-30][皮->毛]', 30, "
              "'2026-12-11 07:55:10', '2026-12-11 08:30:15', '张三', '李四', '雨天含水')"_s);
    return t.dm().QueryScalar(u"SELECT max(编号) FROM weight"_s);
}

QuickTicketPrinter::Printers noPrinter()
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
    return QDir(t.path(QuickTicketPrinter::OutputFolder)).entryList(QDir::Files);
}

} // namespace

class TicketsTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void printsDefaultTicketToPdfWithoutPrinter_data();
    void printsDefaultTicketToPdfWithoutPrinter();
    void reprintIsMarkedWithItsCount();
    void followsTheDefaultTicket();
    void nothingPrintableIsRefused_data();
    void nothingPrintableIsRefused();
    void choosesThePrinter_data();
    void choosesThePrinter();
    void everyShippedTemplatePrintsTheRecord_data();
    void everyShippedTemplatePrintsTheRecord();
    void newFolderHoldsTheShippedFiles();
    void commandLineWritesTicket_data();
    void commandLineWritesTicket();
};

void TicketsTest::initTestCase()
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
}

void TicketsTest::printsDefaultTicketToPdfWithoutPrinter_data()
{
    QTest::addColumn<bool>("kilograms");
    QTest::newRow("kg") << true;
    QTest::newRow("t") << false;
}

void TicketsTest::printsDefaultTicketToPdfWithoutPrinter()
{
    QFETCH(bool, kilograms);
    TestFolder t;
    IniFile ini(t.dm().iniPath());
    ini.write(Option::UnitKilograms, kilograms);
    ini.write(Option::ApplicationCaption, u"江阴港务称重站"_s);
    const QString number = storeCompletedRecord(t);
    QuickTicketPrinter printer(t.dm(), &noPrinter);

    const TicketResult result = printer.PrintTicket(number);
    QVERIFY2(result.printed, qPrintable(result.problem));
    const QFileInfo pdf(result.destination);
    QCOMPARE(pdf.absolutePath(), QFileInfo(t.path(u"磅单输出"_s)).absoluteFilePath());
    QVERIFY2(QRegularExpression(u"^%1_\\d{8}_\\d{6}\\.pdf$"_s.arg(number)).match(pdf.fileName()).hasMatch(),
             qPrintable(pdf.fileName()));

    const QString text = pdfText(pdf.absoluteFilePath());
    const QString unit = kilograms ? u"千克"_s : u"吨"_s;
    for (const QString& expected :
         {u"江阴港务称重站"_s, u"编号：%1"_s.arg(number), u"苏A12345"_s, u"黄沙"_s, u"江阴港务公司"_s,
          u"无锡建材公司"_s, u"顺达物流"_s, u"32500 "_s + unit, u"12500 "_s + unit, u"19970 "_s + unit,
          u"净重折扣 -30"_s, u"2026-12-11 08:30:15"_s, u"2026-12-11 07:55:10"_s, u"李四"_s, u"存"_s})
        QVERIFY2(text.contains(expected), qPrintable(expected + u" missing from:\n"_s + text));
    QVERIFY(!text.contains(u"[皮->毛]"_s));
    QVERIFY(!text.contains(u"补打"_s));

    // A second print of the same record in the same second gets a file of its own.
    const TicketResult again = printer.PrintTicket(number);
    QVERIFY(again.printed);
    QVERIFY(again.destination != result.destination);
    QCOMPARE(outputFiles(t).size(), 2);
}

void TicketsTest::reprintIsMarkedWithItsCount()
{
    TestFolder t;
    const QString number = storeCompletedRecord(t);
    QuickTicketPrinter printer(t.dm(), &noPrinter);
    // The station counts a reprint after it went out; the ticket shows the count it will have.
    const TicketResult first = printer.ReprintTicket(number);
    QVERIFY2(first.printed, qPrintable(first.problem));
    QVERIFY2(pdfText(first.destination).contains(u"补打（第1次）"_s), qPrintable(pdfText(first.destination)));
    Sql::exec(t.dm().weightdatabase(), u"UPDATE weight SET 补打次数 = 1"_s);
    const TicketResult second = printer.ReprintTicket(number);
    QVERIFY(pdfText(second.destination).contains(u"补打（第2次）"_s));
}

void TicketsTest::followsTheDefaultTicket()
{
    TestFolder t;
    const QString number = storeCompletedRecord(t);
    QCOMPARE(Tickets::defaultTicketPath(t.dm()), t.folder() + u"/磅单/H标准磅单.fr3"_s);
    IniFile(t.dm().iniPath()).write(Option::DefaultTicket(t.folder()), Tickets::templatePath(t.folder(), u"POS58"_s));
    QuickTicketPrinter printer(t.dm(), &noPrinter);
    const TicketResult result = printer.PrintTicket(number);
    QVERIFY(result.printed);
    // The 58 mm roll: paper narrower than any form.
    QProcess info;
    info.start(u"pdfinfo"_s, {result.destination});
    info.waitForFinished(30000);
    const QString pageSize = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(pageSize.contains(u"Page size:       164 x 454 pts"_s), qPrintable(pageSize));
    QCOMPARE(Tickets::prepare(t.dm(), number, Tickets::defaultTicketPath(t.dm())).report->paperName, QString());

    // The H family is laid out on the custom paper of [zdypage], which the printer knows by its name.
    ReportPage custom;
    custom.paperWidth = 240;
    custom.paperHeight = 95;
    QCOMPARE(Tickets::customPaperName(t.dm(), custom), u"zdy"_s);
    IniFile(t.dm().iniPath()).write(Option::PaperName, u"三联单"_s);
    std::swap(custom.paperWidth, custom.paperHeight);
    QCOMPARE(Tickets::customPaperName(t.dm(), custom), u"三联单"_s);
}

void TicketsTest::nothingPrintableIsRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QByteArray>("ticket"); // the default ticket's content; empty: no file
    QTest::addColumn<QString>("problem");
    const QByteArray good = "keep";
    QTest::newRow("no such record") << u"9999"_s << good << u"没有找到编号为9999的称重记录"_s;
    QTest::newRow("not a number") << u"1 or 1=1"_s << good << u"没有找到编号为1 or 1=1的称重记录"_s;
    QTest::newRow("none chosen") << QString() << good << u"没有选择要打印的称重记录"_s;
    QTest::newRow("template missing") << u"1"_s << QByteArray() << u"不存在"_s;
    QTest::newRow("not a template") << u"1"_s << QByteArray("\x89PNG\r\n") << u"不是有效的报表模板"_s;
}

void TicketsTest::nothingPrintableIsRefused()
{
    QFETCH(QString, number);
    QFETCH(QByteArray, ticket);
    QFETCH(QString, problem);
    TestFolder t;
    storeCompletedRecord(t);
    const QString file = t.path(u"磅单/H标准磅单.fr3"_s);
    if (ticket.isEmpty()) {
        QVERIFY(QFile::remove(file));
    } else if (ticket != "keep") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(ticket);
    }
    QuickTicketPrinter printer(t.dm(), &noPrinter);
    const TicketResult result = printer.PrintTicket(number);
    QVERIFY(!result.printed);
    QVERIFY2(result.problem.contains(problem), qPrintable(result.problem));
    if (ticket != "keep")
        QVERIFY(result.problem.contains(file));
    QVERIFY(outputFiles(t).isEmpty());
}

void TicketsTest::choosesThePrinter_data()
{
    QTest::addColumn<QStringList>("wanted"); // the template's printer, then [Print] Printer
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("systemDefault");
    QTest::addColumn<QString>("used"); // empty: a PDF file

    const QStringList both{u"HP LaserJet"_s, u"磅房针式打印机"_s};
    QTest::newRow("template's printer") << QStringList{u"磅房针式打印机"_s, u"HP LaserJet"_s} << both
                                        << u"HP LaserJet"_s << u"磅房针式打印机"_s;
    QTest::newRow("template's missing: Option.ini's")
        << QStringList{u"旧打印机"_s, u"磅房针式打印机"_s} << both << u"HP LaserJet"_s << u"磅房针式打印机"_s;
    QTest::newRow("no names: default") << QStringList{QString(), QString()} << both << u"HP LaserJet"_s
                                       << u"HP LaserJet"_s;
    QTest::newRow("named ones missing, no default") << QStringList{u"旧打印机"_s} << both << QString() << QString();
    QTest::newRow("no printer at all") << QStringList{u"磅房针式打印机"_s} << QStringList{} << QString() << QString();
}

void TicketsTest::choosesThePrinter()
{
    QFETCH(QStringList, wanted);
    QFETCH(QStringList, installed);
    QFETCH(QString, systemDefault);
    QFETCH(QString, used);
    QCOMPARE(QuickTicketPrinter::choosePrinter(wanted, {installed, systemDefault}), used);
}

void TicketsTest::everyShippedTemplatePrintsTheRecord_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = Tickets::catalogueNames() << Tickets::RecordReport;
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << name;
}

void TicketsTest::everyShippedTemplatePrintsTheRecord()
{
    QFETCH(QString, name);
    static TestFolder t;
    static const QString number = storeCompletedRecord(t);
    const QString file = Tickets::resolveTemplate(t.dm(), name);
    const Tickets::Prepared ticket = Tickets::prepare(t.dm(), number, file);
    QVERIFY2(ticket.report, qPrintable(ticket.problem));
    QStringList warnings = ticket.report->warnings;
    if (name == Tickets::RecordReport) // its titles and totals come from the query window
        warnings.removeIf([](const QString& w) { return w.startsWith(u"模板引用的变量"_s); });
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
    QCOMPARE(ticket.report->pages.size(), 1);

    const QString pdf = t.path(name + u".pdf"_s);
    QVERIFY(!ReportRenderer::writePdf(*ticket.report, pdf));
    const QString text = pdfText(pdf);
    // The second fill prints only what the second weighing adds to a form printed at the first.
    QVERIFY2(text.contains(u"19970"_s) && (name == u"二次填充套打"_s || text.contains(u"苏A12345"_s)),
             qPrintable(text));
    if (name.contains(u"金额"_s))
        QVERIFY2(text.contains(u"柒佰零捌元玖角肆分"_s), qPrintable(text));
    // Pre-printed forms carry the labels themselves.
    if (name.startsWith(u'T') || name == u"二次填充套打"_s)
        QVERIFY2(!text.contains(u"车号"_s) && !text.contains(u"毛重"_s), qPrintable(text));
    else if (name != Tickets::RecordReport)
        QVERIFY2(text.contains(u"Hemlo"_s), qPrintable(text));
}

void TicketsTest::newFolderHoldsTheShippedFiles()
{
    TestFolder t;
    const QStringList names = Tickets::catalogueNames() << Tickets::RecordReport;
    for (const QString& name : names) {
        const Fr3File::Loaded loaded = Fr3File::read(Tickets::templatePath(t.folder(), name));
        QVERIFY2(loaded.report, qPrintable(loaded.problem));
        QVERIFY2(loaded.unsupported.isEmpty(), qPrintable(name));
        QVERIFY(QFileInfo(Tickets::templatePath(t.folder(), name)).isWritable());
    }
    QVERIFY(!QImage(t.path(u"Picture/logo.png"_s)).isNull());

    const QString bell = t.path(u"打铃音/1.wav"_s);
    QFile file(bell);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().mid(8, 4) == "WAVE");
    QtSound sound;
    sound.play(t.path(u"打铃音/2.wav"_s));
    QCOMPARE(sound.currentFile(), QString());
    sound.play(bell);
    QCOMPARE(sound.currentFile(), QFileInfo(bell).absoluteFilePath());
}

void TicketsTest::commandLineWritesTicket_data()
{
    QTest::addColumn<QStringList>("arguments"); // after --folder DIR; OUT stands for the PDF file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("expected"); // in the PDF on success, on standard error otherwise
    const QStringList ticket{u"--ticket"_s, u"1"_s, u"--pdf"_s, u"OUT"_s};
    QTest::newRow("default ticket") << ticket << 0 << u"江阴港务公司"_s;
    QTest::newRow("catalogue name") << ticket + QStringList{u"--template"_s, u"H金额磅单"_s} << 0 << u"柒佰零捌元玖角肆分"_s;
    QTest::newRow("template file") << ticket + QStringList{u"--template"_s, u"DIR/磅单/POS58.fr3"_s} << 0
                                   << u"司机签字"_s;
    QTest::newRow("unknown record") << QStringList{u"--ticket"_s, u"42"_s, u"--pdf"_s, u"OUT"_s} << 1
                                    << u"没有找到编号为42的称重记录"_s;
    QTest::newRow("missing template") << ticket + QStringList{u"--template"_s, u"DIR/没有.fr3"_s} << 1 << u"没有.fr3"_s;
    QTest::newRow("not a template") << ticket + QStringList{u"--template"_s, u"DIR/Option.ini"_s} << 1
                                    << u"不是有效的报表模板"_s;
    QTest::newRow("no --pdf") << QStringList{u"--ticket"_s, u"1"_s} << 2 << u"--pdf"_s;
}

void TicketsTest::commandLineWritesTicket()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, expected);
    TestFolder t;
    storeCompletedRecord(t);
    const QString pdf = t.path(u"out.pdf"_s);
    QStringList args{u"--folder"_s, t.folder()};
    for (QString a : arguments)
        args << (a == u"OUT"_s ? pdf : a.replace(u"DIR"_s, t.folder()));
    QProcess weight;
    weight.start(QStringLiteral(WEIGHT_EXE), args);
    QVERIFY(weight.waitForFinished(60000));
    QCOMPARE(weight.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromUtf8(weight.readAllStandardError());
    QVERIFY2(weight.exitCode() == exitCode, qPrintable(err));
    if (exitCode == 0) {
        QVERIFY2(pdfText(pdf).contains(expected), qPrintable(pdfText(pdf)));
    } else {
        QVERIFY2(err.contains(expected), qPrintable(err));
        QVERIFY(!QFileInfo::exists(pdf));
    }
}

QTEST_MAIN(TicketsTest)
#include "tst_tickets.moc"
