#include "reports/Expressions.h"
#include "reports/Fr3File.h"
#include "reports/Report.h"
#include "reports/ReportRenderer.h"

#include <QProcess>
#include <QSqlField>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray templateWith(const QByteArray& bandContent, const QByteArray& reportAttributes = {},
                        const QByteArray& pageAttributes = R"(PaperWidth="100" PaperHeight="50")")
{
    return R"(<?xml version="1.0" encoding="utf-8"?><TfrxReport Version="4.9" )" + reportAttributes +
           R"(><TfrxDataPage Name="Data"/><TfrxReportPage Name="Page1" )" + pageAttributes +
           R"(><TfrxMasterData Name="MasterData1" Height="100" Left="0" Top="0" Width="300" DataSet="frxDBDataset1" DataSetName="frxDBDataset1">)" +
           bandContent + "</TfrxMasterData></TfrxReportPage></TfrxReport>";
}

QSqlRecord record(const QList<QPair<QString, QVariant>>& values)
{
    QSqlRecord r;
    for (const auto& [name, value] : values) {
        QSqlField field(name, value.metaType());
        field.setValue(value);
        r.append(field);
    }
    return r;
}

QList<QSqlRecord> weighing()
{
    return {record({{u"编号"_s, 7},
                    {u"车号"_s, u"苏A12345"_s},
                    {u"毛重"_s, 32500.0},
                    {u"皮重"_s, 12500.0},
                    {u"净重"_s, 19970.5},
                    {u"金额"_s, 1234.5},
                    {u"毛重时间"_s, u"2026-12-11 08:30:15"_s},
                    {u"扣杂方式"_s, u"净重折扣[-30][皮->毛]"_s},
                    {u"备注"_s, u"含\"引号\"与'单引号' mixed 文字"_s}})};
}

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class ReportEngineTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEachObjectKind_data();
    void readsEachObjectKind();
    void refusesWhatIsNoTemplate_data();
    void refusesWhatIsNoTemplate();
    void namesUnsupportedContentOnce();
    void writesWhatItReads();
    void evaluatesExpressions_data();
    void evaluatesExpressions();
    void writesChineseAmounts_data();
    void writesChineseAmounts();
    void recordReportPagesWithTotals();
    void missingTemplateGivesEmptyReport();
    void printsSiteFileOfOriginalEngine();
};

