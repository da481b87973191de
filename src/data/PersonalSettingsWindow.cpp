#include "PersonalSettingsWindow.h"

#include "DataModule.h"
#include "data/Errors.h"
#include "IniFile.h"
#include "Settings.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "platform/SystemShell.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QCheckBox* checkBox(const QString& name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QRadioButton* radioButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

QLineEdit* lineEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QTimeEdit* timePicker(const QString& name, QWidget* parent)
{
    auto* picker = new QTimeEdit(parent);
    picker->setObjectName(name);
    picker->setDisplayFormat(u"HH:mm:ss"_s);
    return picker;
}

QPushButton* button(const QString& name, const QString& caption, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    // Enter is not special in this window: no button is pressed by it.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QPushButton* browseButton(const QString& name, QWidget* parent)
{
    QPushButton* b = button(name, u"..."_s, parent);
    b->setFixedWidth(32);
    return b;
}

QHBoxLayout* row(std::initializer_list<QWidget*> widgets, bool stretch = true)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* w : widgets)
        layout->addWidget(w);
    if (stretch)
        layout->addStretch();
    return layout;
}

QButtonGroup* exclusive(QRadioButton* a, QRadioButton* b, QObject* parent)
{
    auto* group = new QButtonGroup(parent);
    group->addButton(a);
    group->addButton(b);
    return group;
}

} // namespace

PersonalSettingsWindow::PersonalSettingsWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(u"Tsys_setfrm"_s);
    setWindowTitle(u"用户个性化设置"_s);
    setModal(true);
    buildControls();
    FormCreate();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_BitBtn1, &QPushButton::clicked, this, &PersonalSettingsWindow::BitBtn1Click);
    connect(m_BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void PersonalSettingsWindow::buildControls()
{
    auto* left = new QVBoxLayout;
    left->addWidget(buildSoundGroup());
    left->addWidget(buildAutoRunGroup());
    left->addWidget(buildWeighingGroup());
    left->addWidget(buildPrintGroup());
    left->addWidget(buildVideoGroup());
    left->addStretch();

    auto* right = new QVBoxLayout;
    right->addWidget(buildSystemGroup());
    right->addWidget(buildCheckGroup());
    right->addStretch();

    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    m_BitBtn1 = button(u"BitBtn1"_s, u"确定(&A)"_s, this);
    m_BitBtn2 = button(u"BitBtn2"_s, u"取消(&C)"_s, this);
    for (QPushButton* b : {m_BitBtn1, m_BitBtn2})
        b->setMinimumWidth(96);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_BitBtn1);
    buttons->addWidget(m_BitBtn2);

    auto* top = new QVBoxLayout(this);
    top->addLayout(columns);
    top->addLayout(buttons);
}

QGroupBox* PersonalSettingsWindow::buildSoundGroup()
{
    auto* group = new QGroupBox(u"打铃设置"_s, this);
    m_CheckBox2 = checkBox(u"CheckBox2"_s, u"过完皮毛车次后自动播放打铃声音"_s, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_CheckBox2);
    return group;
}

QGroupBox* PersonalSettingsWindow::buildAutoRunGroup()
{
    auto* group = new QGroupBox(u"自动运行"_s, this);
    m_CheckBox5 = checkBox(u"CheckBox5"_s, u"开机自动运行"_s, group);
    m_Checkbox4 = checkBox(u"Checkbox4"_s, u"定时关机"_s, group);
    m_DateTimePicker1 = timePicker(u"DateTimePicker1"_s, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_CheckBox5);
    layout->addLayout(row({m_Checkbox4, m_DateTimePicker1}));
    return group;
}

