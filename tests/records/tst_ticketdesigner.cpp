#include "TestFolder.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "records/CustomPaper.h"
#include "records/CustomPaperWindow.h"
#include "records/TicketDesignerWindow.h"
#include "reports/Fr3File.h"
#include "reports/ReportDesignerWindow.h"
#include "reports/ReportPreview.h"
#include "reports/Tickets.h"

#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

void storeRecord(TestFolder& t, const QString& plate)
{
    Sql::exec(t.dm().weightdatabase(),
              u"INSERT INTO weight (车号, 品名, 毛重, 皮重, 净重, 金额) VALUES (?, '黄沙', 32500, 12500, 20000, 710)"_s,
              {plate});
}

/** The texts the preview shows on its first page. */
QStringList shown(TicketDesignerWindow& w)
{
    QStringList texts;
    for (const PreparedObject& o : w.preview().report().pages.value(0).objects)
        texts.append(o.object.text);
    return texts;
}

QByteArray contentOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void click(QWidget& w, const QString& button)
{
    w.findChild<QPushButton*>(button)->click();
}

} // namespace

/** The ticket designer window and the custom paper dialog, driven as an operator does. */
class TicketDesignerTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void treeIsFixedAndExpanded();
    void previewsAndSetsTheDefaultTicket();
    void groupNodesAreRefused();
    void copiesWithOverwriteQuestion_data();
    void copiesWithOverwriteQuestion();
    void importsOnlyTemplates();
    void testPrintUsesNewestRecord();
    void editsTheChosenTicket();
    void paperConversion_data();
    void paperConversion();
    void paperSavedOnlyWhenPrinterAnswers();
};

void TicketDesignerTest::treeIsFixedAndExpanded()
{
    TestFolder t;
    TicketDesignerWindow w(t.ctx());
    QCOMPARE(w.objectName(), u"TWeightFr3Frm"_s);
    QCOMPARE(w.windowTitle(), u"磅单设计器"_s);
    auto* tree = w.findChild<QTreeWidget*>(u"TreeView1"_s);
    QCOMPARE(tree->topLevelItemCount(), 2);
    QCOMPARE(tree->topLevelItem(0)->text(0), u"磅单选择"_s);
    QCOMPARE(tree->topLevelItem(1)->text(0), u"当前磅单"_s);
    QStringList groups;
    QStringList names;
    for (int g = 0; g < tree->topLevelItem(0)->childCount(); ++g) {
        QTreeWidgetItem* group = tree->topLevelItem(0)->child(g);
        QVERIFY(group->isExpanded());
        groups.append(group->text(0));
        for (int i = 0; i < group->childCount(); ++i)
            names.append(group->child(i)->text(0));
    }
    QCOMPARE(groups, (QStringList{u"横联"_s, u"竖联"_s, u"磅单纸张大小"_s, u"套打"_s, u"其他"_s}));
    QCOMPARE(names.size(), 33);
    QCOMPARE(names.first(), u"H标准磅单"_s);
    QCOMPARE(names.last(), u"多联"_s);
    QCOMPARE(tree->editTriggers(), QAbstractItemView::NoEditTriggers);
    QStringList buttons;
    for (int i = 1; i <= 7; ++i)
        buttons.append(w.findChild<QPushButton*>(u"ToolButton%1"_s.arg(i))->text());
    QCOMPARE(buttons, (QStringList{u"设置默认磅单"_s, u"编辑磅单"_s, u"复制磅单"_s, u"导入磅单"_s, u"打印测试"_s,
                                   u"刷新"_s, u"退出"_s}));
}

void TicketDesignerTest::previewsAndSetsTheDefaultTicket()
{
    TestFolder t;
    storeRecord(t, u"苏A1"_s);
    storeRecord(t, u"苏B2"_s);
    TicketDesignerWindow w(t.ctx());
    // No [默认磅单] entry: the current ticket is H标准磅单, over the newest record.
    w.choose(u"当前磅单"_s);
    QCOMPARE(w.preview().report().pages.value(0).sizeMm, QSizeF(240, 95));
    QVERIFY(shown(w).contains(u"苏B2"_s));

    w.choose(u"S金额磅单"_s);
    click(w, u"ToolButton1"_s);
    QCOMPARE(IniFile(t.dm().iniPath()).read(Option::DefaultTicket(t.folder())), t.folder() + u"/磅单/S金额磅单.fr3"_s);
    w.choose(u"当前磅单"_s);
    QCOMPARE(w.preview().report().pages.value(0).sizeMm, QSizeF(140, 203));
    QVERIFY(shown(w).contains(u"苏B2"_s));
    QVERIFY(t.prompter.calls.isEmpty());
    if (const QByteArray shots = qgetenv("WEIGHT_SCREENSHOTS"); !shots.isEmpty()) {
        w.setWindowState(Qt::WindowNoState);
        w.resize(1280, 760);
        w.show();
        w.grab().save(QString::fromLocal8Bit(shots) + u"/TWeightFr3Frm.png"_s);
        CustomPaperWindow paper(t.ctx());
        paper.show();
        paper.grab().save(QString::fromLocal8Bit(shots) + u"/TSetpaperpagefrm.png"_s);
    }
}

