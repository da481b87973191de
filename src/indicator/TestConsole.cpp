#include "TestConsole.h"

#include "IndicatorModel.h"
#include "data/DataModule.h"
#include "data/Gbk.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString OpenCaption = u"打开串口"_s;
const QString CloseCaption = u"关闭串口"_s;
const QString TestCaption = u"测试结果"_s;
const QString EndTestCaption = u"结束"_s;
const QString ParamSearchCaption = u"1.自动寻找参数"_s;
const QString DataSearchCaption = u"2.自动寻找数据"_s;
const QString FindCaption = u"自动识别仪表"_s;
const QString ShowPanelCaption = u"显示发送面板"_s;
const QString HidePanelCaption = u"隐藏发送面板"_s;
constexpr int SendPanelHeight = 97;
constexpr int AutoCleanLines = 25;
constexpr int DataSearchLines = 20;
constexpr qsizetype MaxSend = 65535;

const QStringList UsageNote{
    u"用户使用说明："_s,
    u"1、对于大部分已知仪表型号的用户来说，只要设置好波特率、校验位等"_s,
    u"参数（或者通过自动寻找参数功能让软件自动查找）后，然后选择一个"_s,
    u"仪表型号，保存参数即可。"_s,
    u"2、对于没有列出的仪表型号，可以通过自动寻找参数、自动寻找数据、"_s,
    u"保存参数三个步骤来操作。"_s,
    u"3、最后通过测试结果来测试通讯是否正常。"_s,
    QString(),
    u"注意："_s,
    u"1.当出现可见字符时请及时停止参数搜索"_s,
    u"2.当出现有效字符（最终仪表字符）时请及时停止数据搜索。否则搜索参数"_s,
    u"将不准确。"_s,
    QString(),
    u"计算机串口2脚为接受端，3脚为发送端，5脚为接地端，仪表（看仪表"_s,
    u"说明书）发送端接计算机串口2脚，仪表接受端接计算机串口3脚，下"_s,
    u"位机接地端接计算机串口5脚。"_s,
    QString(),
    u"插拨串口接头应尽量关闭计算机，至少保证一端是关闭的。"_s,
    QString(),
    u"手动调试时注意事项："_s,
    u"1、仪表波特率等参数要跟软件上的参数必须保持一致。"_s,
    u"2、出现串口打开的错误时，请关闭所有的软件程序，以便释放资源给串口"_s,
    u"调试助手。"_s,
    QString(),
    u"十六进制发送：选中（CHECK）十六进制发送后，程序会自动从发送框取16"_s,
    u"进制数发送，最好按16进制格式填写，例如：12 34 56 77 10"_s,
    QString(),
    QString(),
    u"接受数据区域,双击清空区域，自动清空的行数定为 25"_s,
};

QString exampleNote()
{
    const QString frame = u"\x02+001346219\x03"_s;
    return u"有效显示字符例如"_s + frame.repeated(4) + u"\x02+"_s + u'\n' + u"001346219\x03"_s +
           u"时再自动搜索重量数据时，当本区域的字符与称重仪表的"_s + u'\n' + u"字符完全同步吻合时则为通讯调试正确。"_s +
           u'\n' + u"对Rs232的仪表通讯来说，请设置仪表的通讯方式为连续通讯方式。"_s;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        const QString& hint = QString())
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QCheckBox* makeCheck(QWidget* parent, const QString& name, const QString& caption, bool checked)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QPlainTextEdit* makeArea(QWidget* parent, const QString& name, const QString& hint)
{
    auto* area = new QPlainTextEdit(parent);
    area->setObjectName(name);
    area->setToolTip(hint);
    area->setReadOnly(true);
    area->setLineWrapMode(QPlainTextEdit::NoWrap);
    return area;
}

QLabel* makeLamp(QWidget* parent, const QString& name, const QColor& color)
{
    QPixmap pixmap(18, 18);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(color.darker());
    painter.drawEllipse(1, 1, 16, 16);
    auto* lamp = new QLabel(parent);
    lamp->setObjectName(name);
    lamp->setPixmap(pixmap);
    return lamp;
}