void ReportEngineTest::readsEachObjectKind_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("left");
    QTest::addColumn<QString>("text");

    QTest::newRow("memo Text") << QByteArray(R"(<TfrxMemoView Name="M" Left="37.7953" Top="1" Width="100" Height="20" Font.Height="-16" Font.Style="1" Frame.Typ="15" HAlign="haCenter" Text="[frxDBDataset1.&#34;车号&#34;]"/>)")
                               << int(ObjectKind::Memo) << 37.7953 << u"[frxDBDataset1.\"车号\"]"_s;
    QTest::newRow("memo Memo.UTF8W, comma decimals") << QByteArray(R"(<TfrxMemoView Name="M" Left="18,89765" Top="0" Width="10" Height="10" Memo.UTF8W="毛重&#13;&#10;净重"/>)")
                                                     << int(ObjectKind::Memo) << 18.89765 << u"毛重\r\n净重"_s;
    // Older files: the UTF-8 bytes of 车号, one character each.
    QTest::newRow("memo Memo.UTF8") << QByteArray(R"(<TfrxMemoView Name="M" Left="0" Top="0" Width="10" Height="10" Memo.UTF8="&#232;&#189;&#166;&#229;&#143;&#183;"/>)")
                                    << int(ObjectKind::Memo) << 0.0 << u"车号"_s;
    QTest::newRow("line") << QByteArray(R"(<TfrxLineView Name="L" Left="5" Top="0" Width="200" Height="0" Frame.Width="2"/>)")
                          << int(ObjectKind::Line) << 5.0 << QString();
    QTest::newRow("shape") << QByteArray(R"(<TfrxShapeView Name="S" Left="6" Top="0" Width="20" Height="20" Shape="skEllipse"/>)")
                           << int(ObjectKind::Shape) << 6.0 << QString();
    QTest::newRow("picture") << QByteArray(R"(<TfrxPictureView Name="P" Left="7" Top="0" Width="20" Height="20" FileLink="Picture\logo.png"/>)")
                             << int(ObjectKind::Picture) << 7.0 << QString();
    QTest::newRow("barcode") << QByteArray(R"(<TfrxBarCodeView Name="B" Left="8" Top="0" Width="120" Height="40" BarType="bcCode128" Expression="&#60;frxDBDataset1.&#34;编号&#34;&#62;" Text="12345678"/>)")
                             << int(ObjectKind::Barcode) << 8.0 << u"12345678"_s;
    QTest::newRow("qr code") << QByteArray(R"(<TfrxBarcode2DView Name="Q" Left="9" Top="0" Width="60" Height="60" BarType="bcCodeQR" Text="苏A12345"/>)")
                             << int(ObjectKind::QrCode) << 9.0 << u"苏A12345"_s;
}

void ReportEngineTest::readsEachObjectKind()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, kind);
    QFETCH(double, left);
    QFETCH(QString, text);
    const Fr3File::Loaded loaded = Fr3File::parse(templateWith(xml), u"t.fr3"_s);
    QVERIFY2(loaded.report, qPrintable(loaded.problem));
    QVERIFY2(loaded.unsupported.isEmpty(), qPrintable(loaded.unsupported.join(u',')));
    const QList<ReportObject>& objects = loaded.report->page.bands.value(0).objects;
    QCOMPARE(objects.size(), 1);
    QCOMPARE(int(objects[0].kind), kind);
    QCOMPARE(objects[0].left, left);
    QCOMPARE(objects[0].text, text);
}

void ReportEngineTest::refusesWhatIsNoTemplate_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    QTest::newRow("not XML") << QByteArray("PK\x03\x04 a zip file") << u"不是有效的报表模板"_s;
    QTest::newRow("empty") << QByteArray() << u"不是有效的报表模板"_s;
    QTest::newRow("other XML") << QByteArray("<html><body/></html>") << u"不是报表模板"_s;
    QTest::newRow("cut short") << templateWith("<TfrxMemoView Name=\"M\"").left(200) << u"不是有效的报表模板"_s;
}

void ReportEngineTest::refusesWhatIsNoTemplate()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    const Fr3File::Loaded loaded = Fr3File::parse(content, u"坏磅单.fr3"_s);
    QVERIFY(!loaded.report);
    QVERIFY2(loaded.problem.contains(problem) && loaded.problem.contains(u"坏磅单.fr3"_s), qPrintable(loaded.problem));
}

