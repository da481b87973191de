#include "Fakes.h"
#include "reports/Fr3File.h"
#include "reports/ReportDesign.h"
#include "reports/ReportDesignerWindow.h"

#include <QAction>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QListWidget>
#include <QSqlField>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

ReportTemplate oneBand()
{
    ReportTemplate t;
    t.page.paperWidth = 100;
    t.page.paperHeight = 60;
    t.page.leftMargin = t.page.rightMargin = 10;
    ReportBand band;
    band.kind = BandKind::MasterData;
    band.name = u"MasterData1"_s;
    band.dataSet = u"frxDBDataset1"_s;
    band.height = 100;
    t.page.bands = {band};
    return t;
}

} // namespace

/** The designer's edits, its limits, undo and redo, and what it saves. */
class ReportDesignTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTripKeepsWhatWasPlaced();
    void undoAndRedoAMove();
    void keepsObjectsOnThePage_data();
    void keepsObjectsOnThePage();
    void bandsInTheEnginesOrder();
    void windowMovesWithArrowsAndSaves();
};

void ReportDesignTest::roundTripKeepsWhatWasPlaced()
{
    ReportDesign d(oneBand());
    const ObjectRef memo = d.addObject(0, ObjectKind::Memo, {10, 5}, u"[frxDBDataset1.\"车号\"]"_s);
    const ObjectRef qr = d.addObject(0, ObjectKind::QrCode, {200, 10});
    d.moveObjects({memo}, 20.5, 3);
    d.resizeObject(memo, 120, 30);
    ReportObject changed = d.object(memo);
    changed.font.bold = true;
    changed.frameSides = FrameSide::All;
    changed.hAlign = HAlign::Center;
    changed.displayFormat = {FormatKind::Numeric, u"%2.2f"_s};
    d.setObject(memo, changed);

    QTemporaryDir dir;
    const QString file = dir.filePath(u"t.fr3"_s);
    QVERIFY(!Fr3File::write(d.layout(), file));
    const Fr3File::Loaded back = Fr3File::read(file);
    QVERIFY2(back.report, qPrintable(back.problem));
    const QList<ReportObject>& objects = back.report->page.bands[0].objects;
    QCOMPARE(objects.size(), 2);
    QCOMPARE(objects[0].name, u"Memo1"_s);
    QCOMPARE(objects[0].left, 30.5);
    QCOMPARE(objects[0].top, 8.0);
    QCOMPARE(objects[0].width, 120.0);
    QCOMPARE(objects[0].height, 30.0);
    QCOMPARE(objects[0].text, u"[frxDBDataset1.\"车号\"]"_s);
    QVERIFY(objects[0].font.bold);
    QCOMPARE(objects[0].frameSides, FrameSide::All);
    QCOMPARE(objects[0].hAlign, HAlign::Center);
    QCOMPARE(objects[0].displayFormat.format, u"%2.2f"_s);
    QCOMPARE(int(objects[1].kind), int(ObjectKind::QrCode));
    QCOMPARE(objects[1].left, d.object(qr).left);
    QCOMPARE(objects[1].barType, u"bcCodeQR"_s);
    QCOMPARE(Fr3File::serialize(*back.report), Fr3File::serialize(d.layout()));
}

void ReportDesignTest::undoAndRedoAMove()
{
    ReportDesign d(oneBand());
    const ObjectRef memo = d.addObject(0, ObjectKind::Memo, {10, 5}, u"a"_s);
    d.moveObjects({memo}, 30, 10);
    QCOMPARE(d.object(memo).left, 40.0);
    d.undo();
    QCOMPARE(d.object(memo).left, 10.0);
    QVERIFY(d.canRedo());
    d.redo();
    QCOMPARE(d.object(memo).top, 15.0);
    d.undo();
    d.undo();
    QVERIFY(d.layout().page.bands[0].objects.isEmpty());
    QVERIFY(!d.canUndo());
    // A new edit drops what could be redone.
    d.addBand(BandKind::ReportTitle);
    QVERIFY(!d.canRedo());
}

void ReportDesignTest::keepsObjectsOnThePage_data()
{
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QRectF>("expected");
    // Content: 80 mm = 302.36 units wide; the band is 100 units high.
    QTest::newRow("dragged off to the right and down") << 5000.0 << 900.0 << 50.0 << 20.0
                                                       << QRectF(302.3622 - 50, 80, 50, 20);
    QTest::newRow("dragged off to the left and up") << -500.0 << -500.0 << 50.0 << 20.0 << QRectF(0, 0, 50, 20);
    QTest::newRow("zero size") << 0.0 << 0.0 << 0.0 << 0.0 << QRectF(10, 5, 1, 1);
    QTest::newRow("negative size") << 0.0 << 0.0 << -40.0 << -3.0 << QRectF(10, 5, 1, 1);
    QTest::newRow("larger than the band") << 0.0 << 0.0 << 1000.0 << 1000.0 << QRectF(0, 0, 302.3622, 100);
}

