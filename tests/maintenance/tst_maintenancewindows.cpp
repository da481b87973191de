#include "TestFolder.h"
#include "app/AboutBox.h"
#include "app/MainWindow.h"
#include "app/UpgradeWindow.h"
#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "maintenance/BackupWindow.h"
#include "maintenance/ClearWindow.h"
#include "maintenance/CompactWindow.h"
#include "maintenance/FolderTreeDialog.h"
#include "maintenance/InitialiseWindow.h"
#include "maintenance/RestoreWindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QResizeEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

void addRecord(DataModule& dm, const QString& plate, const QDateTime& grossTime)
{
    Sql::exec(dm.weightdatabase(), u"INSERT INTO weight (车号, 毛重, 毛重时间) VALUES (?, 1000, ?)"_s,
              {plate, Dialect::dateTimeText(grossTime)});
}

template <typename T = QPushButton>
void click(QWidget& window, const QString& name)
{
    auto* button = window.findChild<T*>(name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
}

/** Runs `answer` on the next modal dialog of type T once it is shown. */
template <typename T>
void whenShown(const std::function<void(T&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        QTRY_VERIFY(qobject_cast<T*>(QApplication::activeModalWidget()));
        answer(*qobject_cast<T*>(QApplication::activeModalWidget()));
    });
}

} // namespace

class TestMaintenanceWindows final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupProposesTheMonthAndAsksBeforeOverwriting();
    void backupToAMissingFolderFails();
    void folderChooserProposesTheMonthInTheChosenFolder();
    void clearRemovesThePeriod();
    void initialiseTheLogAloneLeavesJustItsEntry();
    void compactTwice();
    void restoreWindowPutsTheChosenBackupInPlace();
    void aboutBoxFadesInAndClosesOnClick();
    void upgradeOpensTheDownloadPage();
    void timedBackupAtItsSecond();
    void exitBackupUnlessTheExitIsCancelled();
    void failedTimedBackupIsLogged();
    void missingBackgroundPictureShowsOneError();
};

void TestMaintenanceWindows::backupProposesTheMonthAndAsksBeforeOverwriting()
{
    TestFolder f;
    f.clock.current = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
    addRecord(f.dm(), u"苏A1"_s, f.clock.current);
    BackupWindow window(f.ctx(), nullptr);
    window.show();
    const QString monthly = f.path(u"backup/2026-12.mdb"_s);
    QCOMPARE(window.findChild<QLineEdit*>(u"LabeledEdit1"_s)->text(), monthly);

    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.textsOf(u"information"_s), QStringList{u"备份成功！"_s});
    QCOMPARE(window.findChild<QStatusBar*>(u"StatusBar1"_s)->currentMessage(), u"数据库备份成功！"_s);
    QCOMPARE(window.findChild<QProgressBar*>(u"ProgressBar1"_s)->value(), 100);
    QCOMPARE(f.logActions(), QStringList{u"数据备份"_s});
    QCOMPARE(DatabaseCopy::verify(monthly), 1);

    // A second backup of the month asks; "No" keeps the first copy.
    addRecord(f.dm(), u"苏A2"_s, f.clock.current);
    f.prompter.answers.enqueue(false);
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.textsOf(u"yesno"_s), QStringList{BackupWindow::OverwriteQuestion});
    QCOMPARE(DatabaseCopy::verify(monthly), 1);
    f.prompter.answers.enqueue(true);
    click(window, u"BitBtn1"_s);
    QCOMPARE(DatabaseCopy::verify(monthly), 2);
    QCOMPARE(f.logActions(), (QStringList{u"数据备份"_s, u"数据备份"_s}));
}

void TestMaintenanceWindows::backupToAMissingFolderFails()
{
    TestFolder f;
    f.clock.current = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
    QDir(f.path(u"backup"_s)).removeRecursively();
    BackupWindow window(f.ctx(), nullptr);
    window.show();
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.calls.size(), 1);
    QVERIFY(f.prompter.lastText().startsWith(u"没有备份成功！\n"_s));
    QCOMPARE(f.prompter.calls[0].title, u"提示"_s);
    QCOMPARE(window.findChild<QStatusBar*>(u"StatusBar1"_s)->currentMessage(), u"数据库没有备份成功！"_s);
    QCOMPARE(window.findChild<QProgressBar*>(u"ProgressBar1"_s)->value(), 0);
    QCOMPARE(f.logActions(), QStringList());
    QVERIFY(!QFileInfo::exists(f.path(u"backup"_s)));
}