std::optional<int> integerOf(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

/** A weight field as an integer: blanks around it, an optional sign and leading zeros accepted. */
std::optional<qint64> integerField(QByteArrayView field)
{
    const QByteArray text = field.toByteArray().trimmed();
    qsizetype at = text.startsWith('+') || text.startsWith('-') ? 1 : 0;
    if (at == text.size() || text.size() - at > 18)
        return std::nullopt;
    for (qsizetype i = at; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
    return text.toLongLong();
}

QString parityName(LineSettings::Parity parity)
{
    switch (parity) {
    case LineSettings::Parity::Odd:
        return u"Odd"_s;
    case LineSettings::Parity::Even:
        return u"Even"_s;
    case LineSettings::Parity::Mark:
        return u"Mark"_s;
    case LineSettings::Parity::Space:
        return u"Space"_s;
    case LineSettings::Parity::None:
        break;
    }
    return u"None"_s;
}

void setBoxText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index >= 0)
        box->setCurrentIndex(index);
    box->setEditText(text);
}

} // namespace

TestConsole::TestConsole(AppContext& ctx, SerialLine& line, const ConsoleBoxes& boxes, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_line(line), m_boxes(boxes)
{
    setObjectName(u"TestConsole"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildPortRow());
    layout->addWidget(buildAreas(), 1);
    layout->addWidget(buildSendPanel());
    layout->addWidget(buildStatusRow());

    m_Timer1.setObjectName(u"Timer1"_s);
    m_Timer1.setInterval(1000);
    m_Timer2.setObjectName(u"Timer2"_s);
    m_Timer2.setInterval(1600);
    m_Timer3.setObjectName(u"Timer3"_s);
    m_Timer3.setInterval(1200);
    m_silence.setSingleShot(true);
    m_silence.setInterval(SilenceMs);
    connectControls();
    fillInitialTexts();
}

TestConsole::~TestConsole()
{
    shutdown();
}

QList<QPushButton*> TestConsole::searchButtons() const
{
    return {m_btnFind, m_BitBtn2, m_BitBtn3};
}

void TestConsole::shutdown()
{
    m_Timer1.stop();
    m_Timer2.stop();
    m_Timer3.stop();
    m_silence.stop();
    if (m_finder)
        m_finder->stop();
}

QWidget* TestConsole::buildPortRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_ImageOff = makeLamp(row, u"ImageOff"_s, QColor(0x70, 0x70, 0x70));
    m_ImageOn = makeLamp(row, u"ImageOn"_s, QColor(0x20, 0xc0, 0x20));
    m_ImageOn->hide();
    m_btnSwitch = makeButton(row, u"btnSwitch"_s, OpenCaption);
    m_cbAutoClean = makeCheck(row, u"cbAutoClean"_s, u"自动清空"_s, true);
    m_cbRecHex = makeCheck(row, u"cbRecHex"_s, u"十六进制显示"_s, false);
    m_BitBtn1 = makeButton(row, u"BitBtn1"_s, TestCaption);
    m_BitBtn5 = makeButton(row, u"BitBtn5"_s, ShowPanelCaption);
    m_BitBtn6 = makeButton(row, u"BitBtn6"_s, u"保存文本数据"_s,
                           u"保存文本数据到文件中，以便发送邮件给软件工程师帮你调试问题"_s);
    for (QWidget* w : std::initializer_list<QWidget*>{m_ImageOff, m_ImageOn, m_btnSwitch, m_cbAutoClean,
                                                      m_cbRecHex, m_BitBtn1})
        layout->addWidget(w);
    layout->addStretch(1);
    layout->addWidget(m_BitBtn5);
    layout->addWidget(m_BitBtn6);

    // The search buttons sit in the window's row of numbered steps.
    m_btnFind = makeButton(this, u"btnFind"_s, FindCaption,
                           u"自动试遍各种串口参数，找出仪表的参数和重量数据的位置"_s);
    m_BitBtn2 = makeButton(this, u"BitBtn2"_s, ParamSearchCaption, u"第一步：自动寻找波特率等参数"_s);
    m_BitBtn3 = makeButton(this, u"BitBtn3"_s, DataSearchCaption, u"第二步：自动寻找有效字符"_s);
    return row;
}