void TicketDesignerTest::groupNodesAreRefused()
{
    TestFolder t;
    TicketDesignerWindow w(t.ctx());
    w.choose(u"横联"_s);
    // A group has no file: an empty page.
    QVERIFY(w.preview().report().pages.value(0).objects.isEmpty());
    for (const QString& button : {u"ToolButton1"_s, u"ToolButton3"_s, u"ToolButton4"_s, u"ToolButton5"_s})
        click(w, button);
    QCOMPARE(t.prompter.textsOf(u"information"_s), QStringList(4, TicketDesignerWindow::NoTicketChosen));
    QCOMPARE(IniFile(t.dm().iniPath()).read(Option::DefaultTicket(t.folder())), t.folder() + u"/磅单/H标准磅单.fr3"_s);
}

void TicketDesignerTest::copiesWithOverwriteQuestion_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<std::optional<QString>>("name"); // none: the prompt cancelled
    QTest::addColumn<bool>("overwrite");
    QTest::addColumn<bool>("copied");
    QTest::newRow("new name") << u"H金额磅单"_s << std::optional<QString>(u"我的磅单"_s) << false << true;
    QTest::newRow("existing, Yes") << u"H金额磅单"_s << std::optional<QString>(u"自定义磅单1"_s) << true << true;
    QTest::newRow("existing, No") << u"H金额磅单"_s << std::optional<QString>(u"自定义磅单1"_s) << false << false;
    QTest::newRow("current ticket") << u"当前磅单"_s << std::optional<QString>(u"自定义磅单2"_s) << true << true;
    QTest::newRow("cancelled") << u"H金额磅单"_s << std::optional<QString>() << false << false;
    QTest::newRow("not a file name") << u"H金额磅单"_s << std::optional<QString>(u"a/b:c"_s) << false << false;
}

void TicketDesignerTest::copiesWithOverwriteQuestion()
{
    QFETCH(QString, node);
    QFETCH(std::optional<QString>, name);
    QFETCH(bool, overwrite);
    QFETCH(bool, copied);
    TestFolder t;
    TicketDesignerWindow w(t.ctx());
    const QString source = node == u"当前磅单"_s ? Tickets::defaultTicketPath(t.dm())
                                                : Tickets::templatePath(t.folder(), node);
    const QString target = name ? Tickets::templatePath(t.folder(), *name) : QString();
    const QByteArray before = target.isEmpty() ? QByteArray() : contentOf(target);
    w.choose(node);
    t.prompter.texts.enqueue(name);
    t.prompter.answers.enqueue(overwrite);
    click(w, u"ToolButton3"_s);
    const auto input = t.prompter.calls.first();
    QCOMPARE(input.kind, u"input"_s);
    QCOMPARE(input.title, u"复制的磅单名称"_s);
    if (!name)
        return;
    const bool existed = !before.isEmpty();
    QCOMPARE(t.prompter.textsOf(u"yesno"_s).size(), existed ? 1 : 0);
    if (name->contains(u'/'))
        QCOMPARE(t.prompter.textsOf(u"warning"_s).size(), 1);
    QCOMPARE(contentOf(target), copied ? contentOf(source) : before);
}

void TicketDesignerTest::importsOnlyTemplates()
{
    TestFolder t;
    TicketDesignerWindow w(t.ctx());
    const QString target = Tickets::templatePath(t.folder(), u"自定义磅单1"_s);
    const QByteArray before = contentOf(target);
    w.choose(u"自定义磅单1"_s);

    const QString notTemplate = t.path(u"Option.ini"_s);
    t.prompter.texts.enqueue(notTemplate);
    click(w, u"ToolButton4"_s);
    QCOMPARE(contentOf(target), before);
    QVERIFY(t.prompter.lastText().contains(notTemplate));

    t.prompter.texts.enqueue(std::nullopt);
    click(w, u"ToolButton4"_s);
    QCOMPARE(contentOf(target), before);

    const QString other = Tickets::templatePath(t.folder(), u"POS58"_s);
    t.prompter.texts.enqueue(other);
    click(w, u"ToolButton4"_s);
    QCOMPARE(contentOf(target), contentOf(other));
    QCOMPARE(w.preview().report().pages.value(0).sizeMm.width(), 58.0);
}

void TicketDesignerTest::testPrintUsesNewestRecord()
{
    TestFolder t;
    storeRecord(t, u"苏C3"_s);
    TicketDesignerWindow w(t.ctx());
    QStringList printed;
    w.setPrintFunction([&](const PreparedReport& r) {
        for (const PreparedObject& o : r.pages.value(0).objects)
            printed.append(o.object.text);
        return std::optional<QString>();
    });
    w.choose(u"H金额磅单"_s);
    click(w, u"ToolButton5"_s);
    QVERIFY(printed.contains(u"苏C3"_s));
    QVERIFY(printed.contains(u"柒佰壹拾元整"_s));
    w.setPrintFunction([](const PreparedReport&) { return std::optional<QString>(u"没有可用的打印机"_s); });
    click(w, u"ToolButton5"_s);
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList{u"没有可用的打印机"_s});
}

