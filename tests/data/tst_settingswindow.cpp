#include "TestFolder.h"
#include "data/Gbk.h"
#include "data/IniFile.h"
#include "data/PersonalSettingsWindow.h"
#include "data/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename T> T* child(const QWidget& w, const QString& name)
{
    T* found = w.findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

QCheckBox* box(const QWidget& w, const QString& name)
{
    return child<QCheckBox>(w, name);
}
QLineEdit* edit(const QWidget& w, const QString& name)
{
    return child<QLineEdit>(w, name);
}
QRadioButton* radio(const QWidget& w, const QString& name)
{
    return child<QRadioButton>(w, name);
}
QTimeEdit* picker(const QWidget& w, const QString& name)
{
    return child<QTimeEdit>(w, name);
}
QComboBox* combo(const QWidget& w)
{
    return child<QComboBox>(w, u"ComboBox1"_s);
}

void clickOk(const QWidget& w)
{
    QTest::mouseClick(child<QPushButton>(w, u"BitBtn1"_s), Qt::LeftButton);
}

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? fromGbk(file.readAll()) : QString();
}

const QStringList AllCheckBoxes{u"CheckBox1"_s, u"CheckBox2"_s,  u"CheckBox3"_s,  u"Checkbox4"_s,
                                u"CheckBox5"_s, u"CheckBox6"_s,  u"CheckBox7"_s,  u"CheckBox8"_s,
                                u"CheckBox9"_s, u"CheckBox10"_s, u"CheckBox11"_s, u"CheckBox12"_s};

} // namespace

class SettingsWindowTest final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsDefaultsWithoutSettingsFile();
    void absentCheckdataDiffersUntilSaved();
    void saveWritesGbkFileAndReopens();
    void autorunFollowsTheBox_data();
    void autorunFollowsTheBox();
    void autorunCommandNamesForeignFolder();
    void saveLogsTellsAndCloses();
    void cancelEscapeAndEnterWriteNothing();
    void countAndLowerLimitTakeOnlyDigits();
};

void SettingsWindowTest::showsDefaultsWithoutSettingsFile()
{
    TestFolder t;
    QVERIFY(QFile::remove(t.path(u"Option.ini"_s)));
    PersonalSettingsWindow w(t.ctx());
    w.show();

    QCOMPARE(w.objectName(), u"Tsys_setfrm"_s);
    QCOMPARE(w.windowTitle(), u"用户个性化设置"_s);
    QCOMPARE(edit(w, u"edit1"_s)->text(), QDir::toNativeSeparators(t.path(u"backup"_s)));
    QCOMPARE(edit(w, u"Edit2"_s)->text(),
             QDir::toNativeSeparators(t.path(u"Picture/Image1280-1024-1.jpg"_s)));
    QCOMPARE(edit(w, u"Edit3"_s)->palette().color(QPalette::Base), QColor(163, 201, 239));
    QCOMPARE(edit(w, u"LabeledEdit3"_s)->text(), u"2000"_s);
    QCOMPARE(edit(w, u"LabeledEdit1"_s)->text(), u"1000"_s);
    QVERIFY(radio(w, u"RzRadioButton1"_s)->isChecked());
    QVERIFY(!radio(w, u"RzRadioButton2"_s)->isChecked());
    QVERIFY(radio(w, u"RzRadioButton3"_s)->isChecked());
    QVERIFY(!radio(w, u"RzRadioButton4"_s)->isChecked());
    const QStringList ticked{u"CheckBox7"_s, u"CheckBox8"_s, u"CheckBox9"_s, u"CheckBox10"_s};
    for (const QString& name : AllCheckBoxes)
        QVERIFY2(box(w, name)->isChecked() == ticked.contains(name), qPrintable(name));
    QCOMPARE(picker(w, u"DateTimePicker1"_s)->time(), QTime(23, 59, 59));
    QCOMPARE(picker(w, u"DateTimePicker2"_s)->time(), QTime(12, 0, 0));
    QVERIFY(combo(w)->isEditable());
    QCOMPARE(combo(w)->currentText(), u"中文 (简体) - 智能 ABC"_s);
    QCOMPARE(combo(w)->count(), 2);
    QCOMPARE(combo(w)->itemText(0), u"fcitx5"_s);
    // Reading creates no file.
    QVERIFY(!QFile::exists(t.path(u"Option.ini"_s)));
}

void SettingsWindowTest::absentCheckdataDiffersUntilSaved()
{
    TestFolder t;
    const QString path = t.dm().iniPath();
    QVERIFY(!IniFile(path).contains(u"Checkdata"_s, u"check"_s));
    PersonalSettingsWindow w(t.ctx());
    w.show();
    QVERIFY(!box(w, u"CheckBox6"_s)->isChecked());
    QCOMPARE(IniFile(path).read(Option::CheckdataAtStation), true);

    clickOk(w);
    QCOMPARE(IniFile(path).read(Option::CheckdataAtStation), false);
    QCOMPARE(IniFile(path).read(Option::CheckdataInSettings), false);
}