void TestMaintenanceWindows::folderChooserProposesTheMonthInTheChosenFolder()
{
    TestFolder f;
    f.clock.current = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
    QDir().mkpath(f.path(u"data"_s));
    BackupWindow window(f.ctx(), nullptr);
    window.show();
    bool stayedOpen = false;
    whenShown<FolderTreeDialog>([&](FolderTreeDialog& chooser) {
        QCOMPARE(chooser.windowTitle(), u"选择路径"_s);
        auto* tree = chooser.findChild<QTreeView*>(u"ShellTreeView1"_s);
        chooser.setFolder(f.path(u"data"_s));
        // A double click takes the folder and leaves the tree open.
        Q_EMIT tree->doubleClicked(tree->currentIndex());
        stayedOpen = chooser.isVisible();
        click(chooser, u"BitBtn1"_s);
    });
    click<QToolButton>(window, u"SpeedButton1"_s);
    QVERIFY(stayedOpen);
    QCOMPARE(window.findChild<QLineEdit*>(u"LabeledEdit1"_s)->text(), f.path(u"data/2026-12.mdb"_s));

    whenShown<FolderTreeDialog>([&](FolderTreeDialog& chooser) {
        chooser.setFolder(f.folder());
        click(chooser, u"BitBtn2"_s);
    });
    click<QToolButton>(window, u"SpeedButton1"_s);
    QCOMPARE(window.findChild<QLineEdit*>(u"LabeledEdit1"_s)->text(), f.path(u"data/2026-12.mdb"_s));
}

void TestMaintenanceWindows::clearRemovesThePeriod()
{
    TestFolder f;
    f.clock.current = QDateTime(QDate(2026, 2, 3), QTime(10, 0));
    addRecord(f.dm(), u"前"_s, QDateTime(QDate(2025, 12, 31), QTime(23, 59, 59)));
    addRecord(f.dm(), u"首"_s, QDateTime(QDate(2026, 1, 1), QTime(0, 0, 0)));
    addRecord(f.dm(), u"末"_s, QDateTime(QDate(2026, 1, 31), QTime(23, 59, 59)));
    ClearWindow window(f.ctx(), nullptr);
    QCOMPARE(window.findChild<QDateEdit*>(u"DateTimePicker1"_s)->date(), QDate(2026, 2, 3));
    QCOMPARE(window.findChild<QTimeEdit*>(u"DateTimePicker2"_s)->time(), QTime(0, 0, 0));
    QCOMPARE(window.findChild<QTimeEdit*>(u"DateTimePicker4"_s)->time(), QTime(23, 59, 59));
    window.findChild<QDateEdit*>(u"DateTimePicker1"_s)->setDate(QDate(2026, 1, 1));
    window.findChild<QDateEdit*>(u"DateTimePicker3"_s)->setDate(QDate(2026, 1, 31));

    f.prompter.answers.enqueue(false);
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.count(u"weight"_s), 3);
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.textsOf(u"confirm"_s), (QStringList{u"你确定要删除数据吗?"_s, u"你确定要删除数据吗?"_s}));
    QCOMPARE(f.prompter.calls.last().text, u"数据清理完毕!"_s);
    QCOMPARE(f.count(u"weight"_s), 1);
    QCOMPARE(f.count(u"weight"_s, u"车号 = '前'"_s), 1);
    QCOMPARE(f.logActions(), QStringList{u"清除数据"_s});
}