void TicketDesignerTest::editsTheChosenTicket()
{
    TestFolder t;
    storeRecord(t, u"苏D4"_s);
    TicketDesignerWindow w(t.ctx());
    // The designer gets the newest record's columns and saves to the chosen file.
    w.setDesignerRunner([](ReportDesignerWindow& designer) {
        QCOMPARE(designer.findChild<QListWidget*>(u"FieldList"_s)->item(0)->text(), u"[frxDBDataset1.\"编号\"]"_s);
        const ObjectRef made = designer.design().addObject(0, ObjectKind::Memo, {0, 0}, u"设计器加的字"_s);
        QVERIFY(designer.design().isValid(made));
        QVERIFY(designer.save());
    });
    w.choose(u"自定义磅单1"_s);
    click(w, u"ToolButton2"_s);
    QVERIFY(Fr3File::read(Tickets::templatePath(t.folder(), u"自定义磅单1"_s)).report);
    QVERIFY(shown(w).contains(u"设计器加的字"_s));
    QVERIFY(shown(w).contains(u"苏D4"_s));
}

void TicketDesignerTest::paperConversion_data()
{
    QTest::addColumn<QString>("centimetres");
    QTest::addColumn<int>("thousandths"); // -1: refused
    QTest::newRow("24.00") << u"24.00"_s << 240000;
    QTest::newRow("9.50") << u"9.50"_s << 95000;
    QTest::newRow("rounded to 0.1 mm") << u"9.506"_s << 95100;
    QTest::newRow("blanks") << u" 21 "_s << 210000;
    QTest::newRow("not a number") << u"二十"_s << -1;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("zero") << u"0"_s << -1;
    QTest::newRow("negative") << u"-5"_s << -1;
}

void TicketDesignerTest::paperConversion()
{
    QFETCH(QString, centimetres);
    QFETCH(int, thousandths);
    if (thousandths < 0)
        QVERIFY_THROWS_EXCEPTION(ConversionError, CustomPaper::thousandthsOfMm(centimetres));
    else
        QCOMPARE(CustomPaper::thousandthsOfMm(centimetres), thousandths);
}

void TicketDesignerTest::paperSavedOnlyWhenPrinterAnswers()
{
    TestFolder t;
    const auto run = [&](const QString& name, const QString& width, bool printer) -> int {
        CustomPaperWindow w(t.ctx());
        w.setPrinterCheck([printer] { return printer; });
        w.findChild<QLineEdit*>(u"Edit1"_s)->setText(name);
        w.findChild<QLineEdit*>(u"Edit2"_s)->setText(width);
        click(w, u"BitBtn1"_s);
        return w.result();
    };
    {
        CustomPaperWindow w(t.ctx());
        QCOMPARE(w.windowTitle(), u"设置自定义打印纸张"_s);
        QCOMPARE(w.findChild<QLineEdit*>(u"Edit1"_s)->text(), u"zdy"_s);
        QCOMPARE(w.findChild<QLineEdit*>(u"Edit2"_s)->text(), u"24.00"_s);
        QCOMPARE(w.findChild<QLineEdit*>(u"Edit3"_s)->text(), u"9.50"_s);
    }
    QCOMPARE(run(u"三联单"_s, u"24.10"_s, false), int(QDialog::Rejected));
    QCOMPARE(t.prompter.textsOf(u"error"_s), QStringList{CustomPaperWindow::PrinterFailed});
    QCOMPARE(CustomPaper::read(t.dm()).name, u"zdy"_s);
    QCOMPARE(run(u"三联单"_s, u"二十四"_s, true), int(QDialog::Rejected));
    QCOMPARE(t.prompter.textsOf(u"error"_s).size(), 2);
    QCOMPARE(CustomPaper::read(t.dm()).width, u"24.00"_s);

    QCOMPARE(run(u"三联单"_s, u"24.10"_s, true), int(QDialog::Accepted));
    // A second run with the same name changes that paper; there is only ever the one.
    QCOMPARE(run(u"三联单"_s, u"24.20"_s, true), int(QDialog::Accepted));
    const CustomPaper saved = CustomPaper::read(t.dm());
    QCOMPARE(saved.name, u"三联单"_s);
    QCOMPARE(saved.width, u"24.20"_s);
    QCOMPARE(saved.length, u"9.50"_s);
    ReportPage page;
    page.paperWidth = 242;
    page.paperHeight = 95;
    QCOMPARE(Tickets::customPaperName(t.dm(), page), u"三联单"_s);
}

QTEST_MAIN(TicketDesignerTest)
#include "tst_ticketdesigner.moc"
