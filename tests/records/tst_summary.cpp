#include "GridDriver.h"
#include "TestFolder.h"
#include "app/MainWindow.h"
#include "data/IniFile.h"
#include "data/Sql.h"
#include "platform/LibreOfficeSpreadsheet.h"
#include "records/Summary.h"
#include "records/SummaryWindow.h"
#include "records/UniversalTicket.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPrinterInfo>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace GridDriver;

const QDate Day(2026, 5, 1);

struct Weighing
{
    QString plate;
    QString product;
    QString sender;
    double gross;
    double tare;
    double amount;
    QDateTime grossTime = QDateTime(Day, QTime(9, 0));
};

void addWeighing(TestFolder& f, const Weighing& w)
{
    Sql::exec(f.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名, 发货方, 毛重, 皮重, 净重, 金额, 毛重时间) VALUES (?,?,?,?,?,?,?,?)"_s,
              {w.plate, w.product, w.sender.isEmpty() ? QVariant() : QVariant(w.sender), w.gross, w.tare,
               w.gross - w.tare, w.amount, Dialect::dateTimeText(w.grossTime)});
}

/** Three trucks, two records each on the day, and one record of the day before. */
void addThreeTrucks(TestFolder& f)
{
    for (const QString& plate : {u"京A001"_s, u"京A002"_s, u"京A003"_s})
        for (int i = 0; i < 2; ++i)
            addWeighing(f, {plate, i ? u"煤"_s : u"砂"_s, u"甲厂"_s, 30000, 10000, 100});
    addWeighing(f, {u"京A001"_s, u"煤"_s, u"甲厂"_s, 50000, 10000, 7, QDateTime(Day.addDays(-1), QTime(23, 0))});
}

QStringList column(const SummaryResult& r, const QString& name)
{
    QStringList values;
    const qsizetype c = r.columns.indexOf(name);
    for (const QVariantList& row : r.rows)
        values.append(row.value(c).isNull() ? u"-"_s : row.value(c).toString());
    return values;
}

/** The summary window with its grouping button chosen and "汇总(&T)" pressed. */
void summarise(SummaryWindow& w, const QString& grouping)
{
    for (QRadioButton* radio : w.findChildren<QRadioButton*>())
        if (radio->text() == grouping)
            radio->setChecked(true);
    click(w, u"BitBtn2"_s);
}

bool officeInstalled()
{
    return !LibreOfficeSpreadsheet::officeProgram().isEmpty() && !LibreOfficeSpreadsheet::pythonProgram().isEmpty();
}