void ReportEngineTest::namesUnsupportedContentOnce()
{
    const QByteArray xml = templateWith(
        R"(<TfrxMemoView Name="M" Left="0" Top="0" Width="50" Height="20" Text="[frxDBDataset1.&#34;车号&#34;]"/><TfrxChartView Name="Chart1" Left="0" Top="0" Width="5" Height="5"/>)",
        R"(ScriptText.Text="begin&#13;&#10;  ShowMessage('x');&#13;&#10;end.")");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.fr3"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(xml);
    file.close();

    Report report;
    QVERIFY(report.load(path));
    QCOMPARE(report.unsupported(), (QStringList{u"脚本"_s, u"TfrxChartView Chart1"_s}));
    report.setRows(weighing());
    const PreparedReport prepared = report.prepare();
    QCOMPARE(prepared.warnings.size(), 1);
    QVERIFY(prepared.warnings[0].contains(u"TfrxChartView Chart1"_s));
    // The rest still prints.
    QCOMPARE(prepared.pages.value(0).objects.value(0).object.text, u"苏A12345"_s);
}

void ReportEngineTest::writesWhatItReads()
{
    const QByteArray xml = templateWith(
        R"(<TfrxMemoView Name="M" Left="10,5" Top="2" Width="100" Height="20" Font.Name="黑体" Font.Height="-20" Font.Style="3" Font.Color="255" Frame.Typ="9" Frame.Width="2" Color="16777215" HAlign="haRight" VAlign="vaCenter" WordWrap="False" DisplayFormat.FormatStr="%2.2f" DisplayFormat.Kind="fkNumeric" Tag="5" Text="[frxDBDataset1.&#34;净重&#34;]"/>)"
        R"(<TfrxBarcode2DView Name="Q" Left="9" Top="0" Width="60" Height="60" BarType="bcCodeQR" Expression="&#60;frxDBDataset1.&#34;车号&#34;&#62;"/>)",
        R"(PrintOptions.Printer="票据打印机")", R"(PaperWidth="241" PaperHeight="93,1" PaperSize="256" Orientation="poLandscape" LeftMargin="5")");
    const Fr3File::Loaded first = Fr3File::parse(xml, u"a.fr3"_s);
    QVERIFY(first.report);
    const Fr3File::Loaded second = Fr3File::parse(Fr3File::serialize(*first.report), u"b.fr3"_s);
    QVERIFY2(second.report, qPrintable(second.problem));
    const ReportTemplate& a = *first.report;
    const ReportTemplate& b = *second.report;
    QCOMPARE(b.printerName, u"票据打印机"_s);
    QCOMPARE(b.page.paperHeight, 93.1);
    QCOMPARE(b.page.landscape, true);
    QCOMPARE(b.page.leftMargin, 5.0);
    const ReportObject& m = b.page.bands[0].objects[0];
    const ReportObject& original = a.page.bands[0].objects[0];
    QCOMPARE(m.left, 10.5);
    QCOMPARE(m.font.name, u"黑体"_s);
    QCOMPARE(m.font.pixelHeight, 20.0);
    QVERIFY(m.font.bold && m.font.italic);
    QCOMPARE(m.font.color, QColor(255, 0, 0));
    QCOMPARE(m.frameSides, FrameSide::Left | FrameSide::Bottom);
    QCOMPARE(m.hAlign, HAlign::Right);
    QCOMPARE(m.vAlign, VAlign::Center);
    QCOMPARE(m.wordWrap, false);
    QCOMPARE(m.displayFormat.format, u"%2.2f"_s);
    QCOMPARE(m.text, original.text);
    QCOMPARE(m.extra, original.extra);
    QCOMPARE(b.page.bands[0].objects[1].expression, u"<frxDBDataset1.\"车号\">"_s);
}

void ReportEngineTest::evaluatesExpressions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expected");
    QTest::newRow("field") << u"车号：[frxDBDataset1.\"车号\"]"_s << QString() << u"车号：苏A12345"_s;
    QTest::newRow("field in angle brackets") << u"[<frxDBDataset1.\"编号\">]"_s << QString() << u"7"_s;
    QTest::newRow("fixed decimals") << u"[frxDBDataset1.\"净重\"] kg"_s << u"%2.2f"_s << u"19970.50 kg"_s;
    QTest::newRow("thousands") << u"[frxDBDataset1.\"净重\"]"_s << u"%2.1n"_s << u"19,970.5"_s;
    QTest::newRow("arithmetic") << u"[(frxDBDataset1.\"毛重\" - frxDBDataset1.\"皮重\") / 1000]"_s << QString() << u"20"_s;
    QTest::newRow("FormatFloat") << u"[FormatFloat('0.000', frxDBDataset1.\"净重\" / 1000)] t"_s << QString() << u"19.971 t"_s;
    QTest::newRow("zero padded") << u"[FormatFloat('00000000', frxDBDataset1.\"编号\")]"_s << QString() << u"00000007"_s;
    QTest::newRow("date format") << u"[FormatDateTime('yyyy年mm月dd日 hh:nn', frxDBDataset1.\"毛重时间\")]"_s << QString()
                                 << u"2026年12月11日 08:30"_s;
    QTest::newRow("capital amount") << u"[ChineseAmount(frxDBDataset1.\"金额\")]"_s << QString() << u"壹仟贰佰叁拾肆元伍角整"_s;
    QTest::newRow("deduction for people") << u"[DeductionText(frxDBDataset1.\"扣杂方式\")]"_s << QString()
                                          << u"净重折扣 -30"_s;
    QTest::newRow("variables any case") << u"[Title1]/[PZ]"_s << QString() << u"**集团公司/皮重：45000.0千克"_s;
    QTest::newRow("Date and page") << u"[Date] [Time] 第[Page#]页"_s << QString() << u"2026-12-11 09:00:05 第1页"_s;
    QTest::newRow("quotes and mixed text as stored") << u"[frxDBDataset1.\"备注\"]"_s << QString()
                                                     << u"含\"引号\"与'单引号' mixed 文字"_s;
    QTest::newRow("text concatenation") << u"[frxDBDataset1.\"车号\" + '号车']"_s << QString() << u"苏A12345号车"_s;
    QTest::newRow("unknown column prints empty") << u"<[frxDBDataset1.\"没有\"]>"_s << QString() << u"<>"_s;
    QTest::newRow("broken expression prints empty") << u"a[SUM(]b"_s << QString() << u"ab"_s;
    QTest::newRow("unknown function") << u"a[Foo(1)]b"_s << QString() << u"ab"_s;
}

void ReportEngineTest::evaluatesExpressions()
{
    QFETCH(QString, text);
    QFETCH(QString, format);
    QFETCH(QString, expected);
    const QList<QSqlRecord> rows = weighing();
    QStringList warnings;
    ExpressionScope scope;
    scope.rows = &rows;
    scope.row = 0;
    scope.last = 1;
    scope.now = QDateTime(QDate(2026, 12, 11), QTime(9, 0, 5));
    scope.warnings = &warnings;
    scope.variables = Report::recordReportVariables(u"**集团公司"_s, u"月报"_s, u"皮重：45000.0千克"_s, {}, {}, {});
    const DisplayFormat display{format.isEmpty() ? FormatKind::Text : FormatKind::Numeric, format};
    QCOMPARE(Expressions::expand(text, display, scope, u"Memo1"_s), expected);
    if (QTest::currentDataTag() == u"unknown column prints empty"_s)
        QCOMPARE(warnings, QStringList{u"模板引用的字段“没有”不存在"_s});
    if (QString(QTest::currentDataTag()).contains(u"broken"_s) || QString(QTest::currentDataTag()).contains(u"function"_s)) {
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith(u"Memo1的表达式"_s), qPrintable(warnings[0]));
    }
}

void ReportEngineTest::writesChineseAmounts_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0") << 0.0 << u"零元整"_s;
    QTest::newRow("0.05") << 0.05 << u"伍分"_s;
    QTest::newRow("10.10") << 10.10 << u"壹拾元壹角整"_s;
    QTest::newRow("1234.50") << 1234.50 << u"壹仟贰佰叁拾肆元伍角整"_s;
    QTest::newRow("100000000") << 100000000.0 << u"壹亿元整"_s;
    QTest::newRow("1005.05") << 1005.05 << u"壹仟零伍元零伍分"_s;
    QTest::newRow("100500") << 100500.0 << u"壹拾万零伍佰元整"_s;
    QTest::newRow("100000001") << 100000001.0 << u"壹亿零壹元整"_s;
    QTest::newRow("710.009 rounds to the fen") << 710.009 << u"柒佰壹拾元零壹分"_s;
    QTest::newRow("negative") << -3.2 << u"负叁元贰角整"_s;
}