void TestMaintenanceWindows::initialiseTheLogAloneLeavesJustItsEntry()
{
    TestFolder f;
    addRecord(f.dm(), u"苏A1"_s, f.clock.current);
    f.dm().WriteLog(u"admin"_s, u"登录"_s, {});
    InitialiseWindow window(f.ctx(), nullptr);
    window.show();
    for (const QString& name : {u"CheckBox1"_s, u"CheckBox2"_s, u"CheckBox3"_s, u"CheckBox4"_s})
        QVERIFY(!window.findChild<QCheckBox*>(name)->isChecked());
    window.findChild<QCheckBox*>(u"CheckBox2"_s)->setChecked(true);
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.textsOf(u"confirm"_s),
             QStringList{u"初始化数据后数据将被清空,你确定要初始化这些表格数据吗?"_s});
    QCOMPARE(f.prompter.textsOf(u"information"_s), QStringList{u"数据初始化完毕!"_s});
    QCOMPARE(f.logActions(), QStringList{u"初始化"_s});
    QCOMPARE(f.count(u"weight"_s), 1);
    QCOMPARE(window.findChild<QProgressBar*>(u"ProgressBar1"_s)->value(), 100);
    QCOMPARE(window.result(), int(QDialog::Accepted));
}

void TestMaintenanceWindows::compactTwice()
{
    TestFolder f;
    for (int round = 0; round < 2; ++round) {
        CompactWindow window(f.ctx(), nullptr);
        window.show();
        click(window, u"BitBtn1"_s);
        QCOMPARE(f.prompter.lastText(), u"恭喜你本次减肥成功！"_s);
        QCOMPARE(window.result(), int(QDialog::Accepted));
    }
    QCOMPARE(f.logActions(), (QStringList{u"压缩数据"_s, u"压缩数据"_s}));
    QVERIFY(!QFileInfo::exists(f.path(u"Pcomm.dll1"_s)));
}

void TestMaintenanceWindows::restoreWindowPutsTheChosenBackupInPlace()
{
    TestFolder f;
    addRecord(f.dm(), u"苏A1"_s, f.clock.current);
    DatabaseCopy::backup(f.path(Catalogue::WeighingFile), f.path(u"backup/2026-04.mdb"_s));
    addRecord(f.dm(), u"苏A2"_s, f.clock.current);
    DatabaseCopy::backup(f.path(Catalogue::WeighingFile), f.path(u"backup/Auto26_05_01_12_00_00.MDB"_s));
    addRecord(f.dm(), u"苏A3"_s, f.clock.current);
    f.dm().close();

    RestoreWindow window(f.folder(), f.prompter, f.clock);
    window.show();
    auto* list = window.findChild<QTreeWidget*>(u"ListView1"_s);
    QCOMPARE(list->topLevelItemCount(), 2);
    QVERIFY(window.select(f.path(u"backup/2026-04.mdb"_s)));
    QCOMPARE(list->currentItem()->text(3), u"1"_s);
    bool restarted = false;
    connect(&window, &RestoreWindow::restartRequested, this, [&] { restarted = true; });
    f.prompter.answers.enqueue(true);  // restore with this backup?
    f.prompter.answers.enqueue(false); // start the program again?
    click(window, u"BitBtn1"_s);
    QVERIFY(!restarted);
    QCOMPARE(DatabaseCopy::verify(f.path(Catalogue::WeighingFile)), 1);
    QCOMPARE(list->topLevelItemCount(), 3);
    QVERIFY(f.prompter.calls.last().text.startsWith(u"数据恢复成功！"_s));
}

void TestMaintenanceWindows::aboutBoxFadesInAndClosesOnClick()
{
    TestFolder f;
    QCOMPARE(AboutBox::memoryLine(2048LL * 1024 * 1024), u"可用内存为:2,097,152 KB"_s);
    QCOMPARE(AboutBox::resourceLine(50), u"系统资源为:50 %可用"_s);
    AboutBox box(f.ctx(), nullptr);
    box.show();
    QCOMPARE(box.alphaBlendValue(), 0);
    QCOMPARE(box.Timer1.interval(), 66);
    int ticks = 0;
    for (; box.Timer1.isActive() && ticks < 100; ++ticks)
        box.Timer1Timer();
    QCOMPARE(ticks, 50);
    QCOMPARE(box.alphaBlendValue(), 250);

    AboutBox fading(f.ctx(), nullptr);
    fading.show();
    fading.Timer1Timer();
    QVERIFY(fading.Timer1.isActive());
    QTest::mouseClick(fading.findChild<QLabel*>(u"Label1"_s), Qt::LeftButton);
    QVERIFY(!fading.isVisible());
    QVERIFY(!fading.Timer1.isActive());
    QCOMPARE(fading.result(), int(QDialog::Accepted));
}

