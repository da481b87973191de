#include "TestFolder.h"
#include "app/MainWindow.h"
#include "app/StartUp.h"
#include "audit/LoginDialog.h"
#include "data/Catalogue.h"
#include "data/Gbk.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace {

/** Types into the login and presses Enter in the password box, as an operator does. */
void typeLogin(LoginDialog& login, const QString& name, const QString& password)
{
    auto* users = login.findChild<QComboBox*>(u"ComboBox1"_s);
    users->setEditText(name);
    auto* edit = login.findChild<QLineEdit*>(u"Edit1"_s);
    edit->clear();
    QTest::keyClicks(edit, password);
    QTest::keyClick(edit, Qt::Key_Return);
}

struct ExpectedItem
{
    QString handler, caption, right;
};

/** The menu items as the program shows them, separators left out. */
const QList<ExpectedItem>& expectedMenu()
{
    static const QList<ExpectedItem> items{
        {u"N26"_s, u"用户管理..."_s, u"用户管理"_s},
        {u"N4"_s, u"查看日志..."_s, u"查看日志"_s},
        {u"N28"_s, u"查看数据黑匣子数据"_s, u"查看黑匣子"_s},
        {u"N2"_s, u"数据备份..."_s, u"数据备份"_s},
        {u"N3"_s, u"数据恢复..."_s, u"数据恢复"_s},
        {u"N6"_s, u"数据清除..."_s, u"数据清除"_s},
        {u"N7"_s, u"初始化系统..."_s, u"初始化系统"_s},
        {u"N9"_s, u"压缩修复数据库..."_s, u"压缩数据库"_s},
        {u"N27"_s, u"系统升级..."_s, u"系统升级"_s},
        {u"N50"_s, u"重新启动计算机"_s, {}},
        {u"N51"_s, u"关闭计算机"_s, {}},
        {u"N15"_s, u"切换用户..."_s, {}},
        {u"N53"_s, u"注销本用户..."_s, {}},
        {u"N18"_s, u"修改密码..."_s, u"修改密码"_s},
        {u"N17"_s, u"用户个性化设置..."_s, u"用户个性化设置"_s},
        {u"N19"_s, u"称重过磅"_s, u"称重过磅"_s},
        {u"N16"_s, u"固定存皮"_s, u"固定存皮"_s},
        {u"N21"_s, u"产品单价"_s, u"产品单价"_s},
        {u"N24"_s, u"查询与打印..."_s, u"查询打印"_s},
        {u"N25"_s, u"汇总与打印..."_s, u"汇总打印"_s},
        {u"N30"_s, u"查看回收站..."_s, u"查看回收站"_s},
        {u"N22"_s, u"设置扣杂功能"_s, u"设置扣杂功能"_s},
        {u"N33"_s, u"1.设置称重项目..."_s, u"设置称重项目"_s},
        {u"N36"_s, u"2.设置通讯参数..."_s, u"设置通讯参数"_s},
        {u"N42"_s, u"连接远程数据库..."_s, {}},
        {u"N31"_s, u"3.设置打印机纸张..."_s, u"设置打印机纸张"_s},
        {u"N46"_s, u"4.自定义万能磅单格式"_s, u"自定义万能磅单格式"_s},
        {u"N20"_s, u"5.设置报表格式..."_s, u"设置报表格式"_s},
        {u"N61"_s, u"6.自定义快速磅单格式"_s, u"自定义快速磅单格式"_s},
        {u"N48"_s, u"科学计算器..."_s, {}},
        {u"N52"_s, u"记事本..."_s, {}},
        {u"N38"_s, u"关于我们"_s, {}},
        {u"N39"_s, u"重要说明"_s, {}},
        {u"N40"_s, u"帮助文件..."_s, {}},
        {u"N13"_s, u"视频帮助..."_s, {}},
    };
    return items;
}

QStringList alwaysVisibleHandlers()
{
    QStringList handlers{u"N5"_s};
    for (const ExpectedItem& item : expectedMenu())
        if (item.right.isEmpty())
            handlers.append(item.handler);
    return handlers;
}

} // namespace

class MainWindowTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startUpReportsDatabaseFiles_data();
    void startUpReportsDatabaseFiles();
    void loginOpensOnFirstUserWithFocusInPassword();
    void loginWrongThenRight();
    void loginMatchesNamesLiterally_data();
    void loginMatchesNamesLiterally();
    void shiftStart_data();
    void shiftStart();
    void menuHasEveryItemAndRight();
    void logOffHidesExactlyTheGatedItems();
    void userWithoutRightsSeesOnlyAlwaysVisibleItems();
    void exitAsksAndLogsOnlyOnOk();
    void loginQuitEndsProgramWithoutQuestion();
    void switchUserLogsAndAppliesNewRights();
    void restartPowerOffAndRestore();
    void captionFromGbkSettings();
    void oneWeighingStationAtATime();
    void recordReportDesignBorrowsAQueryWindow();
};

void MainWindowTest::startUpReportsDatabaseFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<QString>("message");
    QTest::newRow("no Para.wdv") << u"Para.wdv"_s << false << u"数据配置文件没有找到,系统初始化失败！"_s;
    QTest::newRow("no Pcomm.dll") << u"Pcomm.dll"_s << false << u"数据配置文件没有找到,系统初始化失败！"_s;
    QTest::newRow("damaged Pcomm.dll") << u"Pcomm.dll"_s << true << u"系统初始化失败！"_s;
}

void MainWindowTest::startUpReportsDatabaseFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, damaged);
    QFETCH(QString, message);
    TestFolder t;
    t.dm().close();
    QFile::remove(t.path(file));
    if (damaged) {
        QFile f(t.path(file));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2048, '\x7f'));
    }
    DataModule dm(t.folder());
    QVERIFY(!OpenDataModule(dm, t.prompter));
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"error"_s);
    QCOMPARE(t.prompter.calls[0].text, message);
    QCOMPARE(t.prompter.calls[0].title, u"严重错误！"_s);
}

void MainWindowTest::loginOpensOnFirstUserWithFocusInPassword()
{
    TestFolder t;
    t.addUser(u"张三"_s);
    LoginDialog login(t.ctx());
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    auto* users = login.findChild<QComboBox*>(u"ComboBox1"_s);
    QCOMPARE(users->count(), 2);
    QCOMPARE(users->currentText(), u"admin"_s);
    QCOMPARE(QApplication::focusWidget(), login.findChild<QLineEdit*>(u"Edit1"_s));
    QVERIFY(login.findChild<QRadioButton*>(u"RB2"_s)->isChecked());
    QCOMPARE(login.windowTitle(), u"新用户登录"_s);
    QVERIFY(login.findChild<QLabel*>(u"HintLabel"_s)->text().contains(u"123456"_s));
}

void MainWindowTest::loginWrongThenRight()
{
    TestFolder t;
    LoginDialog login(t.ctx());
    login.show();
    QVERIFY(QTest::qWaitForWindowActive(&login));
    typeLogin(login, u"admin"_s, u"wrong"_s);
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"warning"_s);
    QCOMPARE(t.prompter.calls[0].title, u"警告"_s);
    QVERIFY(t.prompter.calls[0].text.startsWith(u"您输入的用户名或密码不正确,请重新输入!\n"_s));
    QVERIFY(t.prompter.calls[0].text.contains(u"admin"_s));
    QVERIFY(login.isVisible());
    QVERIFY(login.findChild<QLineEdit*>(u"Edit1"_s)->text().isEmpty());
    QCOMPARE(t.logActions(), QStringList());

    typeLogin(login, u"admin"_s, u"admin"_s);
    QCOMPARE(login.result(), int(QDialog::Accepted));
    QCOMPARE(t.ctx().login.CurrentOperator, u"admin"_s);
    QCOMPARE(t.ctx().login.CurrentImeName, u"中文 (简体) - 智能 ABC"_s);
    QCOMPARE(t.logActions(), QStringList{u"登录"_s});
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作人 FROM LogTab"_s), u"admin"_s);
    QVERIFY(login.rights().value(u"用户管理"_s));
}