QGroupBox* PersonalSettingsWindow::buildWeighingGroup()
{
    auto* group = new QGroupBox(u"称重参数"_s, this);
    m_LabeledEdit3 = lineEdit(u"LabeledEdit3"_s, group);
    m_LabeledEdit1 = lineEdit(u"LabeledEdit1"_s, group);
    m_CheckBox6 = checkBox(u"CheckBox6"_s, u"过皮是否检查数据"_s, group);
    m_RzRadioButton1 = radioButton(u"RzRadioButton1"_s, u"千克(kg)"_s, group);
    m_RzRadioButton2 = radioButton(u"RzRadioButton2"_s, u"吨(t)"_s, group);
    exclusive(m_RzRadioButton1, m_RzRadioButton2, group);

    // Key presses are filtered (with a beep); the validator also keeps pasted or composed text out.
    for (QLineEdit* digitsOnly : {m_LabeledEdit3, m_LabeledEdit1}) {
        digitsOnly->installEventFilter(this);
        digitsOnly->setValidator(new QRegularExpressionValidator(QRegularExpression(u"[0-9]*"_s), digitsOnly));
    }

    auto* label3 = new QLabel(u"检索称重数目"_s, group);
    label3->setObjectName(u"LabeledEdit3Label"_s);
    label3->setBuddy(m_LabeledEdit3);
    auto* label1 = new QLabel(u"汽车皮重下限值"_s, group);
    label1->setObjectName(u"LabeledEdit1Label"_s);
    label1->setBuddy(m_LabeledEdit1);

    auto* grid = new QGridLayout(group);
    grid->addWidget(label3, 0, 0);
    grid->addWidget(m_LabeledEdit3, 0, 1);
    grid->addWidget(label1, 1, 0);
    grid->addWidget(m_LabeledEdit1, 1, 1);
    grid->addWidget(m_CheckBox6, 2, 0, 1, 2);
    grid->addLayout(row({m_RzRadioButton1, m_RzRadioButton2}), 3, 0, 1, 2);
    return group;
}

QGroupBox* PersonalSettingsWindow::buildPrintGroup()
{
    auto* group = new QGroupBox(u"打印设置"_s, this);
    m_CheckBox7 = checkBox(u"CheckBox7"_s, u"过完皮毛净是否直接打印"_s, group);
    m_RzRadioButton3 = radioButton(u"RzRadioButton3"_s, u"快速打印"_s, group);
    m_RzRadioButton4 = radioButton(u"RzRadioButton4"_s, u"万能打印"_s, group);
    exclusive(m_RzRadioButton3, m_RzRadioButton4, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_CheckBox7);
    layout->addLayout(row({m_RzRadioButton3, m_RzRadioButton4}));
    return group;
}

QGroupBox* PersonalSettingsWindow::buildVideoGroup()
{
    auto* group = new QGroupBox(u"是否开启视频采集功能"_s, this);
    m_CheckBox3 = checkBox(u"CheckBox3"_s, u"开启视频采集功能并将图像保存在备份文件中"_s, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_CheckBox3);
    return group;
}

