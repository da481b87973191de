#include "CommunicationSetupWindow.h"

#include "ConsoleText.h"
#include "TestConsole.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "platform/SerialLine.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QComboBox* makeBox(QWidget* parent, const QString& name, const QStringList& items)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    return box;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

/** The system's serial ports as the port box offers them; typed device paths are accepted as well. */
QStringList portItems()
{
    QStringList ports;
#ifdef Q_OS_WIN
    for (int i = 1; i <= 7; ++i)
        ports.append(u"COM%1"_s.arg(i));
#endif
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        const QString name = info.portName();
#else
        const QString name = info.systemLocation();
#endif
        if (!ports.contains(name))
            ports.append(name);
    }
    return ports;
}

void setBoxText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
    box->setEditText(text);
}

} // namespace

CommunicationSetupWindow::CommunicationSetupWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_Comm1(ctx.makeSerialLine())
{
    setObjectName(u"Tparameters_comfrm"_s);
    setWindowTitle(u"通讯参数设置"_s);
    buildControls();
    buildConsole();
    setMinimumWidth(760);
    connect(m_ComboBox6, &QComboBox::activated, this, &CommunicationSetupWindow::ComboBox6Select);
    connect(m_BitBtn4, &QPushButton::clicked, this, &CommunicationSetupWindow::BitBtn4Click);
    FormShow();
}

CommunicationSetupWindow::~CommunicationSetupWindow()
{
    delete m_console;
    m_Comm1->close();
}

void CommunicationSetupWindow::done(int result)
{
    m_console->shutdown();
    m_Comm1->close();
    QDialog::done(result);
}

void CommunicationSetupWindow::buildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildLineGroup());
    layout->addWidget(buildModelGroup());

    m_stepButtons = new QHBoxLayout;
    m_stepButtons->addStretch(1);
    m_BitBtn4 = new QPushButton(u"3.保存参数"_s, this);
    m_BitBtn4->setObjectName(u"BitBtn4"_s);
    m_BitBtn4->setToolTip(u"第三步：保存有效参数到数据库中"_s);
    m_BitBtn4->setAutoDefault(false);
    m_stepButtons->addWidget(m_BitBtn4);
    layout->addLayout(m_stepButtons);

    m_consoleArea = new QVBoxLayout;
    layout->addLayout(m_consoleArea, 1);
}

void CommunicationSetupWindow::buildConsole()
{
    ConsoleBoxes boxes;
    boxes.port = m_ComboBox1;
    boxes.baud = m_ComboBox2;
    boxes.parity = m_ComboBox3;
    boxes.dataBits = m_ComboBox4;
    boxes.stopBits = m_ComboBox5;
    boxes.direction = m_ComboBox7;
    boxes.readInterval = m_Edit2;
    boxes.startChar = m_Edit3;
    boxes.underloadSign = m_Edit4;
    boxes.weightOffset = m_Edit5;
    boxes.weightCount = m_Edit6;
    boxes.signOffset = m_Edit7;
    boxes.signCount = m_Edit8;
    m_console = new TestConsole(m_ctx, *m_Comm1, boxes, this);
    m_consoleArea->addWidget(m_console);
    int at = 1;
    for (QPushButton* button : m_console->searchButtons())
        m_stepButtons->insertWidget(at++, button);
}