void ReportEngineTest::writesChineseAmounts()
{
    QFETCH(double, amount);
    QFETCH(QString, expected);
    QCOMPARE(Expressions::chineseAmount(amount), expected);
}

void ReportEngineTest::recordReportPagesWithTotals()
{
    // Title, a header on every page, a row per record, a footer with the page number, the totals.
    const QByteArray xml = R"(<?xml version="1.0" encoding="utf-8"?><TfrxReport><TfrxReportPage PaperWidth="210" PaperHeight="100" TopMargin="10" BottomMargin="10">
<TfrxReportTitle Name="T" Height="37.7953"><TfrxMemoView Name="Title" Left="0" Top="0" Width="500" Height="30" Text="[Title1]"/></TfrxReportTitle>
<TfrxPageHeader Name="H" Height="18.89765"><TfrxMemoView Name="Head" Left="0" Top="0" Width="300" Height="18" Text="车号 净重"/></TfrxPageHeader>
<TfrxMasterData Name="MasterData1" Height="18.89765" DataSet="frxDBDataset1"><TfrxMemoView Name="Row" Left="0" Top="0" Width="400" Height="18" Text="[Line#]:[frxDBDataset1.&#34;车号&#34;]"/></TfrxMasterData>
<TfrxPageFooter Name="F" Height="18.89765"><TfrxMemoView Name="Pg" Left="0" Top="0" Width="300" Height="18" Text="第[Page#]页/共[TotalPages#]页 本页[COUNT(MasterData1)]车"/></TfrxPageFooter>
<TfrxReportSummary Name="S" Height="18.89765"><TfrxMemoView Name="Sum" Left="0" Top="0" Width="600" Height="18" Text="[jz] 合计[SUM(&#60;frxDBDataset1.&#34;净重&#34;&#62;,MasterData1)]"/></TfrxReportSummary>
</TfrxReportPage></TfrxReport>)";
    QList<QSqlRecord> rows;
    for (int i = 1; i <= 25; ++i)
        rows.append(record({{u"车号"_s, u"车%1"_s.arg(i)}, {u"净重"_s, double(i)}}));
    const auto loaded = Fr3File::parse(xml, u"weight.fr3"_s);
    QVERIFY2(loaded.report, qPrintable(loaded.problem));
    Report report;
    report.setTemplate(*loaded.report);
    report.setRows(rows);
    report.setVariables(Report::recordReportVariables(u"**集团公司"_s, u"季度月报表"_s, {}, {}, u"净重：325.0千克"_s, {}));
    const PreparedReport prepared = report.prepare();
    QVERIFY2(prepared.warnings.isEmpty(), qPrintable(prepared.warnings.join(u'\n')));
    // 80 mm of content: title 10 mm, header 5 mm and footer 5 mm leave 12 rows on the first page, 14 after.
    QCOMPARE(prepared.pages.size(), 2);
    QStringList texts;
    for (const PreparedPage& page : prepared.pages)
        for (const PreparedObject& o : page.objects)
            texts.append(o.object.text);
    QVERIFY(texts.contains(u"1:车1"_s));
    QVERIFY(texts.contains(u"25:车25"_s));
    QVERIFY(texts.contains(u"第1页/共2页 本页12车"_s));
    QVERIFY(texts.contains(u"第2页/共2页 本页13车"_s));
    QVERIFY(texts.contains(u"净重：325.0千克 合计325"_s));
    QCOMPARE(texts.count(u"车号 净重"_s), 2);

    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(u"r.pdf"_s);
    QVERIFY(!ReportRenderer::writePdf(prepared, pdf));
    const QString text = pdfText(pdf);
    QVERIFY2(text.contains(u"**集团公司"_s) && text.contains(u"25:车25"_s) && text.contains(u"第2页/共2页"_s),
             qPrintable(text));
}