QGroupBox* PersonalSettingsWindow::buildSystemGroup()
{
    auto* group = new QGroupBox(u"系统参数"_s, this);
    m_edit1 = lineEdit(u"edit1"_s, group);
    m_edit1->setMinimumWidth(300);
    QPushButton* backupButton = browseButton(u"BackupFolderButton"_s, group);
    m_CheckBox11 = checkBox(u"CheckBox11"_s, u"定时备份"_s, group);
    m_DateTimePicker2 = timePicker(u"DateTimePicker2"_s, group);
    m_CheckBox12 = checkBox(u"CheckBox12"_s, u"退出系统自动备份   "_s, group);
    m_Edit2 = lineEdit(u"Edit2"_s, group);
    QPushButton* pictureButton = browseButton(u"PictureButton"_s, group);
    m_CheckBox1 = checkBox(u"CheckBox1"_s, u"不使用背景图片，使用背景颜色  "_s, group);
    m_Edit3 = lineEdit(u"Edit3"_s, group);
    m_Edit3->setReadOnly(true);
    m_Edit3->setFixedWidth(64);
    m_Edit3->setCursor(Qt::PointingHandCursor);
    m_Edit3->installEventFilter(this);
    m_ComboBox1 = new QComboBox(group);
    m_ComboBox1->setObjectName(u"ComboBox1"_s);
    m_ComboBox1->setEditable(true);
    m_ComboBox1->setInsertPolicy(QComboBox::NoInsert);

    auto* backupLabel = new QLabel(u"设置数据的备份路径："_s, group);
    backupLabel->setBuddy(m_edit1);
    auto* pictureLabel = new QLabel(u"背景图片路径，背景图片大小为显示器显示象素大小"_s, group);
    pictureLabel->setBuddy(m_Edit2);
    auto* imeLabel = new QLabel(u"选择你喜欢的输入法"_s, group);
    imeLabel->setBuddy(m_ComboBox1);

    auto* layout = new QVBoxLayout(group);
    layout->addWidget(backupLabel);
    layout->addLayout(row({m_edit1, backupButton}, false));
    layout->addLayout(row({m_CheckBox11, m_DateTimePicker2}));
    layout->addWidget(m_CheckBox12);
    layout->addSpacing(6);
    layout->addWidget(pictureLabel);
    layout->addLayout(row({m_Edit2, pictureButton}, false));
    layout->addLayout(row({m_CheckBox1, m_Edit3}));
    layout->addSpacing(6);
    layout->addWidget(imeLabel);
    layout->addWidget(m_ComboBox1);

    connect(backupButton, &QPushButton::clicked, this, &PersonalSettingsWindow::BackupFolderButtonClick);
    connect(pictureButton, &QPushButton::clicked, this, &PersonalSettingsWindow::PictureButtonClick);
    return group;
}

QGroupBox* PersonalSettingsWindow::buildCheckGroup()
{
    auto* group = new QGroupBox(u"数据检测"_s, this);
    m_CheckBox8 = checkBox(u"CheckBox8"_s, u"是否检测当前时间小于最后过磅时间"_s, group);
    m_CheckBox9 = checkBox(u"CheckBox9"_s, u"是否检测当前皮重与历史皮重差值"_s, group);
    m_CheckBox10 = checkBox(u"CheckBox10"_s, u"系统时间大于最后过磅时间30天时，自动提醒。"_s, group);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_CheckBox8);
    layout->addWidget(m_CheckBox9);
    layout->addWidget(m_CheckBox10);
    return group;
}

void PersonalSettingsWindow::FormCreate()
{
    m_ComboBox1->addItems(m_ctx.shell.inputMethods());
    const IniFile ini(m_ctx.dm.iniPath());
    fillControls(PersonalSettings::read(ini, m_ctx.dm.ProgramFolder()));
}

void PersonalSettingsWindow::fillControls(const PersonalSettings& s)
{
    m_edit1->setText(s.backupFolder);
    m_Edit2->setText(s.picturePath);
    setBackdropColor(s.backdropColor);
    m_DateTimePicker1->setTime(s.shutdownTime);
    m_LabeledEdit3->setText(s.selectNum);
    m_LabeledEdit1->setText(s.lowerLimit);
    m_CheckBox1->setChecked(s.backdrop);
    m_CheckBox2->setChecked(s.sound);
    m_Checkbox4->setChecked(s.shutdownEnabled);
    m_CheckBox5->setChecked(s.autoRun);
    m_CheckBox6->setChecked(s.checkData);
    m_CheckBox7->setChecked(s.printDirectly);
    m_CheckBox8->setChecked(s.checkLaterThanLast);
    m_CheckBox9->setChecked(s.checkTareDifference);
    m_CheckBox10->setChecked(s.remindAfter30Days);
    m_CheckBox3->setChecked(s.video);
    m_CheckBox11->setChecked(s.autoBackup);
    m_CheckBox12->setChecked(s.closeBackup);
    m_DateTimePicker2->setTime(s.backupTime);
    m_ComboBox1->setCurrentText(s.imeName);
    (s.kilograms ? m_RzRadioButton1 : m_RzRadioButton2)->setChecked(true);
    (s.quickPrint ? m_RzRadioButton3 : m_RzRadioButton4)->setChecked(true);
}