void SettingsWindowTest::saveWritesGbkFileAndReopens()
{
    TestFolder t;
    const QString path = t.dm().iniPath();
    QVERIFY(QFile::remove(path));
    const QString backup = t.path(u"备份"_s);
    const QString picture = t.path(u"图片/底图.jpg"_s);
    {
        PersonalSettingsWindow w(t.ctx());
        QSignalSpy shutdown(&w, &PersonalSettingsWindow::shutdownScheduleChanged);
        w.show();
        t.prompter.texts.enqueue(backup);
        QTest::mouseClick(child<QPushButton>(w, u"BackupFolderButton"_s), Qt::LeftButton);
        t.prompter.texts.enqueue(picture);
        QTest::mouseClick(child<QPushButton>(w, u"PictureButton"_s), Qt::LeftButton);
        t.prompter.colors.enqueue(QColor(10, 20, 30));
        QTest::mouseClick(edit(w, u"Edit3"_s), Qt::LeftButton);
        QCOMPARE(t.prompter.calls[0].title, u"请选择备份文件的目录"_s);
        QCOMPARE(t.prompter.calls[0].kind, u"folder"_s);
        QCOMPARE(t.prompter.calls[1].kind, u"openfile"_s);
        QCOMPARE(t.prompter.calls[2].kind, u"color"_s);

        for (const QString& name : AllCheckBoxes)
            box(w, name)->setChecked(!box(w, name)->isChecked());
        picker(w, u"DateTimePicker1"_s)->setTime(QTime(7, 30, 0));
        picker(w, u"DateTimePicker2"_s)->setTime(QTime(18, 5, 9));
        edit(w, u"LabeledEdit3"_s)->setText(u"500"_s);
        edit(w, u"LabeledEdit1"_s)->setText(u"abc"_s);
        combo(w)->setCurrentText(u"搜狗拼音输入法"_s);
        radio(w, u"RzRadioButton2"_s)->setChecked(true);
        radio(w, u"RzRadioButton4"_s)->setChecked(true);
        clickOk(w);

        QCOMPARE(shutdown.count(), 1);
        QCOMPARE(shutdown[0][0].toBool(), true);
        QCOMPARE(shutdown[0][1].toTime(), QTime(7, 30, 0));
    }

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains(toGbk(u"[黑匣子]\r\n下限值=abc\r\n"_s)));
    QVERIFY(bytes.contains(toGbk(u"ImeName=搜狗拼音输入法"_s)));
    QVERIFY(!bytes.contains(u"搜狗"_s.toUtf8()));
    // The spellings the window writes; readers ask for other letter cases and still find them.
    const QString text = fromGbk(bytes);
    for (const QString& line :
         {u"[BackupdataPath]\r\nPath="_s + QDir::toNativeSeparators(backup),
          u"\r\npath="_s + QDir::toNativeSeparators(picture), u"\r\nbackdropcolor=1971210\r\n"_s,
          u"\r\nBackdrop=1\r\n"_s, u"[ExitWindows]\r\ntime=07:30:00\r\nIfExit=1\r\n"_s,
          u"[AutoBackup]\r\nAutoBackup=1\r\nBackupTime=18:05:09\r\n"_s,
          u"[CloseBackup]\r\nCloseBackup=1\r\n"_s, u"[Select]\r\nNum=500\r\n"_s, u"[Sound]\r\nSound=1\r\n"_s,
          u"[AutoRun]\r\nAutoRun=1\r\n"_s, u"[Checkdata]\r\ncheck=1\r\n"_s, u"[IfPrint]\r\nvalue=0\r\n"_s,
          u"[IfCheckdata]\r\nvalue1=0\r\nvalue2=0\r\nvalue3=0\r\n"_s, u"[Video]\r\nVideo=1\r\n"_s,
          u"[Unit]\r\nValue=0\r\n"_s, u"[Print]\r\nType=0\r\n"_s})
        QVERIFY2(text.contains(line), qPrintable(line));
    const IniFile ini(path);
    QCOMPARE(ini.readString(u"Picture"_s, u"Path"_s, {}), QDir::toNativeSeparators(picture));
    QCOMPARE(ini.readTime(u"ExitWindows"_s, u"Time"_s, {}), QTime(7, 30, 0));
    QCOMPARE(ini.readBool(u"Picture"_s, u"backdrop"_s, false), true);
    QCOMPARE(ini.read(Option::LowerLimit), 1000.0);

    PersonalSettingsWindow again(t.ctx());
    QCOMPARE(edit(again, u"edit1"_s)->text(), QDir::toNativeSeparators(backup));
    QCOMPARE(edit(again, u"Edit2"_s)->text(), QDir::toNativeSeparators(picture));
    QCOMPARE(edit(again, u"Edit3"_s)->palette().color(QPalette::Base), QColor(10, 20, 30));
    QCOMPARE(edit(again, u"LabeledEdit3"_s)->text(), u"500"_s);
    QCOMPARE(edit(again, u"LabeledEdit1"_s)->text(), u"abc"_s);
    const QStringList ticked{u"CheckBox1"_s, u"CheckBox2"_s, u"CheckBox3"_s,  u"Checkbox4"_s,
                             u"CheckBox5"_s, u"CheckBox6"_s, u"CheckBox11"_s, u"CheckBox12"_s};
    for (const QString& name : AllCheckBoxes)
        QVERIFY2(box(again, name)->isChecked() == ticked.contains(name), qPrintable(name));
    QCOMPARE(picker(again, u"DateTimePicker1"_s)->time(), QTime(7, 30, 0));
    QCOMPARE(picker(again, u"DateTimePicker2"_s)->time(), QTime(18, 5, 9));
    QCOMPARE(combo(again)->currentText(), u"搜狗拼音输入法"_s);
    QVERIFY(radio(again, u"RzRadioButton2"_s)->isChecked());
    QVERIFY(radio(again, u"RzRadioButton4"_s)->isChecked());
}