void MainWindowTest::loginMatchesNamesLiterally_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("quote in name, typed") << u"o'brien"_s << u"123456"_s << true;
    QTest::newRow("quote in password") << u"o'brien"_s << u"12'3456"_s << false;
    QTest::newRow("injection attempt") << u"x' or '1'='1"_s << u"' or '1'='1"_s << false;
    QTest::newRow("name in other case") << u"ADMIN"_s << u"admin"_s << true;
    QTest::newRow("password in other case") << u"admin"_s << u"ADMIN"_s << false;
}

void MainWindowTest::loginMatchesNamesLiterally()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, accepted);
    TestFolder t;
    t.addUser(u"o'brien"_s);
    LoginDialog login(t.ctx());
    login.show();
    typeLogin(login, name, password);
    QCOMPARE(login.result() == QDialog::Accepted, accepted);
    QCOMPARE(t.logActions().contains(u"登录"_s), accepted);
    if (accepted)
        QCOMPARE(t.ctx().login.CurrentOperator, name);
}

void MainWindowTest::shiftStart_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<bool>("startShift");
    QTest::addColumn<QString>("starRec");
    QTest::newRow("上班, empty weight") << 0 << true << u"1"_s;
    QTest::newRow("上班, records up to 3") << 3 << true << u"4"_s;
    QTest::newRow("继续 keeps the marker") << 3 << false << u"77"_s;
}

void MainWindowTest::shiftStart()
{
    QFETCH(int, records);
    QFETCH(bool, startShift);
    QFETCH(QString, starRec);
    TestFolder t;
    for (int i = 0; i < records; ++i)
        Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号) VALUES (?)"_s, {u"苏A0000%1"_s.arg(i)});
    IniFile(t.dm().iniPath()).write(Option::ShiftStartRecord, u"77"_s);
    t.clock.current = QDateTime(QDate(2026, 12, 11), QTime(7, 5, 9));
    LoginDialog login(t.ctx());
    login.show();
    QVERIFY(QTest::qWaitForWindowExposed(&login));
    auto* radio = login.findChild<QRadioButton*>(startShift ? u"RB1"_s : u"RB2"_s);
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(8, radio->height() / 2));
    QVERIFY(radio->isChecked());
    typeLogin(login, u"admin"_s, u"admin"_s);
    QCOMPARE(login.result(), int(QDialog::Accepted));
    const IniFile ini(t.dm().iniPath());
    QCOMPARE(ini.readString(u"Weight"_s, u"StarRec"_s, {}), starRec);
    QCOMPARE(ini.read(Option::ShiftStartTime), startShift ? u"2026-12-11 07:05:09"_s : QString());
}

void MainWindowTest::menuHasEveryItemAndRight()
{
    TestFolder t;
    MainWindow w(t.ctx());
    const QStringList menus{u"【系统管理】"_s, u"【用户管理】"_s, u"【称重过磅】"_s, u"【数据管理】"_s,
                            u"【系统参数设置】"_s, u"【帮助说明】"_s, u"【退出系统】"_s};
    QStringList shownMenus;
    for (QAction* top : w.menuBar()->actions())
        shownMenus.append(top->text());
    QCOMPARE(shownMenus, menus);
    int gated = 0;
    for (const ExpectedItem& item : expectedMenu()) {
        QAction* action = w.action(item.handler);
        QVERIFY2(action, qPrintable(item.handler));
        QCOMPARE(action->text(), item.caption);
        if (!item.right.isEmpty()) {
            ++gated;
            QVERIFY2(Catalogue::menuRights().contains(item.right), qPrintable(item.right));
        }
    }
    QCOMPARE(gated, 24);
    QCOMPARE(w.action(u"N5"_s)->text(), u"【退出系统】"_s);
    QCOMPARE(w.windowTitle(), Option::DefaultCaption);
    QCOMPARE(w.findChild<QWidget*>(u"RzMarqueeStatus1"_s)->toolTip(), MainWindow::FirstMarquee);
    QCOMPARE(w.findChild<QLabel*>(u"RzFieldStatus2"_s)->text(), QString());
}