QWidget* TestConsole::buildAreas()
{
    auto* areas = new QWidget(this);
    auto* grid = new QGridLayout(areas);
    grid->setContentsMargins(0, 0, 0, 0);
    m_Memo1 = makeArea(areas, u"Memo1"_s, u"双击清空区域"_s);
    m_Memo3 = makeArea(areas, u"Memo3"_s, u"双击清空区域"_s);
    m_Memo3->setMaximumHeight(90);
    m_RzLEDDisplay1 = new QLabel(areas);
    m_RzLEDDisplay1->setObjectName(u"RzLEDDisplay1"_s);
    m_RzLEDDisplay1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_RzLEDDisplay1->setMinimumSize(260, 64);
    m_RzLEDDisplay1->setStyleSheet(
        u"QLabel { background: black; color: #ff3030; font-size: 40px; font-weight: bold; padding: 4px; }"_s);
    m_RzBitBtn1 = makeButton(areas, u"RzBitBtn1"_s, u"测试"_s);
    grid->addWidget(m_Memo1, 0, 0, 3, 1);
    grid->addWidget(m_RzLEDDisplay1, 0, 1);
    grid->addWidget(m_RzBitBtn1, 1, 1, Qt::AlignRight);
    grid->addWidget(m_Memo3, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);
    for (QPlainTextEdit* area : {m_Memo1, m_Memo3})
        area->viewport()->installEventFilter(this);
    return areas;
}

QWidget* TestConsole::buildSendPanel()
{
    m_sendPanel = new QWidget(this);
    m_sendPanel->setObjectName(u"SendPanel"_s);
    m_sendPanel->setFixedHeight(SendPanelHeight);
    auto* grid = new QGridLayout(m_sendPanel);
    grid->setContentsMargins(0, 2, 0, 2);
    m_cbAutoSend = makeCheck(m_sendPanel, u"cbAutoSend"_s, u"自动发送"_s, false);
    m_SpinEdit1 = new QSpinBox(m_sendPanel);
    m_SpinEdit1->setObjectName(u"SpinEdit1"_s);
    m_SpinEdit1->setRange(1, 100000000);
    m_SpinEdit1->setValue(1000);
    m_cbsendHex = makeCheck(m_sendPanel, u"cbsendHex"_s, u"十六进制发送"_s, false);
    m_Memo2 = new QPlainTextEdit(m_sendPanel);
    m_Memo2->setObjectName(u"Memo2"_s);
    m_Memo2->setToolTip(u"按 Ctrl+Enter 发送，Alt+A 计数清零"_s);
    m_Memo2->installEventFilter(this);
    m_Memo2->viewport()->installEventFilter(this);
    m_edSendFile = new QLineEdit(m_sendPanel);
    m_edSendFile->setObjectName(u"edSendFile"_s);
    m_edSendFile->setReadOnly(true);
    m_BitBtn7 = makeButton(m_sendPanel, u"BitBtn7"_s, u"选择文件"_s);
    m_BitBtn8 = makeButton(m_sendPanel, u"BitBtn8"_s, u"发送文件"_s);
    m_BitBtn9 = makeButton(m_sendPanel, u"BitBtn9"_s, u"发送以上字符"_s);

    auto* options = new QVBoxLayout;
    options->addWidget(m_cbAutoSend);
    auto* interval = new QHBoxLayout;
    interval->addWidget(m_SpinEdit1);
    interval->addWidget(new QLabel(u"毫秒"_s, m_sendPanel));
    options->addLayout(interval);
    options->addWidget(m_cbsendHex);
    grid->addLayout(options, 0, 0, 2, 1);
    grid->addWidget(m_Memo2, 0, 1, 1, 3);
    grid->addWidget(m_edSendFile, 1, 1);
    grid->addWidget(m_BitBtn7, 1, 2);
    grid->addWidget(m_BitBtn8, 1, 3);
    grid->addWidget(m_BitBtn9, 0, 4);
    grid->setColumnStretch(1, 1);
    m_sendPanel->hide();
    return m_sendPanel;
}