void ReportDesignTest::keepsObjectsOnThePage()
{
    QFETCH(double, dx);
    QFETCH(double, dy);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QRectF, expected);
    ReportDesign d(oneBand());
    const ObjectRef memo = d.addObject(0, ObjectKind::Memo, {10, 5}, u"a"_s);
    d.resizeObject(memo, width, height);
    d.moveObjects({memo}, dx, dy);
    const ReportObject& o = d.object(memo);
    QVERIFY2(qAbs(o.left - expected.x()) < 0.01 && qAbs(o.top - expected.y()) < 0.01
                 && qAbs(o.width - expected.width()) < 0.01 && qAbs(o.height - expected.height()) < 0.01,
             qPrintable(u"%1,%2 %3×%4"_s.arg(o.left).arg(o.top).arg(o.width).arg(o.height)));
    // Whatever happened, the file written opens again.
    QVERIFY(Fr3File::parse(Fr3File::serialize(d.layout()), u"t.fr3"_s).report);
}

void ReportDesignTest::bandsInTheEnginesOrder()
{
    ReportDesign d(oneBand());
    d.addBand(BandKind::ReportSummary);
    d.addBand(BandKind::ReportTitle);
    QCOMPARE(d.addBand(BandKind::MasterData), 1); // there is one already
    QList<BandKind> kinds;
    for (const ReportBand& b : d.layout().page.bands)
        kinds.append(b.kind);
    QCOMPARE(kinds, (QList<BandKind>{BandKind::ReportTitle, BandKind::MasterData, BandKind::ReportSummary}));
    const ObjectRef memo = d.addObject(1, ObjectKind::Memo, {0, 60}, u"x"_s);
    d.resizeBand(1, 10);
    // A band never cuts its objects off.
    QCOMPARE(d.layout().page.bands[1].height, d.object(memo).top + d.object(memo).height);
    d.removeBand(0);
    QCOMPARE(d.layout().page.bands.size(), 2);
}

void ReportDesignTest::windowMovesWithArrowsAndSaves()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"票.fr3"_s);
    QVERIFY(!Fr3File::write(oneBand(), file));
    QSqlRecord row;
    QSqlField plate(u"车号"_s, QMetaType(QMetaType::QString));
    plate.setValue(u"苏A1"_s);
    row.append(plate);
    FakePrompter prompter;
    ReportDesignerWindow w(file, {{row}, {}}, prompter);
    w.show();
    // A field from the list, then a QR code from the toolbar.
    QListWidget* fields = w.findChild<QListWidget*>(u"FieldList"_s);
    QCOMPARE(fields->item(0)->text(), u"[frxDBDataset1.\"车号\"]"_s);
    Q_EMIT fields->itemDoubleClicked(fields->item(0));
    w.findChild<QAction*>(u"QrB"_s)->trigger();
    QCOMPARE(w.design().layout().page.bands[0].objects.size(), 2);
    w.select({{0, 0}});
    auto* view = w.findChild<QGraphicsView*>(u"DesignView"_s);
    const double left = w.design().object({0, 0}).left;
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(w.design().object({0, 0}).left, left + 11);
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(w.design().object({0, 0}).height, 23.0);
    w.findChild<QAction*>(u"UndoB"_s)->trigger();
    QCOMPARE(w.design().object({0, 0}).height, 22.0);

    // The property panel edits the selected object.
    w.select({{0, 0}});
    auto* text = w.findChild<QLineEdit*>(u"TextE"_s);
    text->setText(u"车号：[frxDBDataset1.\"车号\"]"_s);
    Q_EMIT text->editingFinished();
    QCOMPARE(w.design().object({0, 0}).text, u"车号：[frxDBDataset1.\"车号\"]"_s);

    // The selected object's bottom right corner dragged 10 mm further.
    w.select({{0, 0}});
    const ReportObject before = w.design().object({0, 0});
    QGraphicsItem* item = w.findChild<QGraphicsView*>(u"DesignView"_s)->scene()->selectedItems().value(0);
    QVERIFY(item);
    const QPoint corner = view->mapFromScene(item->mapToScene(item->boundingRect().bottomRight()));
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(view->viewport(), corner + QPoint(38, 0));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, corner + QPoint(38, 0));
    QVERIFY2(qAbs(w.design().object({0, 0}).width - (before.width + 38)) < 2,
             qPrintable(QString::number(w.design().object({0, 0}).width)));
    QCOMPARE(w.design().object({0, 0}).left, before.left);

    QVERIFY(w.save());
    const Fr3File::Loaded saved = Fr3File::read(file);
    QVERIFY(saved.report);
    QCOMPARE(saved.report->page.bands[0].objects[0].left, left + 11);
    QVERIFY(qAbs(saved.report->page.bands[0].objects[0].width - w.design().object({0, 0}).width) < 0.001);
    QCOMPARE(saved.report->page.bands[0].objects[0].text, u"车号：[frxDBDataset1.\"车号\"]"_s);
    if (const QByteArray shots = qgetenv("WEIGHT_SCREENSHOTS"); !shots.isEmpty())
        w.grab().save(QString::fromLocal8Bit(shots) + u"/designer.png"_s);
}

QTEST_MAIN(ReportDesignTest)
#include "tst_reportdesign.moc"