QString pdfText(const QString& file)
{
    QProcess p;
    p.start(u"pdftotext"_s, {file, u"-"_s});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestSummary : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_f = std::make_unique<TestFolder>(); }
    void cleanup() { m_f.reset(); }

    void groupingChoicesLeaveOutWeightsNumberAndAmount()
    {
        const QStringList choices = Summary::groupingChoices(RecordLayout::defaultRows(), {u"发货方,品名"_s});
        QCOMPARE(choices, (QStringList{u"车号"_s, u"品名"_s, u"发货方"_s, u"收货方"_s, u"承运方"_s, u"单价"_s,
                                       u"发货方,品名"_s}));
    }

    void groupingTextsAreChecked_data()
    {
        QTest::addColumn<QString>("grouping");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("expected"); // the fields joined by commas, or a part of the message
        QTest::newRow("two fields") << u"发货方,品名"_s << true << u"发货方,品名"_s;
        QTest::newRow("blanks around") << u" 发货方 , 品名"_s << true << u"发货方,品名"_s;
        QTest::newRow("letter case") << u"发货方,PinMing"_s << true << u"发货方,pinming"_s;
        QTest::newRow("trailing comma") << u"发货方,"_s << false << u"空的项目名称"_s;
        QTest::newRow("doubled comma") << u"发货方,,品名"_s << false << u"空的项目名称"_s;
        QTest::newRow("blank") << u"  "_s << false << u"空的项目名称"_s;
        QTest::newRow("unknown") << u"发货方,产地"_s << false << u"“产地”不是称重数据的项目名称"_s;
        QTest::newRow("quote") << u"品名') or 1=1 --"_s << false << u"不是称重数据的项目名称"_s;
        QTest::newRow("Chinese comma") << u"发货方，品名"_s << false << u"不是称重数据的项目名称"_s;
    }
    void groupingTextsAreChecked()
    {
        QFETCH(QString, grouping);
        QFETCH(bool, accepted);
        QFETCH(QString, expected);
        const auto fields = Summary::groupingFields(grouping, {u"发货方"_s, u"品名"_s, u"pinming"_s});
        if (accepted)
            QCOMPARE(std::get<QStringList>(fields).join(u','), expected);
        else
            QVERIFY2(std::get<QString>(fields).contains(expected), qPrintable(std::get<QString>(fields)));
    }

    void threeTrucksGiveThreeGroupsAndTheTotalLast()
    {
        addThreeTrucks(*m_f);
        m_f->clock.current = QDateTime(Day, QTime(17, 0));
        SummaryWindow w(m_f->ctx());
        summarise(w, u"车号"_s);
        const SummaryResult& r = w.result();
        QCOMPARE(r.columns, (QStringList{u"车号"_s, u"皮重"_s, u"毛重"_s, u"净重"_s, u"金额"_s, u"车数"_s}));
        QCOMPARE(column(r, u"车号"_s), (QStringList{u"京A003"_s, u"京A002"_s, u"京A001"_s, u"-"_s}));
        QCOMPARE(column(r, u"车数"_s), (QStringList{u"2"_s, u"2"_s, u"2"_s, u"6"_s}));
        QCOMPARE(column(r, u"净重"_s).last(), u"120000"_s);
        QCOMPARE(column(r, u"金额"_s), (QStringList{u"200"_s, u"200"_s, u"200"_s, u"600"_s}));
        // The grid shows the same rows, centred.
        auto* grid = w.findChild<QTableView*>(u"DBGrid1"_s);
        QCOMPARE(grid->model()->rowCount(), 4);
        QCOMPARE(cell(grid, 3, u"车数"_s), u"6"_s);
        QCOMPARE(grid->model()->index(0, 0).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QVERIFY(m_f->prompter.calls.isEmpty());
    }

    void combinationKeepsTheTotalLastAndAddsOneNullPerField()
    {
        Sql::exec(m_f->dm().weightdatabase(), u"INSERT INTO TotalTab (编号, 汇总项目) VALUES (0, '发货方,品名')"_s);
        addWeighing(*m_f, {u"京A001"_s, u"煤"_s, u"甲厂"_s, 30000, 10000, 0});
        addWeighing(*m_f, {u"京A002"_s, u"砂"_s, u"甲厂"_s, 20000, 10000, 0});
        addWeighing(*m_f, {u"京A003"_s, u"煤"_s, QString(), 25000, 10000, 0}); // no sender: sorts with nulls
        m_f->clock.current = QDateTime(Day, QTime(17, 0));
        SummaryWindow w(m_f->ctx());
        summarise(w, u"发货方,品名"_s);
        const SummaryResult& r = w.result();
        QCOMPARE(r.columns.mid(0, 2), (QStringList{u"发货方"_s, u"品名"_s}));
        QCOMPARE(column(r, u"发货方"_s), (QStringList{u"-"_s, u"甲厂"_s, u"甲厂"_s, u"-"_s}));
        QCOMPARE(column(r, u"品名"_s), (QStringList{u"煤"_s, u"砂"_s, u"煤"_s, u"-"_s}));
        QCOMPARE(column(r, u"车数"_s), (QStringList{u"1"_s, u"1"_s, u"1"_s, u"3"_s}));
    }

    void withoutAnAmountFieldThereIsNoAmountColumn()
    {
        Sql::exec(m_f->dm().weightdatabase(), u"UPDATE structure SET 是否可见 = ? WHERE 项目名称 = '金额'"_s, {false});
        SummaryWindow w(m_f->ctx());
        summarise(w, u"品名"_s);
        QVERIFY(!w.result().columns.contains(u"金额"_s));
        QCOMPARE(w.result().columns.last(), u"车数"_s);
    }

    void anEmptyRangeGivesOneEmptyTotalRow()
    {
        addThreeTrucks(*m_f);
        m_f->clock.current = QDateTime(Day.addDays(5), QTime(8, 0));
        SummaryWindow w(m_f->ctx());
        summarise(w, u"品名"_s);
        const SummaryResult& r = w.result();
        QCOMPARE(r.rows.size(), 1);
        QCOMPARE(column(r, u"净重"_s), QStringList{u"-"_s});
        QCOMPARE(column(r, u"车数"_s), QStringList{u"0"_s});
    }

    void summariseRefusesWithoutAGroupingOrWithABrokenCombination()
    {
        Sql::exec(m_f->dm().weightdatabase(), u"INSERT INTO TotalTab (编号, 汇总项目) VALUES (0, '发货方,')"_s);
        SummaryWindow w(m_f->ctx());
        click(w, u"BitBtn2"_s);
        QCOMPARE(m_f->prompter.lastText(), u"请您选择一个汇总的项目内容"_s);
        QCOMPARE(m_f->prompter.calls.last().title, u"提示！"_s);
        summarise(w, u"发货方,"_s);
        QVERIFY(m_f->prompter.lastText().contains(u"空的项目名称"_s));
        QCOMPARE(m_f->prompter.calls.last().kind, u"information"_s);
        QVERIFY(w.result().rows.isEmpty());
    }

    void rightsGateTheButtonsAndOnlyAdminMayCombine()
    {
        m_f->addUser(u"张三"_s, {u"打印"_s});
        m_f->ctx().login.CurrentOperator = u"张三"_s;
        SummaryWindow user(m_f->ctx());
        QVERIFY(!user.findChild<QPushButton*>(u"BitBtn2"_s)->isEnabled());
        QVERIFY(user.findChild<QPushButton*>(u"BitBtn3"_s)->isEnabled());
        QVERIFY(user.findChild<QPushButton*>(u"BitBtn4"_s)->isHidden());
        QVERIFY(user.actions().isEmpty());
        QVERIFY(user.findChild<QGroupBox*>(u"GroupBox1"_s)->actions().isEmpty());

        m_f->ctx().login.CurrentOperator = u"ADMIN"_s;
        SummaryWindow admin(m_f->ctx());
        QVERIFY(!admin.findChild<QPushButton*>(u"BitBtn4"_s)->isHidden());
        QCOMPARE(admin.findChild<QGroupBox*>(u"GroupBox1"_s)->actions().value(0)->text(),
                 SummaryWindow::NewCombinationItem);
    }

    void gridWidthsAreStoredUnderTheCaption()
    {
        SummaryWindow w(m_f->ctx());
        summarise(w, u"品名"_s);
        auto* grid = w.findChild<QTableView*>(u"DBGrid1"_s);
        QCOMPARE(grid->columnWidth(0), 100);
        grid->setColumnWidth(0, 140);
        grid->findChild<QAction*>(u"N1"_s)->trigger();
        QCOMPARE(IniFile(m_f->dm().iniPath()).readInteger(u"汇总与打印"_s, u"品名"_s, 0), 140);
        SummaryWindow again(m_f->ctx());
        summarise(again, u"品名"_s);
        QCOMPARE(again.findChild<QTableView*>(u"DBGrid1"_s)->columnWidth(0), 140);
    }

    void theChartIsSavedAsAPictureAndPrintedWithTheResult()
    {
        addThreeTrucks(*m_f);
        m_f->clock.current = QDateTime(Day, QTime(17, 0));
        SummaryWindow w(m_f->ctx());
        summarise(w, u"车号"_s);
        const QString picture = m_f->path(u"图表.png"_s);
        const QString pdf = m_f->path(u"汇总.pdf"_s);
        m_f->prompter.texts << picture << pdf;
        w.saveChartPicture();
        QVERIFY(!QImage(picture).isNull());
        if (!QPrinterInfo::defaultPrinterName().isEmpty())
            QSKIP("this machine has a printer; the result would go to it");
        w.printResult();
        // The grid and the chart go onto the page as pictures.
        QFile written(pdf);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QVERIFY(written.read(5) == "%PDF-");
        QVERIFY(written.size() > 10000);
    }

    void combinationsAreNumberedFromZero()
    {
        CombinationWindow w(m_f->ctx());
        m_f->prompter.texts << u"发货方,品名"_s << u"车号,品名"_s << std::nullopt;
        click(w, u"BitBtn1"_s);
        click(w, u"BitBtn1"_s);
        click(w, u"BitBtn1"_s); // cancelled
        QSqlQuery q = Sql::exec(m_f->dm().weightdatabase(), u"SELECT 编号, 汇总项目 FROM TotalTab ORDER BY 编号"_s);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 1);
        QCOMPARE(q.value(1).toString(), u"车号,品名"_s);
        QVERIFY(!q.next());
        QCOMPARE(m_f->prompter.calls.first().title, u"新建组合汇总项目"_s);

        m_f->prompter.answers << false << true;
        click(w, u"BitBtn2"_s);
        QCOMPARE(m_f->count(u"TotalTab"_s), 2);
        click(w, u"BitBtn2"_s);
        QCOMPARE(m_f->count(u"TotalTab"_s), 1);
        QCOMPARE(m_f->prompter.lastText(), u"您确定要删除吗？"_s);
    }

    void exportWritesTheFirstSheetAndPrintsTheSecond()
    {
        addThreeTrucks(*m_f);
        m_f->clock.current = QDateTime(Day, QTime(17, 0));
        const QString book = m_f->path(u"汇总 表.xls"_s);
        m_f->spreadsheet.books[book].cells[{1, 9, 9}] = u"站点填写"_s;
        SummaryWindow w(m_f->ctx());
        summarise(w, u"车号"_s);
        m_f->prompter.texts << book;
        click(w, u"BitBtn3"_s);
        const FakeSpreadsheet::Book& saved = m_f->spreadsheet.books[book];
        QCOMPARE(saved.saves, 1);
        QCOMPARE(saved.cells.value({1, 1, 1}), u"车号"_s);
        QCOMPARE(saved.cells.value({1, 1, 6}), u"车数"_s);
        QCOMPARE(saved.cells.value({1, 2, 1}), u"京A003"_s);
        QCOMPARE(saved.cells.value({1, 5, 1}), QString()); // the total row's empty grouping
        QCOMPARE(saved.cells.value({1, 5, 6}), u"6"_s);
        QCOMPARE(saved.fontSizes.value({1, 5, 6}), 10.0);
        QCOMPARE(saved.cells.value({1, 9, 9}), u"站点填写"_s);
        QCOMPARE(saved.printed.size(), 1);
        QCOMPARE(saved.printed.first().first, 2);
        QCOMPARE(m_f->spreadsheet.released, 1);
        QCOMPARE(m_f->logActions().last(), u"汇总导出"_s);
        QCOMPARE(m_f->prompter.lastText(), u"导出成功!"_s);
    }

    void exportFailuresAreShownAfterTheRelease()
    {
        SummaryWindow w(m_f->ctx());
        m_f->prompter.texts << std::nullopt;
        click(w, u"BitBtn3"_s);
        QCOMPARE(m_f->prompter.lastText(), u"您没有输入文件名称！"_s);
        QCOMPARE(m_f->prompter.calls.last().title, u"提示！"_s);

        const int logged = m_f->count(u"LogTab"_s);
        m_f->spreadsheet.books[u"/a.xls"_s].sheets = 1;
        m_f->prompter.texts << u"/a.xls"_s;
        click(w, u"BitBtn3"_s);
        QCOMPARE(m_f->prompter.calls.last().kind, u"error"_s);
        QVERIFY(m_f->prompter.lastText().contains(u"第二个工作表"_s));
        QCOMPARE(m_f->spreadsheet.books[u"/a.xls"_s].saves, 0);

        m_f->spreadsheet.printFailure = u"没有打印机"_s;
        m_f->prompter.texts << u"/b.xls"_s;
        click(w, u"BitBtn3"_s);
        QCOMPARE(m_f->prompter.lastText(), u"没有打印机"_s);
        QCOMPARE(m_f->spreadsheet.released, 2);
        QCOMPARE(m_f->count(u"LogTab"_s), logged);
    }

    void universalTicketFillsRowTwoAndPrintsTheLayout()
    {
        addWeighing(*m_f, {u"京A001"_s, u"煤"_s, u"甲厂"_s, 30000, 10000.5, 12});
        FakeTicketPrinter quick;
        UniversalTicketPrinter universal(m_f->dm(), m_f->spreadsheet);
        TicketKindPrinter printer(m_f->dm().iniPath(), quick, universal);
        QCOMPARE(universal.PrintTicket(u"1"_s).problem, UniversalTicketPrinter::NotOpenProblem);

        UniversalTicket::openWorkbook(m_f->ctx());
        QCOMPARE(m_f->spreadsheet.opened, QStringList{m_f->path(u"zdy.xls"_s)});
        printer.PrintTicket(u"1"_s);
        QCOMPARE(quick.printed, QStringList{u"1"_s});

        IniFile ini(m_f->dm().iniPath());
        ini.writeBool(u"Print"_s, u"Type"_s, false);
        const TicketResult result = printer.PrintTicket(u"1"_s);
        QVERIFY2(result.printed, qPrintable(result.problem));
        Workbook& book = *m_f->spreadsheet.ticketWorkbook();
        QCOMPARE(book.cellText(1, 1, 1), u"编号"_s);
        QCOMPARE(book.cellText(1, 2, 1), u"1"_s);
        QCOMPARE(book.cellText(1, 1, 2), u"车号"_s);
        QCOMPARE(book.cellText(1, 2, 2), u"京A001"_s);
        QCOMPARE(book.cellText(1, 2, 8), u"10000.50"_s); // 皮重
        QCOMPARE(book.cellText(1, 2, 15), u"2026-05-01 09:00:00"_s); // 毛重时间
        QCOMPARE(quick.printed.size(), 1);
        QCOMPARE(printer.PrintTicket(u"99"_s).printed, false);
    }

    void theWorkbookIsToldOnceAndReleasedForDesign()
    {
        m_f->spreadsheet.openFailure = u"没有电子表格程序"_s;
        UniversalTicket::openWorkbook(m_f->ctx());
        QCOMPARE(m_f->prompter.textsOf(u"information"_s), QStringList{UniversalTicket::OpenFailedMessage});
        QCOMPARE(m_f->prompter.calls.last().title, u"提示!"_s);

        m_f->spreadsheet.openFailure.clear();
        UniversalTicket::openWorkbook(m_f->ctx());
        QVERIFY(m_f->spreadsheet.ticketWorkbook());
        m_f->shell.openSucceeds = false;
        UniversalTicket::design(m_f->ctx());
        QCOMPARE(m_f->logActions().last(), u"修改磅单"_s);
        QVERIFY(!m_f->spreadsheet.ticketWorkbook());
        QCOMPARE(m_f->spreadsheet.released, 1);
        QCOMPARE(m_f->shell.opened, QStringList{m_f->path(u"zdy.xls"_s)});
        const QStringList told = m_f->prompter.textsOf(u"information"_s);
        QCOMPARE(told.at(1), UniversalTicket::DesignMessage);
        QCOMPARE(told.at(2), u"缺少zdy.xls电子表格文件，用户可以在"_s + m_f->folder() + u"目录下自己新建一个zdy.xls文件！"_s);
    }

    void theMainWindowOpensTheWorkbookAtTheSecondTickOnly()
    {
        MainWindow w(m_f->ctx());
        m_f->spreadsheet.openFailure = u"没有电子表格程序"_s;
        w.Timer1Timer();
        QVERIFY(m_f->prompter.calls.isEmpty());
        for (int tick = 2; tick <= 5; ++tick)
            w.Timer1Timer();
        QCOMPARE(m_f->prompter.textsOf(u"information"_s), QStringList{UniversalTicket::OpenFailedMessage});

        MainWindow fresh(m_f->ctx());
        m_f->spreadsheet.openFailure.clear();
        fresh.Timer1Timer();
        fresh.Timer1Timer();
        QVERIFY(m_f->spreadsheet.ticketWorkbook());
        fresh.action(u"N46"_s)->trigger();
        QVERIFY(!m_f->spreadsheet.ticketWorkbook());
        QCOMPARE(m_f->logActions().last(), u"修改磅单"_s);
    }

    // With LibreOffice installed: the real workbook of a new program folder, in a folder named with
    // Chinese characters and blanks.
    void realExportIsReadBackThroughLibreOffice()
    {
        if (!officeInstalled())
            QSKIP("LibreOffice Calc with Python's uno module is not installed");
        addThreeTrucks(*m_f);
        QDir().mkpath(m_f->path(u"站点 报表"_s));
        const QString book = m_f->path(u"站点 报表/月 汇总.xls"_s);
        QVERIFY(QFile::copy(m_f->path(u"zdy.xls"_s), book));
        LibreOfficeSpreadsheet office({});
        SummaryResult result{{u"车号"_s, u"车数"_s}, {{u"京A001"_s, 2}, {QVariant(), 6}}};
        const QString pdf = Summary::exportToWorkbook(office, book, result);
        QVERIFY(QFile::exists(pdf));

        const std::unique_ptr<Workbook> again = office.open(book);
        QCOMPARE(again->sheetCount(), 2);
        QCOMPARE(again->cellText(1, 1, 1), u"车号"_s);
        QCOMPARE(again->cellText(1, 2, 1), u"京A001"_s);
        QCOMPARE(again->cellText(1, 3, 2), u"6"_s);
        QCOMPARE(again->cellText(1, 3, 1), QString());
        QCOMPARE(again->cellText(1, 1, 3), u"品名"_s); // beyond the written area: as the file had it
    }

    void realWorkbookRefusesReadOnlyFilesAndNonWorkbooks()
    {
        if (!officeInstalled())
            QSKIP("LibreOffice Calc with Python's uno module is not installed");
        LibreOfficeSpreadsheet office({});
        const QString book = m_f->path(u"只读.xls"_s);
        QVERIFY(QFile::copy(m_f->path(u"zdy.xls"_s), book));
        QFile::setPermissions(book, QFile::ReadOwner | QFile::ReadGroup);
        // Open in an office program elsewhere: its lock file sits beside the workbook (this also holds
        // where read-only permissions do not bind, as for root).
        QFile lock(m_f->path(u".~lock.只读.xls#"_s));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(",其他用户,other-pc,01.05.2026 08:00,file:///home/other/.config/libreoffice/4;");
        lock.close();
        const QByteArray before = [&] { QFile f(book); f.open(QIODevice::ReadOnly); return f.readAll(); }();
        const SummaryResult result{{u"车号"_s}, {{u"京A001"_s}}};
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, Summary::exportToWorkbook(office, book, result));
        QFile after(book);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);

        QFile text(m_f->path(u"说明.txt"_s));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a workbook\n");
        text.close();
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, office.open(text.fileName()));
        QVERIFY_THROWS_EXCEPTION(SpreadsheetError, office.open(m_f->path(u"没有.xls"_s)));
    }

    void realUniversalTicketPrintsTheSecondSheet()
    {
        if (!officeInstalled())
            QSKIP("LibreOffice Calc with Python's uno module is not installed");
        addWeighing(*m_f, {u"京A777"_s, u"煤"_s, u"甲厂"_s, 30000, 10000, 12});
        LibreOfficeSpreadsheet office({});
        m_f->spreadsheet.holdTicketWorkbook(office.open(m_f->path(u"zdy.xls"_s)));
        const TicketResult result = UniversalTicketPrinter(m_f->dm(), m_f->spreadsheet).PrintTicket(u"1"_s);
        QVERIFY2(result.printed, qPrintable(result.problem));
        QVERIFY(result.destination.endsWith(u".pdf"_s));
        const QString text = pdfText(result.destination);
        QVERIFY2(text.contains(u"称重计量单"_s) && text.contains(u"京A777"_s) && text.contains(u"20000.00"_s),
                 qPrintable(text));
        m_f->spreadsheet.releaseTicketWorkbook();
    }

private:
    std::unique_ptr<TestFolder> m_f;
};

QTEST_MAIN(TestSummary)
#include "tst_summary.moc"