QWidget* TestConsole::buildStatusRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto pane = [row](const QString& name) {
        auto* label = new QLabel(row);
        label->setObjectName(name);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        return label;
    };
    m_RzStatusPane1 = pane(u"RzStatusPane1"_s);
    m_RzStatusPane2 = pane(u"RzStatusPane2"_s);
    m_RzStatusPane3 = pane(u"RzStatusPane3"_s);
    m_btnSend = makeButton(row, u"btnSend"_s, u"计数清零"_s);
    layout->addWidget(m_RzStatusPane1, 3);
    layout->addWidget(m_RzStatusPane2, 1);
    layout->addWidget(m_RzStatusPane3, 1);
    layout->addWidget(m_btnSend);
    return row;
}

void TestConsole::connectControls()
{
    connect(&m_line, &SerialLine::chunkReceived, this, &TestConsole::Comm1ReceiveData);
    connect(m_btnSwitch, &QPushButton::clicked, this, &TestConsole::btnSwitchClick);
    connect(m_BitBtn1, &QPushButton::clicked, this, &TestConsole::BitBtn1Click);
    connect(m_BitBtn2, &QPushButton::clicked, this, &TestConsole::BitBtn2Click);
    connect(m_BitBtn3, &QPushButton::clicked, this, &TestConsole::BitBtn3Click);
    connect(m_RzBitBtn1, &QPushButton::clicked, this, &TestConsole::RzBitBtn1Click);
    connect(m_btnSend, &QPushButton::clicked, this, &TestConsole::btnSendClick);
    connect(m_BitBtn9, &QPushButton::clicked, this, &TestConsole::BitBtn9Click);
    connect(m_BitBtn7, &QPushButton::clicked, this, &TestConsole::BitBtn7Click);
    connect(m_BitBtn8, &QPushButton::clicked, this, &TestConsole::BitBtn8Click);
    connect(m_cbAutoSend, &QCheckBox::clicked, this, &TestConsole::cbAutoSendClick);
    connect(m_SpinEdit1, &QSpinBox::valueChanged, &m_Timer1, qOverload<int>(&QTimer::setInterval));
    connect(m_BitBtn5, &QPushButton::clicked, this, &TestConsole::BitBtn5Click);
    connect(m_BitBtn6, &QPushButton::clicked, this, &TestConsole::BitBtn6Click);
    connect(m_btnFind, &QPushButton::clicked, this, &TestConsole::btnFindClick);
    connect(&m_Timer1, &QTimer::timeout, this, &TestConsole::Timer1Timer);
    connect(&m_Timer2, &QTimer::timeout, this, &TestConsole::Timer2Timer);
    connect(&m_Timer3, &QTimer::timeout, this, &TestConsole::Timer3Timer);
    connect(&m_silence, &QTimer::timeout, this, [this] { showNumber(NoReadingText); });
}

void TestConsole::fillInitialTexts()
{
    QList<QByteArray> lines;
    for (const QString& line : UsageNote)
        lines.append(toGbk(line));
    m_log.setLines(lines);
    m_Memo1->setPlainText(UsageNote.join(u'\n'));
    m_Memo3->setPlainText(visibleControls(exampleNote()));
    m_Memo2->setPlainText(u"发送数据区域\n请在打开串口的情况下发送数据。"_s);
    m_edSendFile->setText(u"请选择发送文件"_s);
    m_RzStatusPane1->setText(u"STATUS：COM  PORT  CLOSE"_s);
    showRx();
    showTx();
}