void ReportEngineTest::missingTemplateGivesEmptyReport()
{
    Report report;
    QVERIFY(!report.load(u"/nonexistent/磅单/H标准磅单.fr3"_s));
    QVERIFY(report.problem().contains(u"H标准磅单.fr3"_s));
    const PreparedReport prepared = report.prepare();
    QCOMPARE(prepared.pages.size(), 1);
    QVERIFY(prepared.pages[0].objects.isEmpty());
}

void ReportEngineTest::printsSiteFileOfOriginalEngine()
{
    // Saved under a locale with decimal commas, an older text attribute, a header on each page, a
    // footer after the rows, a system memo and one object this engine does not draw.
    Report report;
    QVERIFY2(report.load(QStringLiteral(WEIGHT_TEST_DATA "/site-report.fr3")), qPrintable(report.problem()));
    QCOMPARE(report.unsupported(), QStringList{u"TfrxCheckBoxView CheckBox1"_s});
    QList<QSqlRecord> rows;
    for (int i = 1; i <= 20; ++i)
        rows.append(record({{u"车号"_s, u"苏E%1"_s.arg(i)}, {u"净重"_s, 1000.5 * i}}));
    report.setRows(rows);
    const PreparedReport prepared = report.prepare();
    QCOMPARE(prepared.warnings.size(), 1);
    QVERIFY(prepared.pages.size() >= 2);
    QStringList first;
    QStringList last;
    for (const PreparedObject& o : prepared.pages.first().objects)
        first.append(o.object.text);
    for (const PreparedObject& o : prepared.pages.last().objects)
        last.append(o.object.text);
    QVERIFY(first.contains(u"称重明细"_s));
    QVERIFY(first.contains(u"1,000.50"_s));
    QCOMPARE(last.count(u"车号"_s), 1); // the header again on the following page
    QVERIFY2(last.contains(u"合计：210105 共20车"_s), qPrintable(last.join(u'|')));
    QVERIFY(last.contains(u"第 %1 页 / 共 %1 页"_s.arg(prepared.pages.size())));
}

QTEST_MAIN(ReportEngineTest)
#include "tst_reportengine.moc"