PersonalSettings PersonalSettingsWindow::collect() const
{
    PersonalSettings s;
    s.backupFolder = m_edit1->text();
    s.picturePath = m_Edit2->text();
    s.backdropColor = m_backdropColor;
    s.shutdownTime = m_DateTimePicker1->time();
    s.selectNum = m_LabeledEdit3->text();
    s.lowerLimit = m_LabeledEdit1->text();
    s.backdrop = m_CheckBox1->isChecked();
    s.sound = m_CheckBox2->isChecked();
    s.shutdownEnabled = m_Checkbox4->isChecked();
    s.autoRun = m_CheckBox5->isChecked();
    s.checkData = m_CheckBox6->isChecked();
    s.printDirectly = m_CheckBox7->isChecked();
    s.checkLaterThanLast = m_CheckBox8->isChecked();
    s.checkTareDifference = m_CheckBox9->isChecked();
    s.remindAfter30Days = m_CheckBox10->isChecked();
    s.video = m_CheckBox3->isChecked();
    s.autoBackup = m_CheckBox11->isChecked();
    s.closeBackup = m_CheckBox12->isChecked();
    s.backupTime = m_DateTimePicker2->time();
    s.imeName = m_ComboBox1->currentText();
    s.kilograms = m_RzRadioButton1->isChecked();
    s.quickPrint = m_RzRadioButton3->isChecked();
    return s;
}

void PersonalSettingsWindow::setBackdropColor(const QColor& color)
{
    m_backdropColor = color;
    QPalette palette = m_Edit3->palette();
    palette.setColor(QPalette::Base, color);
    m_Edit3->setPalette(palette);
}

void PersonalSettingsWindow::BackupFolderButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        if (const auto folder = m_ctx.prompter.chooseFolder(u"请选择备份文件的目录"_s, desktop))
            m_edit1->setText(QDir::toNativeSeparators(*folder));
    });
}

void PersonalSettingsWindow::PictureButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        const QString start = QFileInfo(QDir::fromNativeSeparators(m_Edit2->text())).absolutePath();
        const auto file = m_ctx.prompter.chooseOpenFile(
            u"打开"_s, start, u"图片文件 (*.jpg *.jpeg *.bmp *.png *.gif);;所有文件 (*)"_s);
        if (file)
            m_Edit2->setText(QDir::toNativeSeparators(*file));
    });
}

void PersonalSettingsWindow::Edit3Click()
{
    guarded(m_ctx.prompter, [this] {
        if (const auto color = m_ctx.prompter.chooseColor(m_backdropColor))
            setBackdropColor(*color);
    });
}

void PersonalSettingsWindow::BitBtn1Click()
{
    guarded(m_ctx.prompter, [this] {
        const PersonalSettings s = collect();
        IniFile ini(m_ctx.dm.iniPath());
        s.write(ini, m_ctx.dm.ProgramFolder());
        // The main window's power-off timer uses both values from now on, not only after a restart.
        Q_EMIT shutdownScheduleChanged(s.shutdownEnabled, s.shutdownTime);
        m_ctx.shell.setAutorun(
            u"weight"_s, autorunCommand(m_ctx.shell.programFile(), m_ctx.dm.ProgramFolder()), s.autoRun);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"个性设置"_s, QString());
        m_ctx.prompter.information(u"注意:有些设置需要在重新启动本软件系统时生效。"_s, u"提示"_s);
        accept();
    });
}

bool PersonalSettingsWindow::digitFilterDrops(QEvent* event) const
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Backspace || key->text().isEmpty())
        return false;
    const QChar c = key->text().front();
    // Navigation, Tab, Enter and Esc carry control characters and keep their usual meaning; so do the
    // editing shortcuts, whose pasted text the validator checks.
    if (c.unicode() < 0x20 || c.unicode() == 0x7F || key->modifiers() & Qt::ControlModifier)
        return false;
    return !(key->text().size() == 1 && c >= u'0' && c <= u'9');
}

bool PersonalSettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_LabeledEdit3 || watched == m_LabeledEdit1) && digitFilterDrops(event)) {
        QApplication::beep();
        return true;
    }
    if (watched == m_Edit3 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Edit3Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