QWidget* CommunicationSetupWindow::buildLineGroup()
{
    auto* group = new QGroupBox(u"串口参数"_s, this);
    auto* grid = new QGridLayout(group);
    m_ComboBox1 = makeBox(group, u"ComboBox1"_s, portItems());
    m_ComboBox2 = makeBox(group, u"ComboBox2"_s, {u"9600"_s, u"4800"_s, u"2400"_s, u"1200"_s, u"600"_s});
    m_ComboBox2->lineEdit()->setMaxLength(6);
    m_ComboBox3 = makeBox(group, u"ComboBox3"_s, {u"None"_s, u"Odd"_s, u"Even"_s, u"Mark"_s});
    m_ComboBox4 = makeBox(group, u"ComboBox4"_s, {u"8"_s, u"7"_s, u"6"_s});
    m_ComboBox5 = makeBox(group, u"ComboBox5"_s, {u"1"_s, u"2"_s});
    m_ComboBox1->setMinimumContentsLength(12);
    const QList<std::pair<QString, QComboBox*>> boxes{{u"端  口"_s, m_ComboBox1},
                                                      {u"波特率"_s, m_ComboBox2},
                                                      {u"校验位"_s, m_ComboBox3},
                                                      {u"数据位"_s, m_ComboBox4},
                                                      {u"停止位"_s, m_ComboBox5}};
    int column = 0;
    for (const auto& [caption, box] : boxes) {
        grid->addWidget(new QLabel(caption, group), 0, column);
        grid->addWidget(box, 1, column);
        grid->setColumnStretch(column, column == 0 ? 2 : 1);
        ++column;
    }
    return group;
}

QWidget* CommunicationSetupWindow::buildModelGroup()
{
    auto* group = new QGroupBox(u"仪表参数"_s, this);
    auto* grid = new QGridLayout(group);
    auto* note = new QLabel(u"注：以下所列参数可以会因硬件厂商的改变有所变化。"_s, group);
    note->setStyleSheet(u"color: #c00000;"_s);
    grid->addWidget(note, 0, 0, 1, 6);

    m_ComboBox6 = makeBox(group, u"ComboBox6"_s, {});
    m_ComboBox6->setMinimumContentsLength(16);
    m_Edit1 = makeEdit(group, u"Edit1"_s);
    grid->addWidget(new QLabel(u"称重仪表型号"_s, group), 1, 0);
    grid->addWidget(m_ComboBox6, 1, 1, 1, 3);
    grid->addWidget(new QLabel(u"接线说明"_s, group), 2, 0);
    grid->addWidget(m_Edit1, 2, 1, 1, 5);

    m_ComboBox7 = makeBox(group, u"ComboBox7"_s, {u"True"_s, u"False"_s});
    m_Edit2 = makeEdit(group, u"Edit2"_s);
    m_Edit3 = makeEdit(group, u"Edit3"_s);
    // Start characters are often control characters (STX): the box shows their symbols, the hint their codes.
    connect(m_Edit3, &QLineEdit::textChanged, m_Edit3, [this](const QString& text) {
        QStringList codes;
        for (const QChar c : rawControls(text))
            codes.append(u"%1"_s.arg(uint(c.unicode()), 2, 16, QChar(u'0')).toUpper());
        m_Edit3->setToolTip(codes.isEmpty() ? QString() : u"起始字符的编码：%1"_s.arg(codes.join(u' ')));
    });
    m_Edit5 = makeEdit(group, u"Edit5"_s);
    m_Edit6 = makeEdit(group, u"Edit6"_s);
    m_Edit7 = makeEdit(group, u"Edit7"_s);
    m_Edit8 = makeEdit(group, u"Edit8"_s);
    const QList<std::pair<QString, QWidget*>> fields{
        {u"流向"_s, m_ComboBox7},     {u"一帧字符个数"_s, m_Edit2}, {u"起始字符"_s, m_Edit3},
        {u"重量字符位置"_s, m_Edit5}, {u"重量字符个数"_s, m_Edit6}, {u"负载字符位置"_s, m_Edit7},
        {u"负载字符个数"_s, m_Edit8}};
    int at = 0;
    for (const auto& [caption, widget] : fields) {
        const int row = 3 + at / 3;
        const int column = 2 * (at % 3);
        grid->addWidget(new QLabel(caption, group), row, column);
        grid->addWidget(widget, row, column + 1);
        ++at;
    }

    m_Edit4 = makeEdit(group, u"Edit4"_s);
    m_Edit9 = makeEdit(group, u"Edit9"_s);
    m_Edit10 = makeEdit(group, u"Edit10"_s);
    auto* marks = new QHBoxLayout;
    for (QLineEdit* edit : {m_Edit4, m_Edit9, m_Edit10})
        marks->addWidget(edit);
    grid->addWidget(new QLabel(u"欠载、静态、动态"_s, group), 5, 2);
    grid->addLayout(marks, 5, 3, 1, 3);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
    return group;
}