void SettingsWindowTest::autorunFollowsTheBox_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::newRow("ticked") << true;
    QTest::newRow("unticked removes a hand-made entry") << false;
}

void SettingsWindowTest::autorunFollowsTheBox()
{
    QFETCH(bool, ticked);
    TestFolder t;
    t.shell.autorun = u"weight=made by hand"_s;
    PersonalSettingsWindow w(t.ctx());
    box(w, u"CheckBox5"_s)->setChecked(ticked);
    clickOk(w);
    if (ticked)
        QCOMPARE(t.shell.autorun.toString(),
                 u"weight=\"%1\" --folder \"%2\""_s.arg(QDir::toNativeSeparators(t.shell.programFile()),
                                                        QDir::toNativeSeparators(t.folder())));
    else
        QVERIFY(t.shell.autorun.isNull());
    QCOMPARE(IniFile(t.dm().iniPath()).read(Option::AutoRun), ticked);
}

void SettingsWindowTest::autorunCommandNamesForeignFolder()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(u"weight"_s);
    QCOMPARE(autorunCommand(program, dir.path()), u'"' + QDir::toNativeSeparators(program) + u'"');
    QCOMPARE(autorunCommand(program, dir.filePath(u"站点 1"_s)),
             u"\"%1\" --folder \"%2\""_s.arg(QDir::toNativeSeparators(program),
                                             QDir::toNativeSeparators(dir.filePath(u"站点 1"_s))));
}

void SettingsWindowTest::saveLogsTellsAndCloses()
{
    TestFolder t;
    t.ctx().login.CurrentOperator = u"李四"_s;
    PersonalSettingsWindow w(t.ctx());
    w.show();
    clickOk(w);
    QCOMPARE(t.logActions(), QStringList{u"个性设置"_s});
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作人 FROM LogTab"_s), u"李四"_s);
    QCOMPARE(t.dm().QueryScalar(u"SELECT 操作内容 FROM LogTab"_s), QString());
    QCOMPARE(t.prompter.calls.size(), 1);
    QCOMPARE(t.prompter.calls[0].kind, u"information"_s);
    QCOMPARE(t.prompter.calls[0].text, u"注意:有些设置需要在重新启动本软件系统时生效。"_s);
    QCOMPARE(t.prompter.calls[0].title, u"提示"_s);
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), int(QDialog::Accepted));
}

void SettingsWindowTest::cancelEscapeAndEnterWriteNothing()
{
    TestFolder t;
    const QString before = fileText(t.dm().iniPath());
    {
        PersonalSettingsWindow w(t.ctx());
        w.show();
        box(w, u"CheckBox2"_s)->setChecked(true);
        QTest::keyClick(edit(w, u"LabeledEdit1"_s), Qt::Key_Return);
        QVERIFY(w.isVisible());
        QTest::mouseClick(child<QPushButton>(w, u"BitBtn2"_s), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.result(), int(QDialog::Rejected));
    }
    {
        PersonalSettingsWindow w(t.ctx());
        w.show();
        QTest::keyClick(edit(w, u"LabeledEdit1"_s), Qt::Key_Escape);
        QVERIFY(!w.isVisible());
    }
    QCOMPARE(fileText(t.dm().iniPath()), before);
    QVERIFY(t.logActions().isEmpty());
    QVERIFY(t.prompter.calls.isEmpty());
}

void SettingsWindowTest::countAndLowerLimitTakeOnlyDigits()
{
    TestFolder t;
    PersonalSettingsWindow w(t.ctx());
    w.show();
    QLineEdit* count = edit(w, u"LabeledEdit3"_s);
    count->clear();
    QTest::keyClicks(count, u"1a2 -3.x4"_s);
    QCOMPARE(count->text(), u"1234"_s);
    QTest::keyClick(count, Qt::Key_Backspace);
    QCOMPARE(count->text(), u"123"_s);
    count->insert(u"9z"_s);
    QCOMPARE(count->text(), u"123"_s);
    // The black box lower limit takes digits only as well: a letter there would be no number.
    QTest::keyClicks(edit(w, u"LabeledEdit1"_s), u"x5"_s);
    QCOMPARE(edit(w, u"LabeledEdit1"_s)->text(), u"10005"_s);
}

QTEST_MAIN(SettingsWindowTest)
#include "tst_settingswindow.moc"