bool TestConsole::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_Memo1->viewport())
            Memo1DblClick();
        else if (watched == m_Memo2->viewport())
            Memo2DblClick();
        else if (watched == m_Memo3->viewport())
            Memo3DblClick();
        else
            return QWidget::eventFilter(watched, event);
        return true;
    }
    if (watched == m_Memo2 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_A && key->modifiers() == Qt::AltModifier) {
            if (m_btnSend->isEnabled())
                btnSendClick();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            BitBtn9Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- the port ---------------------------------------------------------------------------------------

LineSettings TestConsole::portSettings()
{
    m_settings = consoleLineSettings(m_settings, m_boxes.port->currentText(), m_boxes.baud->currentText(),
                                     m_boxes.parity->currentText(), m_boxes.dataBits->currentText(),
                                     m_boxes.stopBits->currentText(), m_boxes.readInterval->text());
    return m_settings;
}

void TestConsole::reopenPort()
{
    const LineSettings settings = portSettings();
    m_line.close();
    m_line.open(settings);
}

void TestConsole::setPortBoxesEnabled(bool enabled)
{
    for (QComboBox* box : {m_boxes.port, m_boxes.baud, m_boxes.parity, m_boxes.dataBits, m_boxes.stopBits})
        box->setEnabled(enabled);
}

void TestConsole::refreshStatus()
{
    if (m_line.isOpen())
        m_RzStatusPane1->setText(u" STATUS: %1 Opened %2 %3 %4 %5"_s.arg(
            m_boxes.port->currentText(), m_boxes.baud->currentText(), m_boxes.parity->currentText(),
            m_boxes.dataBits->currentText(), m_boxes.stopBits->currentText()));
    else
        m_RzStatusPane1->setText(u" STATUS: COM Port Closed"_s);
}

void TestConsole::btnSwitchClick()
{
    guarded(m_ctx.prompter, [this] {
        const bool opening = m_btnSwitch->text() == OpenCaption;
        if (opening) {
            reopenPort();
            setPortBoxesEnabled(false);
            m_ImageOff->hide();
            m_ImageOn->show();
            m_btnSwitch->setText(CloseCaption);
        } else {
            m_line.close();
            setPortBoxesEnabled(true);
            m_ImageOn->hide();
            m_ImageOff->show();
            m_btnSwitch->setText(OpenCaption);
        }
        m_cbAutoSend->isChecked() ? m_Timer1.start() : m_Timer1.stop();
        refreshStatus();
    });
}

void TestConsole::BitBtn1Click()
{
    if (m_BitBtn1->text() == TestCaption) {
        m_BitBtn1->setText(EndTestCaption);
        showNumber(QString());
        if (guarded(m_ctx.prompter, [this] { reopenPort(); }))
            m_silence.start();
    } else {
        m_line.close();
        m_silence.stop();
        m_BitBtn1->setText(TestCaption);
    }
}

// --- receiving --------------------------------------------------------------------------------------

void TestConsole::Comm1ReceiveData(const QByteArray& chunk)
{
    if (m_BitBtn1->text() == EndTestCaption)
        testChunk(chunk);
    else
        displayChunk(chunk);
}

void TestConsole::addReceivedLine(const QByteArray& bytes, const QString& shown)
{
    m_log.append(bytes);
    m_Memo1->appendPlainText(shown);
    m_Memo3->setPlainText(shown);
}

void TestConsole::displayChunk(const QByteArray& chunk)
{
    if (m_cbAutoClean->isChecked() && m_log.lineCount() > AutoCleanLines) {
        m_log.clear();
        m_Memo1->clear();
    }
    addReceivedLine(chunk, m_cbRecHex->isChecked() ? BytesToHexText(chunk) : visibleText(chunk));
    RxCount += chunk.size();
    showRx();
}

void TestConsole::testChunk(const QByteArray& chunk)
{
    m_silence.start();
    const QByteArray window = m_history.push(chunk);
    addReceivedLine(window, visibleText(window));
    const bool reversed = m_boxes.direction->currentText().trimmed().compare(u"False"_s, Qt::CaseInsensitive) == 0;
    const FrameParameters parameters = FrameParameters::fromTexts(
        !reversed, rawControls(m_boxes.startChar->text()), m_boxes.weightOffset->text(),
        m_boxes.weightCount->text(), m_boxes.signOffset->text(), m_boxes.signCount->text(),
        m_boxes.underloadSign->text());
    const auto fields = FrameRule::cut(window, parameters);
    if (!fields)
        return;
    const auto weight = integerField(fields->weight);
    if (!weight)
        return;
    showNumber(QString::number(fields->negative ? -*weight : *weight));
}

void TestConsole::showNumber(const QString& text)
{
    m_RzLEDDisplay1->setText(text);
}

void TestConsole::showRx()
{
    m_RzStatusPane2->setText(u"Rx:%1"_s.arg(RxCount));
}

void TestConsole::showTx()
{
    m_RzStatusPane3->setText(u"Tx:%1"_s.arg(TxCount));
}

void TestConsole::Memo1DblClick()
{
    m_log.clear();
    m_Memo1->clear();
}

void TestConsole::Memo2DblClick()
{
    m_Memo2->clear();
}

void TestConsole::Memo3DblClick()
{
    m_Memo3->clear();
}

// --- sending ----------------------------------------------------------------------------------------

void TestConsole::btnSendClick()
{
    RxCount = 0;
    TxCount = 0;
    showRx();
    showTx();
}

void TestConsole::sendBytes(const QByteArray& bytes)
{
    // One send takes at most 65,535 bytes; a longer text goes in pieces and counts in full.
    for (qsizetype at = 0; at < bytes.size(); at += MaxSend) {
        const QByteArray piece = bytes.mid(at, MaxSend);
        if (!m_line.send(piece))
            return;
        TxCount += piece.size();
        showTx();
    }
}

QByteArray TestConsole::sendAreaBytes() const
{
    QString text = m_Memo2->toPlainText();
    text.replace(u'\n', u"\r\n"_s);
    return m_cbsendHex->isChecked() ? HexTextToBytes(text.toLatin1()) : toGbk(text);
}

void TestConsole::BitBtn9Click()
{
    if (m_btnSwitch->text() == OpenCaption) {
        btnSwitchClick();
        if (!m_line.isOpen())
            return;
    }
    sendBytes(sendAreaBytes());
}

void TestConsole::BitBtn7Click()
{
    const auto path = m_ctx.prompter.chooseOpenFile(u"选择文件"_s, m_ctx.dm.ProgramFolder(), QString());
    if (path)
        m_edSendFile->setText(QDir::toNativeSeparators(*path));
}

void TestConsole::BitBtn8Click()
{
    guarded(m_ctx.prompter, [this] {
        const QString path = QDir::fromNativeSeparators(m_edSendFile->text());
        if (!QFileInfo(path).isFile())
            return;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw FileError(u"无法读取文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
        QByteArray content = file.readAll();
        if (content.endsWith('\n'))
            content.chop(1);
        if (content.isEmpty())
            return;
        for (QByteArray line : content.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            sendBytes(line + "\r\n");
        }
    });
}

void TestConsole::cbAutoSendClick()
{
    m_cbAutoSend->isChecked() ? m_Timer1.start() : m_Timer1.stop();
    m_SpinEdit1->setEnabled(!m_Timer1.isActive());
}

void TestConsole::Timer1Timer()
{
    if (!m_Memo2->toPlainText().isEmpty())
        BitBtn9Click();
}

void TestConsole::BitBtn5Click()
{
    const bool show = m_sendPanel->isHidden();
    QWidget* window = this->window();
    m_sendPanel->setVisible(show);
    window->resize(window->width(), window->height() + (show ? SendPanelHeight : -SendPanelHeight));
    m_BitBtn5->setText(show ? HidePanelCaption : ShowPanelCaption);
}

void TestConsole::BitBtn6Click()
{
    guarded(m_ctx.prompter, [this] {
        // Seconds before minutes, as the saved files have always been named.
        const QString name = u"Da"_s + m_ctx.clock.now().toString(u"yyMMddhhssmm"_s) + u".txt"_s;
        const QString path = QDir(m_ctx.dm.ProgramFolder()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw FileError(u"无法写入文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
        QByteArray text = m_log.text();
        if (!text.isEmpty())
            text.append("\r\n");
        if (file.write(text) != text.size() || !file.flush())
            throw FileError(u"无法写入文件 %1：%2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
        file.close();
        m_ctx.prompter.warning(u"已将文本保存在"_s + QDir::toNativeSeparators(path) + u"中"_s, u"提示保存路径"_s);
    });
}

// --- parameter search -------------------------------------------------------------------------------

std::array<int, 4> TestConsole::lineBoxIndexes() const
{
    std::array<int, 4> indexes{};
    const std::array<QComboBox*, 4> boxes{m_boxes.baud, m_boxes.parity, m_boxes.dataBits, m_boxes.stopBits};
    for (size_t i = 0; i < boxes.size(); ++i)
        indexes[i] = boxes[i]->findText(boxes[i]->currentText(), Qt::MatchExactly);
    return indexes;
}

void TestConsole::setLineBoxIndexes(const std::array<int, 4>& indexes)
{
    const std::array<QComboBox*, 4> boxes{m_boxes.baud, m_boxes.parity, m_boxes.dataBits, m_boxes.stopBits};
    for (size_t i = 0; i < boxes.size(); ++i) {
        boxes[i]->setCurrentIndex(indexes[i]);
        boxes[i]->setEditText(boxes[i]->itemText(indexes[i]));
    }
}

void TestConsole::stopParamSearch()
{
    m_line.close();
    m_Timer2.stop();
    m_BitBtn2->setText(ParamSearchCaption);
}

void TestConsole::BitBtn2Click()
{
    if (m_Timer2.isActive()) {
        stopParamSearch();
        return;
    }
    if (ParamSearchStarted &&
        !m_ctx.prompter.confirm(u"如果您要继续搜索请点确定，重新搜索请点取消！"_s, u"是否继续"_s))
        ParamSearchStarted = false;
    m_Timer2.start();
    guarded(m_ctx.prompter, [this] {
        portSettings();
        m_BitBtn2->setText(u"1.搜索停止"_s);
    });
}

void TestConsole::Timer2Timer()
{
    if (!ParamSearchStarted) {
        setLineBoxIndexes({0, 0, 0, 0});
        ParamSearchStarted = true;
    } else {
        const std::array<int, 4> counts{m_boxes.baud->count(), m_boxes.parity->count(), m_boxes.dataBits->count(),
                                        m_boxes.stopBits->count()};
        const auto next = nextLineCombination(lineBoxIndexes(), counts);
        if (!next) {
            // Run through: the boxes stand on the first items but the last stop bits, the port stays closed.
            ParamSearchStarted = false;
            setLineBoxIndexes({0, 0, 0, counts[3] - 1});
            stopParamSearch();
            m_ctx.prompter.information(u"自动搜索参数结束，如果确实没有可见字符出现，请检查串口接线问题"_s,
                                       u"提示"_s);
            return;
        }
        setLineBoxIndexes(*next);
    }
    guarded(m_ctx.prompter, [this] { reopenPort(); });
}

// --- data search ------------------------------------------------------------------------------------

void TestConsole::BitBtn3Click()
{
    if (m_btnSwitch->text() == CloseCaption)
        btnSwitchClick();
    if (m_Timer3.isActive()) {
        m_Timer3.stop();
        m_BitBtn3->setText(DataSearchCaption);
        return;
    }
    m_Timer3.start();
    guarded(m_ctx.prompter, [this] {
        reopenPort();
        DataSearchStep = 0;
        m_BitBtn3->setText(u"2.搜索停止"_s);
        m_boxes.weightOffset->setText(u"1"_s);
        m_boxes.weightCount->setText(u"4"_s);
    });
}

void TestConsole::Timer3Timer()
{
    if (m_log.lineCount() <= DataSearchLines)
        return;
    if (DataSearchStep == 0) {
        m_line.close();
        DataSearchStep = 1;
        m_boxes.startChar->setText(visibleText(GuessStartChar(m_log.text())));
    }
    RzBitBtn1Click();
}

void TestConsole::RzBitBtn1Click()
{
    const auto count = integerOf(m_boxes.weightCount->text());
    const auto offsetNow = integerOf(m_boxes.weightOffset->text());
    if (!count || !offsetNow)
        return;
    int offset = *offsetNow;
    m_boxes.weightCount->setText(QString::number(*count + 1));
    if (m_boxes.weightCount->text() == u"8"_s) {
        m_boxes.weightCount->setText(u"5"_s);
        m_boxes.weightOffset->setText(QString::number(++offset));
    }
    QByteArray text = m_log.text();
    if (m_boxes.direction->currentText().trimmed().compare(u"False"_s, Qt::CaseInsensitive) == 0)
        std::reverse(text.begin(), text.end());
    const QByteArray start = rawControls(m_boxes.startChar->text()).toLatin1();
    const qsizetype p = start.isEmpty() ? 0 : text.indexOf(start) + 1;
    const qsizetype from = qMax<qsizetype>(1, p + offset);
    showNumber(visibleText(text.mid(from - 1, integerOf(m_boxes.weightCount->text()).value_or(0))));
    if (offset > 16) {
        m_Timer3.stop();
        m_BitBtn3->setText(DataSearchCaption);
        m_ctx.prompter.information(u"搜索结束！"_s, u"提示"_s);
    }
}

// --- the search that decides ------------------------------------------------------------------------

void TestConsole::showLineSettings(const LineSettings& settings)
{
    setBoxText(m_boxes.baud, QString::number(settings.baudRate));
    setBoxText(m_boxes.parity, parityName(settings.parity));
    setBoxText(m_boxes.dataBits, QString::number(settings.dataBits));
    setBoxText(m_boxes.stopBits, settings.stopBits == LineSettings::StopBits::Two ? u"2"_s : u"1"_s);
}

void TestConsole::btnFindClick()
{
    if (m_finder && m_finder->isRunning()) {
        m_finder->stop();
        return;
    }
    guarded(m_ctx.prompter, [this] {
        const LineSettings settings = portSettings();
        if (m_btnSwitch->text() == CloseCaption)
            btnSwitchClick();
        if (m_Timer2.isActive())
            stopParamSearch();
        if (m_Timer3.isActive()) {
            m_Timer3.stop();
            m_BitBtn3->setText(DataSearchCaption);
        }
        if (m_BitBtn1->text() == EndTestCaption)
            BitBtn1Click();
        m_finder = std::make_unique<IndicatorFinder>(
            m_line, IndicatorFinder::consoleCombinations(settings.portName, settings.readIntervalTimeout));
        connect(m_finder.get(), &IndicatorFinder::trying, this,
                [this](const LineSettings& s, int index, int count) {
                    showLineSettings(s);
                    m_RzStatusPane1->setText(u" 正在识别：%1 %2 %3 %4（%5/%6）"_s.arg(s.baudRate)
                                                 .arg(parityName(s.parity))
                                                 .arg(s.dataBits)
                                                 .arg(s.stopBits == LineSettings::StopBits::Two ? 2 : 1)
                                                 .arg(index + 1)
                                                 .arg(count));
                });
        connect(m_finder.get(), &IndicatorFinder::finished, this, &TestConsole::finderFinished);
        m_btnFind->setText(u"停止识别"_s);
        m_finder->start();
    });
}

void TestConsole::finderFinished(const IndicatorFinder::Result& result)
{
    m_btnFind->setText(FindCaption);
    refreshStatus();
    if (!result.failure.isEmpty()) {
        m_ctx.prompter.error(result.failure);
        return;
    }
    if (result.stopped)
        return;
    if (!result.settings || !result.proposal) {
        m_ctx.prompter.information(
                u"没有找到能读出重量的串口参数，请检查串口接线，并把仪表设为连续输出方式。"_s, u"提示"_s);
        return;
    }
    const FrameProposal& p = *result.proposal;
    showLineSettings(*result.settings);
    m_boxes.direction->setCurrentIndex(p.direction ? 0 : 1);
    m_boxes.direction->setEditText(p.direction ? u"True"_s : u"False"_s);
    m_boxes.startChar->setText(visibleText(p.startChar));
    m_boxes.weightOffset->setText(QString::number(p.weightOffset));
    m_boxes.weightCount->setText(QString::number(p.weightCount));
    m_boxes.signOffset->setText(QString::number(p.signOffset));
    m_boxes.signCount->setText(QString::number(p.signCount));
    m_boxes.underloadSign->setText(QString::fromLatin1(p.underloadSign));
    showNumber(QString::number(qint64(p.weight)));
    m_ctx.prompter.information(
        u"找到了仪表：%1 %2 %3 %4，起始字符 %5，重量从第 %6 个字符起共 %7 个，当前读数 %8。\n"
        "请用“测试结果”核对读数，然后点“3.保存参数”保存。"_s.arg(m_boxes.baud->currentText(),
                                                                  m_boxes.parity->currentText(),
                                                                  m_boxes.dataBits->currentText(),
                                                                  m_boxes.stopBits->currentText(),
                                                                  visibleText(p.startChar))
            .arg(p.weightOffset)
            .arg(p.weightCount)
            .arg(qint64(p.weight)),
        u"提示"_s);
}