void CommunicationSetupWindow::FormShow()
{
    guarded(m_ctx.prompter, [this] {
        const QSqlDatabase db = m_ctx.dm.Parameters();
        m_ComboBox6->clear();
        m_ComboBox6->addItems(IndicatorModels::names(db));
        m_ComboBox6->addItem(IndicatorModels::NewModelItem);
        fillControls(IndicatorModels::selected(db));
    });
}

void CommunicationSetupWindow::ComboBox6Select(int index)
{
    if (index == m_ComboBox6->count() - 1) {
        m_ComboBox7->setCurrentIndex(0);
        m_Edit1->setText(u"未知"_s);
        m_Edit2->setText(u"18"_s);
        return;
    }
    guarded(m_ctx.prompter, [this] {
        fillControls(IndicatorModels::find(m_ctx.dm.Parameters(), m_ComboBox6->currentText()));
    });
}

void CommunicationSetupWindow::BitBtn4Click()
{
    const bool saved =
        guarded(m_ctx.prompter, [this] { IndicatorModels::save(m_ctx.dm.Parameters(), modelOfControls()); });
    if (saved)
        m_ctx.prompter.information(u"数据参数保存完毕"_s, u"提示"_s);
}

void CommunicationSetupWindow::fillControls(const std::optional<IndicatorModel>& model)
{
    const IndicatorModel m = model.value_or(IndicatorModel{});
    setBoxText(m_ComboBox1, m.Commname);
    setBoxText(m_ComboBox2, m.Baudrate);
    setBoxText(m_ComboBox3, m.Parity);
    setBoxText(m_ComboBox4, m.Bytesize);
    setBoxText(m_ComboBox5, m.Stopbits);
    setBoxText(m_ComboBox6, m.name);
    setBoxText(m_ComboBox7, model && m.Direction ? u"True"_s : u"False"_s);
    m_Edit1->setText(m.wiring);
    m_Edit1->setCursorPosition(0);
    m_Edit2->setText(m.CountChar);
    m_Edit3->setText(visibleControls(m.StarChar));
    m_Edit4->setText(m.OrderChar1);
    m_Edit9->setText(m.OrderChar2);
    m_Edit10->setText(m.OrderChar3);
    m_Edit5->setText(m.StarWeightChar);
    m_Edit6->setText(m.WeightCharCount);
    m_Edit7->setText(m.StarOrderChar);
    m_Edit8->setText(m.OrderCharCount);
}

IndicatorModel CommunicationSetupWindow::modelOfControls() const
{
    IndicatorModel m;
    m.name = m_ComboBox6->currentText();
    m.wiring = m_Edit1->text();
    m.Commname = m_ComboBox1->currentText();
    m.Baudrate = m_ComboBox2->currentText();
    m.Parity = m_ComboBox3->currentText();
    m.Bytesize = m_ComboBox4->currentText();
    m.Stopbits = m_ComboBox5->currentText();
    m.Direction = m_ComboBox7->currentText().trimmed().compare(u"True"_s, Qt::CaseInsensitive) == 0;
    m.CountChar = m_Edit2->text();
    m.StarChar = rawControls(m_Edit3->text());
    m.StarWeightChar = m_Edit5->text();
    m.WeightCharCount = m_Edit6->text();
    m.StarOrderChar = m_Edit7->text();
    m.OrderCharCount = m_Edit8->text();
    m.OrderChar1 = m_Edit4->text();
    m.OrderChar2 = m_Edit9->text();
    m.OrderChar3 = m_Edit10->text();
    return m;
}
