#include "Fakes.h"
#include "reports/Report.h"
#include "reports/ReportPreview.h"
#include "reports/ReportRenderer.h"
#include "reports/Tickets.h"
#include "reports/Fr3File.h"

#include <QAction>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlField>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

/** The shipped record report over `count` records. */
PreparedReport recordReport(int count)
{
    Report report;
    const QString shipped = QStringLiteral(WEIGHT_SOURCE_DIR "/resources/磅单/weight.fr3");
    if (!report.load(shipped))
        qFatal("%s", qPrintable(report.problem()));
    QList<QSqlRecord> rows;
    for (int i = 1; i <= count; ++i) {
        QSqlRecord r;
        for (const auto& [name, value] : QList<QPair<QString, QVariant>>{
                 {u"编号"_s, i}, {u"车号"_s, u"苏A%1"_s.arg(10000 + i)}, {u"品名"_s, u"黄沙"_s},
                 {u"发货方"_s, u"江阴港务公司"_s}, {u"收货方"_s, u"无锡建材公司"_s}, {u"毛重"_s, 32500.0},
                 {u"皮重"_s, 12500.0}, {u"净重"_s, 20000.0}, {u"毛重时间"_s, u"2026-12-11 08:30:15"_s},
                 {u"皮重时间"_s, u"2026-12-11 07:55:10"_s}, {u"毛重操作人"_s, u"李四"_s}}) {
            QSqlField field(name, value.metaType());
            field.setValue(value);
            r.append(field);
        }
        rows.append(r);
    }
    report.setRows(rows);
    report.setVariables(Report::recordReportVariables(u"**集团公司"_s, u"季度月报表"_s, u"皮重：%1千克"_s.arg(12500 * count),
                                                      u"毛重：…"_s, u"净重：…"_s, u"车数：%1次"_s.arg(count)));
    return report.prepare();
}

void trigger(QWidget& w, const QString& action)
{
    QAction* a = w.findChild<QAction*>(action);
    QVERIFY2(a, qPrintable(action));
    a->trigger();
}

} // namespace

/** The preview window as an operator uses it. */
class PreviewTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void navigatesFindsPrintsAndExports();
};

void PreviewTest::navigatesFindsPrintsAndExports()
{
    const PreparedReport report = recordReport(80);
    QVERIFY2(report.warnings.isEmpty(), qPrintable(report.warnings.join(u'\n')));
    const int pages = int(report.pages.size());
    QVERIFY(pages >= 3);
    FakePrompter prompter;
    ReportPreviewWindow w(report, prompter);
    w.show();
    QVERIFY(!w.findChild<QLabel*>(u"WarningL"_s));
    QLabel* page = w.findChild<QLabel*>(u"PageE"_s);
    QCOMPARE(page->text(), u"1 / %1"_s.arg(pages));
    trigger(w, u"NextB"_s);
    QCOMPARE(page->text(), u"2 / %1"_s.arg(pages));
    trigger(w, u"LastB"_s);
    QCOMPARE(page->text(), u"%1 / %1"_s.arg(pages));
    trigger(w, u"NextB"_s);
    QCOMPARE(w.pane().page(), pages - 1);

    // Find goes to the page holding the text; an absent text is told.
    QLineEdit* find = w.findChild<QLineEdit*>(u"FindE"_s);
    find->setText(u"苏A10002"_s);
    trigger(w, u"FindB"_s);
    QCOMPARE(w.pane().page(), 0);
    find->setText(u"苏A10080"_s);
    trigger(w, u"FindB"_s);
    QCOMPARE(w.pane().page(), pages - 1);
    find->setText(u"没有的车号"_s);
    trigger(w, u"FindB"_s);
    QCOMPARE(prompter.textsOf(u"information"_s), QStringList{u"没有找到“没有的车号”"_s});

    w.findChild<QComboBox*>(u"ZoomCB"_s)->setCurrentText(u"200%"_s);
    QCOMPARE(w.pane().zoom(), 2.0);
    w.findChild<QComboBox*>(u"ZoomCB"_s)->setCurrentText(u"100%"_s);

    // Print: the hook fires once per print that went out, not for a failed one.
    QTemporaryDir dir;
    QSignalSpy printed(&w, &ReportPreviewWindow::printed);
    w.setPrintFunction([&](const PreparedReport& r) { return ReportRenderer::writePdf(r, dir.filePath(u"p.pdf"_s)); });
    trigger(w, u"PrintB"_s);
    QCOMPARE(printed.size(), 1);
    w.setPrintFunction([](const PreparedReport&) { return std::optional<QString>(u"打印机没有纸"_s); });
    trigger(w, u"PrintB"_s);
    QCOMPARE(printed.size(), 1);
    QCOMPARE(prompter.textsOf(u"error"_s), QStringList{u"打印机没有纸"_s});

    prompter.texts.enqueue(dir.filePath(u"报表"_s));
    trigger(w, u"PdfB"_s);
    QProcess pdfinfo;
    pdfinfo.start(u"pdfinfo"_s, {dir.filePath(u"报表.pdf"_s)});
    pdfinfo.waitForFinished(30000);
    QVERIFY(QString::fromUtf8(pdfinfo.readAllStandardOutput()).contains(u"Pages:           %1"_s.arg(pages)));
    prompter.texts.enqueue(dir.filePath(u"报表.png"_s));
    trigger(w, u"PngB"_s);
    QVERIFY(!QImage(dir.filePath(u"报表.png"_s)).isNull());
    QVERIFY(!QImage(dir.filePath(u"报表_%1.png"_s.arg(pages))).isNull());
    prompter.texts.enqueue(dir.filePath(u"第一页.jpg"_s));
    trigger(w, u"PngB"_s);
    QCOMPARE(QImageReader(dir.filePath(u"第一页.jpg"_s)).format(), QByteArray("jpeg"));

    // A template's problems show above the pages.
    PreparedReport broken = report;
    broken.warnings = {u"模板引用的字段“磅号”不存在"_s};
    ReportPreviewWindow warned(broken, prompter);
    QCOMPARE(warned.findChild<QLabel*>(u"WarningL"_s)->text(), broken.warnings[0]);

    if (const QByteArray shot = qgetenv("WEIGHT_SCREENSHOTS"); !shot.isEmpty()) {
        w.resize(1100, 800);
        w.pane().setPage(0);
        w.grab().save(QString::fromLocal8Bit(shot) + u"/preview.png"_s);
    }
}

QTEST_MAIN(PreviewTest)
#include "tst_preview.moc"