void MainWindowTest::logOffHidesExactlyTheGatedItems()
{
    TestFolder t;
    MainWindow w(t.ctx());
    QMap<QString, bool> all;
    for (const QString& right : Catalogue::menuRights())
        all.insert(right, true);
    w.applyLogin(all);
    QTest::qWait(0);
    w.action(u"N53"_s)->trigger();
    const QStringList always = alwaysVisibleHandlers();
    int hidden = 0;
    for (const ExpectedItem& item : expectedMenu()) {
        const bool visible = w.action(item.handler)->isVisible();
        QCOMPARE(visible, always.contains(item.handler));
        hidden += visible ? 0 : 1;
    }
    QCOMPARE(hidden, 24);
    QCOMPARE(w.findChild<QLabel*>(u"RzFieldStatus2"_s)->text(), u"当前值班员:无"_s);
    QCOMPARE(t.ctx().login.CurrentOperator, u"无"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作人 || '/' || 操作类型 FROM LogTab"_s), u"无/注销用户"_s);
}

void MainWindowTest::userWithoutRightsSeesOnlyAlwaysVisibleItems()
{
    TestFolder t;
    t.addUser(u"过磅员"_s);
    MainWindow w(t.ctx());
    LoginDialog login(t.ctx(), &w);
    login.show();
    typeLogin(login, u"过磅员"_s, u"123456"_s);
    QCOMPARE(login.result(), int(QDialog::Accepted));
    w.applyLogin(login.rights());
    const QStringList always = alwaysVisibleHandlers();
    for (const ExpectedItem& item : expectedMenu())
        QCOMPARE(w.action(item.handler)->isVisible(), always.contains(item.handler));
    QCOMPARE(w.findChild<QLabel*>(u"RzFieldStatus2"_s)->text(), u"当前值班员:过磅员"_s);
}

void MainWindowTest::exitAsksAndLogsOnlyOnOk()
{
    TestFolder t;
    MainWindow w(t.ctx());
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.Timer1.stop();
    t.prompter.answers.enqueue(false);
    QVERIFY(!w.close());
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"confirm"_s);
    QCOMPARE(t.prompter.calls[0].text, u"您确实要退出本系统吗？"_s);
    QCOMPARE(t.prompter.calls[0].title, u"提示！"_s);
    QCOMPARE(t.logActions(), QStringList());

    t.prompter.answers.enqueue(true);
    w.action(u"N5"_s)->trigger();
    QCOMPARE(t.logActions(), QStringList{u"退出"_s});
}

void MainWindowTest::loginQuitEndsProgramWithoutQuestion()
{
    TestFolder t;
    MainWindow w(t.ctx());
    QTimer::singleShot(0, &w, [] {
        auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        QVERIFY(login);
        QTest::mouseClick(login->findChild<QPushButton*>(u"RzBitBtn2"_s), Qt::LeftButton);
    });
    w.FormShow();
    QCOMPARE(t.shell.endCount, 1);
    QVERIFY(!w.Timer1.isActive());
    w.close();
    QCOMPARE(t.prompter.calls.size(), 0);
    QCOMPARE(t.logActions(), QStringList());
}

void MainWindowTest::switchUserLogsAndAppliesNewRights()
{
    TestFolder t;
    t.addUser(u"李四"_s, {u"称重过磅"_s});
    MainWindow w(t.ctx());
    QTimer::singleShot(0, &w, [] {
        auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        QVERIFY(login);
        typeLogin(*login, u"admin"_s, u"admin"_s);
    });
    w.FormShow();
    QVERIFY(w.Timer1.isActive());
    QVERIFY(w.action(u"N26"_s)->isVisible());

    QTimer::singleShot(0, &w, [] {
        auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        QVERIFY(login);
        typeLogin(*login, u"李四"_s, u"123456"_s);
    });
    w.action(u"N15"_s)->trigger();
    QCOMPARE(t.logActions(), (QStringList{u"登录"_s, u"切换用户"_s, u"登录"_s}));
    QCOMPARE(t.ctx().login.CurrentOperator, u"李四"_s);
    QVERIFY(!w.action(u"N26"_s)->isVisible());
    QVERIFY(w.action(u"N19"_s)->isVisible());
    QCOMPARE(t.shell.endCount, 0);
    w.Timer1.stop();
}