void TestMaintenanceWindows::upgradeOpensTheDownloadPage()
{
    TestFolder f;
    UpgradeWindow window(f.ctx(), nullptr);
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.shell.opened, QStringList{UpgradeWindow::DownloadAddress});
    QCOMPARE(f.prompter.calls.size(), 0);
    f.shell.openSucceeds = false;
    click(window, u"BitBtn1"_s);
    QCOMPARE(f.prompter.textsOf(u"information"_s), QStringList{u"缺少文件！"_s});
}

void TestMaintenanceWindows::timedBackupAtItsSecond()
{
    TestFolder f;
    {
        IniFile ini(f.dm().iniPath());
        ini.write(Option::AutoBackupEnabled, true);
        ini.write(Option::AutoBackupTime, QTime(12, 0, 0));
    }
    MainWindow main(f.ctx());
    f.clock.current = QDateTime(QDate(2013, 5, 1), QTime(11, 59, 59));
    main.Timer1Timer();
    main.waitForBackups();
    QCOMPARE(QDir(f.path(u"backup"_s)).entryList(QDir::Files), QStringList());

    // Two ticks within the noon second copy twice to the one name.
    f.clock.current = QDateTime(QDate(2013, 5, 1), QTime(12, 0, 0));
    main.Timer1Timer();
    main.Timer1Timer();
    QCOMPARE(main.runningBackups() <= 2, true);
    main.waitForBackups();
    QCOMPARE(main.runningBackups(), 0);
    QCOMPARE(QDir(f.path(u"backup"_s)).entryList(QDir::Files), QStringList{u"Auto13_05_01_12_00_00.MDB"_s});
    QCOMPARE(DatabaseCopy::verify(f.path(u"backup/Auto13_05_01_12_00_00.MDB"_s)), 0);
    QCOMPARE(f.logActions(), QStringList());
}

void TestMaintenanceWindows::exitBackupUnlessTheExitIsCancelled()
{
    TestFolder f;
    IniFile(f.dm().iniPath()).write(Option::CloseBackupEnabled, true);
    MainWindow main(f.ctx());
    f.clock.current = QDateTime(QDate(2026, 12, 10), QTime(17, 30, 5));
    f.prompter.answers.enqueue(false);
    QVERIFY(!main.close());
    QCOMPARE(QDir(f.path(u"backup"_s)).entryList(QDir::Files), QStringList());
    QVERIFY(main.close());
    QCOMPARE(QDir(f.path(u"backup"_s)).entryList(QDir::Files), QStringList{u"Close26_12_10_17_30_05.MDB"_s});
    QCOMPARE(f.logActions(), QStringList{u"退出"_s});
}

void TestMaintenanceWindows::failedTimedBackupIsLogged()
{
    TestFolder f;
    {
        IniFile ini(f.dm().iniPath());
        ini.write(Option::AutoBackupEnabled, true);
        ini.write(Option::BackupFolder(f.folder()), f.path(u"missing"_s));
    }
    MainWindow main(f.ctx());
    f.clock.current = QDateTime(QDate(2013, 5, 1), QTime(12, 0, 0));
    main.Timer1Timer();
    QTRY_COMPARE(main.runningBackups(), 0);
    QTRY_COMPARE(f.logActions(), QStringList{u"备份失败 Auto13_05_01_12_00_00.MDB"_s});
    QCOMPARE(f.prompter.calls.size(), 0);
    QVERIFY(!QFileInfo::exists(f.path(u"missing"_s)));
}

void TestMaintenanceWindows::missingBackgroundPictureShowsOneError()
{
    TestFolder f;
    QFile::remove(f.path(u"Picture/Image1280-1024-1.jpg"_s));
    MainWindow main(f.ctx());
    QCOMPARE(f.prompter.textsOf(u"error"_s).size(), 1);
    QVERIFY(f.prompter.textsOf(u"error"_s)[0].contains(u"Image1280-1024-1.jpg"_s));
    QResizeEvent resize(QSize(900, 700), QSize(800, 600));
    QApplication::sendEvent(main.mdiArea()->viewport(), &resize);
    QCOMPARE(f.prompter.textsOf(u"error"_s).size(), 1);
}

QTEST_MAIN(TestMaintenanceWindows)
#include "tst_maintenancewindows.moc"