void MainWindowTest::restartPowerOffAndRestore()
{
    TestFolder t;
    MainWindow w(t.ctx());
    w.action(u"N50"_s)->trigger();
    w.action(u"N51"_s)->trigger();
    QCOMPARE(t.shell.shutdowns, (QStringList{u"reboot"_s, u"poweroff"_s}));
    QCOMPARE(t.logActions(), (QStringList{u"重新启动"_s, u"关机"_s}));

    t.shell.openSucceeds = false;
    w.action(u"N3"_s)->trigger();
    QCOMPARE(t.prompter.lastText(), u"缺少配置文件“Restore.exe”！"_s);
    QCOMPARE(t.shell.endCount, 1);
    QVERIFY(w.close());
    QCOMPARE(t.prompter.textsOf(u"confirm"_s), QStringList());
    QCOMPARE(t.logActions().size(), 2);
}

void MainWindowTest::captionFromGbkSettings()
{
    TestFolder t;
    QFile ini(t.dm().iniPath());
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(toGbk(u"[Application]\r\nCaption=东风磅房称重系统\r\n"_s));
    ini.close();
    MainWindow w(t.ctx());
    QCOMPARE(w.windowTitle(), u"东风磅房称重系统"_s);
}

void MainWindowTest::oneWeighingStationAtATime()
{
    TestFolder t;
    MainWindow w(t.ctx());
    // Showing the main window opens the login; it is answered as an operator would.
    w.show();
    QTimer::singleShot(0, &w, [] {
        auto* login = qobject_cast<LoginDialog*>(QApplication::activeModalWidget());
        QVERIFY(login);
        typeLogin(*login, u"admin"_s, u"admin"_s);
    });
    QTRY_VERIFY(w.Timer1.isActive());
    QAction* item = w.action(u"N19"_s);
    item->trigger();
    QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
    QMdiSubWindow* frame = w.mdiArea()->subWindowList().first();
    QCOMPARE(frame->widget()->objectName(), u"Tweighfrm"_s);
    QVERIFY(frame->isMaximized());
    QVERIFY(!item->isEnabled());

    t.prompter.answers.enqueue(false);
    frame->close();
    QCOMPARE(t.prompter.lastText(), u"您确实要退出称重吗？"_s);
    QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
    QVERIFY(!item->isEnabled());

    t.prompter.answers.enqueue(true);
    QTest::mouseClick(frame->widget()->findChild<QPushButton*>(u"RzBitBtn1"_s), Qt::LeftButton);
    QTRY_COMPARE(w.mdiArea()->subWindowList().size(), 0);
    QTRY_VERIFY(item->isEnabled());
    QCOMPARE(t.prompter.textsOf(u"confirm"_s).size(), 2);
}

void MainWindowTest::recordReportDesignBorrowsAQueryWindow()
{
    TestFolder t;
    Sql::exec(t.dm().weightdatabase(), u"INSERT INTO weight (车号, 品名, 皮重) VALUES ('苏A1', '黄沙', 15000)"_s);
    MainWindow w(t.ctx());
    QString designed;
    QStringList fields;
    QTimer::singleShot(0, &w, [&] {
        auto* designer = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (designer && designer->objectName() == u"TfrxDesignerForm"_s) {
            designed = designer->windowTitle();
            auto* list = designer->findChild<QListWidget*>(u"FieldList"_s);
            for (int i = 0; list && i < list->count(); ++i)
                fields.append(list->item(i)->text());
        }
        if (designer)
            designer->reject();
    });
    w.action(u"N20"_s)->trigger();
    QVERIFY2(designed.endsWith(u"磅单/weight.fr3"_s), qPrintable(designed));
    QVERIFY(fields.contains(u"[frxDBDataset1.\"车号\"]"_s));
    QCOMPARE(t.logActions().last(), u"修改报表"_s);
    QCOMPARE(w.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(w.mdiArea()->subWindowList().first()->widget()->objectName(), u"Tmanagerdatafrm"_s);
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
