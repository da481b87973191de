#include "WeighStation.h"

#include "IndicatorReader.h"
#include "audit/StaleTareWindow.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "widgets/ChildWindow.h"
#include "widgets/GridStyle.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"
#include "platform/Sound.h"
#include "platform/SystemShell.h"
#include "platform/TicketPrinter.h"
#include "records/WordPickerDialog.h"
#include "video/VideoStrip.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor EnteredBoxColor(157, 206, 255);

/** Hints of the original are written with "#13" for a line break. */
QString hint(const QString& text)
{
    return QString(text).replace(u"#13"_s, u"\n"_s);
}

QPixmap lamp(const QColor& color)
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient gradient(8, 8, 12);
    gradient.setColorAt(0, color.lighter(170));
    gradient.setColorAt(1, color);
    painter.setBrush(gradient);
    painter.setPen(QPen(color.darker(150), 1));
    painter.drawEllipse(1, 1, 20, 20);
    return pixmap;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

QString WeighStation::rhyme()
{
    const QStringList lines{
        u"过磅操作要口诀："_s, QString(),           u"汽车上秤三步走"_s, u"车号输入最优先"_s,
        u"先取重后保存"_s,     u"两个步骤不可少"_s, QString(),           u"取重自把数据调"_s,
        u"保持之前录数据"_s,   QString(),           u"输入数据有方法"_s, u"复制数据效率高"_s,
        u"选择词汇也不慢"_s,   QString(),           u"检测数据看设置"_s, u"毛重称重必填写"_s};
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

WeighStation::WeighStation(AppContext& ctx, QWidget* parent)
    : QWidget(parent), m_ctx(ctx), m_session(ctx.dm, ctx.clock, StationSettings::read(ctx.dm.iniPath())),
      m_reader(new IndicatorReader(ctx.makeSerialLine(), ctx.dm, ctx.clock, ctx.login, this))
{
    setObjectName(u"Tweighfrm"_s);
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);
    FormCreate();
}

WeighStation::~WeighStation()
{
    // The children outlive this part of the object; their events must not reach it any more.
    for (QWidget* child : findChildren<QWidget*>())
        child->removeEventFilter(this);
}

void WeighStation::FormCreate()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->setSpacing(6);
    layout->addWidget(buildTopStrip());
    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    body->addWidget(buildRecordArea(), 1);
    body->addWidget(buildRightPanel());
    layout->addLayout(body, 1);

    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(u"Timer1"_s);
    m_Timer1->setInterval(2000);
    connect(m_Timer1, &QTimer::timeout, this, &WeighStation::Timer1Timer);
    connect(m_reader, &IndicatorReader::chunkHandled, this, &WeighStation::showLiveWeight);
    connect(m_reader, &IndicatorReader::readingChanged, this, &WeighStation::showLiveWeight);
    connect(m_reader, &IndicatorReader::problem, this, &WeighStation::showReaderProblem);
    makeShortcuts();

    m_unit->setText(m_reader->unitLabel());
    m_panes[1]->setText(u"始ID："_s + m_session.settings().startRecord);
    m_RzCheckBox1->setChecked(m_session.settings().hideHelp);
    applyHelpVisibility();
    m_P1->setVisible(m_session.settings().video);
    showLiveWeight();
    watchFocusables(this);
}

QWidget* WeighStation::buildTopStrip()
{
    auto* strip = new QFrame(this);
    strip->setObjectName(u"Panel1"_s);
    strip->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(12);
    row->addWidget(buildWeightDisplay());

    auto* state = new QVBoxLayout;
    state->addWidget(caption(u"状态"_s, strip));
    m_IgeOn = new QLabel(strip);
    m_IgeOn->setObjectName(u"IgeOn"_s);
    m_IgeOn->setPixmap(lamp(QColor(0, 190, 0)));
    m_IgeOn->setToolTip(u"重量稳定"_s);
    m_IgeOff = new QLabel(strip);
    m_IgeOff->setObjectName(u"IgeOff"_s);
    m_IgeOff->setPixmap(lamp(QColor(220, 0, 0)));
    m_IgeOff->setToolTip(u"重量不稳定"_s);
    state->addWidget(m_IgeOn, 0, Qt::AlignHCenter);
    state->addWidget(m_IgeOff, 0, Qt::AlignHCenter);
    state->addStretch();
    row->addLayout(state);

    const auto figure = [&](const QString& name, const QString& text) {
        auto* column = new QVBoxLayout;
        column->addWidget(caption(text, strip));
        QLineEdit* box = makeFigureBox(name);
        column->addWidget(box);
        column->addStretch();
        row->addLayout(column);
        return box;
    };
    m_Edit1 = figure(u"Edit1"_s, u"毛重"_s);
    m_Edit2 = figure(u"Edit2"_s, u"毛皮重"_s);

    auto* help = new QVBoxLayout;
    m_tip = new QLabel(u"温馨提示:一次计量时会临时存储皮重,二次计量后可自动识别皮重毛重"_s, strip);
    m_tip->setObjectName(u"Label5"_s);
    m_tip->setWordWrap(true);
    m_tip->setStyleSheet(u"color: rgb(0, 0, 160);"_s);
    help->addWidget(m_tip);
    auto* helpButtons = new QHBoxLayout;
    m_RzBitBtn4 =
        makeButton(u"RzBitBtn4"_s, u"口诀"_s, u"查看口诀便于您快速使用软件"_s, &WeighStation::RzBitBtn4Click);
    m_RzBitBtn5 = makeButton(u"RzBitBtn5"_s, u"过磅视频教程"_s, u"教你2秒钟的过磅视频教程，初学者一定要看"_s,
                             &WeighStation::RzBitBtn5Click);
    m_RzCheckBox1 = new QCheckBox(u"隐藏帮助提示"_s, strip);
    m_RzCheckBox1->setObjectName(u"RzCheckBox1"_s);
    connect(m_RzCheckBox1, &QCheckBox::clicked, this, &WeighStation::RzCheckBox1Click);
    helpButtons->addWidget(m_RzBitBtn4);
    helpButtons->addWidget(m_RzBitBtn5);
    helpButtons->addWidget(m_RzCheckBox1);
    helpButtons->addStretch();
    help->addLayout(helpButtons);
    help->addStretch();
    row->addLayout(help, 1);

    auto* tools = new QVBoxLayout;
    tools->addWidget(makeButton(u"BitBtn6"_s, u"高级"_s, hint(u"高级数据维护#13快捷键F11"_s),
                                &WeighStation::BitBtn6Click));
    tools->addWidget(
        makeButton(u"RzBitBtn3"_s, u"存皮"_s, u"设置此车固定皮重F12"_s, &WeighStation::RzBitBtn3Click));
    tools->addStretch();
    row->addLayout(tools);
    return strip;
}

QWidget* WeighStation::buildWeightDisplay()
{
    auto* display = new QFrame(this);
    display->setObjectName(u"WeightDisplay"_s);
    display->setStyleSheet(u"QFrame#WeightDisplay { background: black; border: 2px solid rgb(60, 60, 60); "
                           "border-radius: 4px; }"_s);
    auto* row = new QHBoxLayout(display);
    row->setContentsMargins(10, 2, 10, 2);
    m_Edit = new QLineEdit(display);
    m_Edit->setObjectName(u"Edit"_s);
    m_Edit->setReadOnly(true);
    m_Edit->setFocusPolicy(Qt::NoFocus);
    m_Edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_Edit->setFrame(false);
    QFont digits(u"DejaVu Sans Mono"_s);
    digits.setStyleHint(QFont::Monospace);
    digits.setPixelSize(64);
    digits.setBold(true);
    m_Edit->setFont(digits);
    m_Edit->setStyleSheet(u"QLineEdit { background: black; color: lime; border: none; }"_s);
    m_Edit->setMinimumWidth(QFontMetrics(digits).horizontalAdvance(u"-888888"_s) + 12);
    m_unit = new QLabel(display);
    m_unit->setObjectName(u"Label1"_s);
    QFont unitFont = font();
    unitFont.setPixelSize(26);
    unitFont.setBold(true);
    m_unit->setFont(unitFont);
    m_unit->setStyleSheet(u"color: lime; background: black;"_s);
    row->addWidget(m_Edit);
    row->addWidget(m_unit, 0, Qt::AlignBottom);
    return display;
}

QLineEdit* WeighStation::makeFigureBox(const QString& name)
{
    auto* box = new QLineEdit(u"0"_s, this);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont big = font();
    big.setPixelSize(24);
    big.setBold(true);
    box->setFont(big);
    box->setMinimumWidth(150);
    box->setStyleSheet(u"QLineEdit { background: rgb(255, 255, 225); color: rgb(0, 0, 128); }"_s);
    // 98.00 shows as 98.
    connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        const QString shown = Figures::withoutZeroDecimals(text);
        if (shown != text)
            box->setText(shown);
    });
    return box;
}

QPushButton* WeighStation::makeButton(const QString& name, const QString& caption, const QString& hintText,
                                      void (WeighStation::*handler)())
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(hintText);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, handler);
    return button;
}

QWidget* WeighStation::buildRecordArea()
{
    auto* area = new QWidget(this);
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_DBGrid1 = new QTableView(area);
    m_DBGrid1->setObjectName(u"DBGrid1"_s);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(&m_session.records());
    m_sorted->setSortRole(Qt::EditRole);
    m_DBGrid1->setModel(m_sorted);
    StyleGrid(m_DBGrid1);
    m_DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    m_gridMenu = new QMenu(m_DBGrid1);
    QAction* widths = m_gridMenu->addAction(u"设置表格宽度"_s);
    widths->setObjectName(u"N1"_s);
    connect(widths, &QAction::triggered, this, &WeighStation::N1Click);
    connect(m_DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_gridMenu->popup(m_DBGrid1->viewport()->mapToGlobal(at)); });
    connect(m_DBGrid1, &QTableView::clicked, this,
            [this](const QModelIndex& index) { DBGrid1CellClick(m_sorted->mapToSource(index).row()); });
    column->addWidget(m_DBGrid1, 1);

    auto* bar = new QStatusBar(area);
    bar->setObjectName(u"StatusBar1"_s);
    bar->setSizeGripEnabled(false);
    const QList<int> widthsOfPanes{120, 110, 120, 190};
    for (int i = 0; i < 5; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(u"StatusPane"_s + QString::number(i));
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setMargin(2);
        if (i < widthsOfPanes.size()) {
            pane->setMinimumWidth(widthsOfPanes[i]);
            bar->addWidget(pane);
        } else {
            bar->addWidget(pane, 1);
        }
        m_panes.append(pane);
    }
    m_panes[0]->setText(u"今日数据统计："_s);
    column->addWidget(bar);
    column->addWidget(buildVideoStrip());
    return area;
}

QWidget* WeighStation::buildVideoStrip()
{
    m_P1 = new VideoStrip(m_ctx, *m_reader, m_session.settings().video, this);
    return m_P1;
}

QWidget* WeighStation::buildRightPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(u"Panel3"_s);
    panel->setFixedWidth(330);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    m_groupbox1 = new QGroupBox(u"车号"_s, panel);
    m_groupbox1->setObjectName(u"groupbox1"_s);
    m_groupbox1->setStyleSheet(
        u"QGroupBox#groupbox1 { font-size: 20px; font-weight: bold; color: rgb(0, 0, 160); "
        "border: 1px solid rgb(150, 170, 200); border-radius: 4px; margin-top: 16px; }"
        "QGroupBox#groupbox1::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }"_s);
    auto* net = new QHBoxLayout(m_groupbox1);
    net->setContentsMargins(10, 12, 10, 8);
    net->addWidget(new QLabel(u"净重"_s, m_groupbox1));
    m_Edit3 = makeFigureBox(u"Edit3"_s);
    net->addWidget(m_Edit3, 1);
    column->addWidget(m_groupbox1);

    m_boxHint = new QLabel(u"请双击下列编辑框,选择词汇,无需维护"_s, panel);
    m_boxHint->setObjectName(u"Label6"_s);
    m_boxHint->setStyleSheet(u"color: rgb(192, 0, 0);"_s);
    column->addWidget(m_boxHint);

    m_boxPanel = new QWidget(panel);
    m_boxPanel->setObjectName(u"Panel4"_s);
    column->addWidget(m_boxPanel);
    column->addWidget(buildSteps());
    column->addStretch(1);
    return panel;
}

QWidget* WeighStation::buildSteps()
{
    auto* steps = new QGroupBox(u"步骤：选择左侧记录->毛皮重->保存"_s, this);
    steps->setObjectName(u"GroupBox2"_s);
    auto* grid = new QGridLayout(steps);
    grid->setSpacing(6);
    m_BitBtn1 = makeButton(
        u"BitBtn1"_s, u"毛皮重F1"_s,
        hint(
            u"输入车号或者复制词汇后#13第一步：取重(每次皮重车或者毛重车重量数据稳定后都要先取重)#13快捷键F1"_s),
        &WeighStation::BitBtn1Click);
    m_BitBtn2 = makeButton(
        u"BitBtn2"_s, u"保存F2"_s,
        hint(u"输入车号或者复制词汇后#13第二步：保存（每次皮重车或者毛重车取重后都要保存）#13快捷键F2"_s),
        &WeighStation::BitBtn2Click);
    m_BitBtn3 = makeButton(u"BitBtn3"_s, u"补打F9"_s,
                           hint(u"打印机卡纸的情况下打印需要选择打印数据后，然后点补打#13快捷键F9"_s),
                           &WeighStation::BitBtn3Click);
    m_BitBtn5 = makeButton(u"BitBtn5"_s, u"刷新F10"_s, hint(u"清空屏幕并显示最近相关数据记录#13快捷键F10"_s),
                           &WeighStation::BitBtn5Click);
    m_RzBitBtn1 = new QPushButton(u"返回"_s, steps);
    m_RzBitBtn1->setObjectName(u"RzBitBtn1"_s);
    m_RzBitBtn1->setToolTip(u"退出本窗体返回主窗体"_s);
    m_RzBitBtn1->setAutoDefault(false);
    connect(m_RzBitBtn1, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    m_BitBtn2->setEnabled(false);
    QFont big = font();
    big.setPixelSize(16);
    big.setBold(true);
    for (QPushButton* b : {m_BitBtn1, m_BitBtn2}) {
        b->setFont(big);
        b->setMinimumHeight(44);
    }
    for (QPushButton* b : {m_BitBtn3, m_BitBtn5, m_RzBitBtn1})
        b->setMinimumHeight(32);
    grid->addWidget(m_BitBtn1, 0, 0);
    grid->addWidget(m_BitBtn2, 0, 1);
    grid->addWidget(m_BitBtn3, 1, 0);
    grid->addWidget(m_BitBtn5, 1, 1);
    grid->addWidget(m_RzBitBtn1, 2, 0, 1, 2);
    return steps;
}

void WeighStation::makeShortcuts()
{
    const auto key = [this](Qt::Key k, auto handler) {
        auto* shortcut = new QShortcut(QKeySequence(k), this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    };
    key(Qt::Key_F1, &WeighStation::BitBtn1Click);
    key(Qt::Key_F2, [this] {
        if (m_BitBtn2->isEnabled())
            BitBtn2Click();
    });
    key(Qt::Key_F9, &WeighStation::BitBtn3Click);
    key(Qt::Key_F10, &WeighStation::BitBtn5Click);
    key(Qt::Key_F11, &WeighStation::BitBtn6Click);
    key(Qt::Key_F12, &WeighStation::RzBitBtn3Click);
}

void WeighStation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!std::exchange(m_shown, true))
        FormShow();
}

void WeighStation::FormShow()
{
    bool haveDeduction = true;
    guarded(m_ctx.prompter, [&] {
        haveDeduction = m_session.open();
        BuildWeighingBoxes();
    });
    if (!haveDeduction)
        m_ctx.prompter.warning(RecordStore::NoDeductionMessage, u"提示"_s);
    guarded(m_ctx.prompter, [&] { refresh(); });
    if (!m_boxes.isEmpty())
        m_boxes.first()->setFocus();
    // The port opens once the window is laid out and on screen, so a message about it shows over a
    // finished window.
    QTimer::singleShot(0, this, &WeighStation::openIndicator);
}

void WeighStation::openIndicator()
{
    bool haveModel = false;
    guarded(m_ctx.prompter, [&] { haveModel = m_reader->LoadIndicatorSettings(); });
    if (haveModel)
        m_reader->OpenPort();
    showLiveWeight();
}

void WeighStation::showReaderProblem(IndicatorReader::Problem kind, const QString& text)
{
    if (kind == IndicatorReader::Problem::NoModel)
        m_ctx.prompter.warning(text, IndicatorReader::NoModelTitle);
    else
        m_ctx.prompter.error(text);
    if (kind != IndicatorReader::Problem::BlackBoxFailed)
        m_panes[4]->setText(NotConnectedText);
}

LiveReading WeighStation::liveReading() const
{
    return {m_reader->hasReading(), m_reader->isStable(), m_reader->liveWeightText(), m_reader->liveWeight(),
            m_reader->lowerLimit()};
}

void WeighStation::BuildWeighingBoxes()
{
    const WeighingBoxes& boxes = m_session.boxes();
    for (int i = 0; i < boxes.count(); ++i) {
        const BoxEntry& entry = boxes.entries()[i];
        auto* box = new QLineEdit(m_boxPanel);
        box->setObjectName(entry.objectName);
        box->setToolTip(u"双击编辑框选择历史词汇/回车转移下一编辑框"_s);
        box->setFrame(false);
        box->setAutoFillBackground(true);
        // Linux has no input method per box; the hint lets an input method that honours it start
        // Latin in plate and number boxes.
        box->setInputMethodHints(entry.chineseInput ? Qt::ImhNone : Qt::ImhPreferLatin);
        box->setProperty("field", entry.field);
        box->setStyleSheet(u"QLineEdit { border: 1px solid rgb(160, 170, 190); padding: 1px 3px; }"
                           "QLineEdit:disabled { color: rgb(0, 0, 128); background: rgb(235, 235, 235); }"_s);
        auto* label = new QLabel(entry.field, m_boxPanel);
        label->setObjectName(entry.objectName + u"Label"_s);
        label->setBuddy(box);
        // The panel is on screen already: children made now are shown by hand.
        box->show();
        label->show();
        m_boxes.append(box);
    }
    placeBoxes();
    setTabOrderOfBoxes();
    watchFocusables(m_boxPanel);
}

void WeighStation::placeBoxes()
{
    const WeighingBoxes& boxes = m_session.boxes();
    if (boxes.count() == 0) {
        m_boxPanel->setFixedHeight(0);
        return;
    }
    // The layout's places, moved up so that the first row sits under the hint.
    int top = INT_MAX;
    for (const BoxEntry& entry : boxes.entries())
        top = qMin(top, entry.geometry.top());
    const int shift = top - (boxes.entries().first().labelAbove ? 22 : 6);
    int bottom = 0;
    for (int i = 0; i < boxes.count(); ++i) {
        const BoxEntry& entry = boxes.entries()[i];
        const QRect place = entry.geometry.translated(0, -shift);
        m_boxes[i]->setGeometry(place);
        auto* label = m_boxPanel->findChild<QLabel*>(entry.objectName + u"Label"_s);
        if (entry.labelAbove)
            label->setGeometry(place.left(), place.top() - 20, place.width() + 20, 18);
        else
            label->setGeometry(place.left() - 96, place.top(), 90, place.height());
        label->setAlignment(entry.labelAbove ? Qt::AlignLeft | Qt::AlignBottom
                                            : Qt::AlignRight | Qt::AlignVCenter);
        bottom = qMax(bottom, place.bottom());
    }
    m_boxPanel->setFixedHeight(bottom + 10);
}

void WeighStation::setTabOrderOfBoxes()
{
    QList<QWidget*> order(m_boxes.begin(), m_boxes.end());
    order << m_BitBtn1 << m_BitBtn2 << m_BitBtn3 << m_BitBtn5 << m_RzBitBtn1;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void WeighStation::watchFocusables(QWidget* root)
{
    for (QWidget* child : root->findChildren<QWidget*>())
        if (child->focusPolicy() != Qt::NoFocus)
            child->installEventFilter(this);
}

bool WeighStation::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QLineEdit*>(watched);
    const int index = box ? int(m_boxes.indexOf(box)) : -1;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return handleEnter(watched);
        break;
    }
    case QEvent::FocusIn:
        if (index >= 0)
            boxEntered(box);
        break;
    case QEvent::FocusOut:
        if (index >= 0)
            boxLeft(box);
        break;
    case QEvent::MouseButtonDblClick:
        if (index >= 0) {
            boxDoubleClicked(box, index);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool WeighStation::handleEnter(QObject* watched)
{
    if (watched == m_DBGrid1) {
        // At the end of the list the cursor goes back to the first record and the first column.
        const QModelIndex current = m_DBGrid1->currentIndex();
        const int rows = m_sorted->rowCount();
        if (rows == 0)
            return true;
        if (!current.isValid() || current.row() >= rows - 1)
            m_DBGrid1->setCurrentIndex(m_sorted->index(0, 0));
        else
            m_DBGrid1->setCurrentIndex(m_sorted->index(current.row() + 1, current.column()));
        return true;
    }
    focusNextChild();
    return true;
}

void WeighStation::boxEntered(QLineEdit* box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, EnteredBoxColor);
    box->setPalette(palette);
}

void WeighStation::boxLeft(QLineEdit* box)
{
    box->setPalette(QPalette());
    guarded(m_ctx.prompter, [&] {
        pullBoxes();
        m_session.updatePriceAndAmount();
        pushBoxes();
    });
}

void WeighStation::boxDoubleClicked(QLineEdit* box, int index)
{
    guarded(m_ctx.prompter, [&] {
        WordPickerDialog picker(m_ctx, m_session.boxes().entries()[index].field, box->text(), u" weight "_s,
                                this);
        picker.exec();
        box->setText(picker.PickedWord());
        box->setCursorPosition(100);
    });
}

void WeighStation::showLiveWeight()
{
    m_Edit->setText(m_reader->displayText());
    m_IgeOn->setVisible(m_reader->isStable());
    m_IgeOff->setVisible(!m_reader->isStable());
}

void WeighStation::pullBoxes()
{
    for (int i = 0; i < m_boxes.size(); ++i)
        m_session.boxes().setText(i, m_boxes[i]->text());
}

void WeighStation::pushBoxes()
{
    for (int i = 0; i < m_boxes.size(); ++i)
        if (m_boxes[i]->text() != m_session.boxes().text(i))
            m_boxes[i]->setText(m_session.boxes().text(i));
}

void WeighStation::pushFigures()
{
    m_Edit1->setText(m_session.figures().gross);
    m_Edit2->setText(m_session.figures().firstPass);
    m_Edit3->setText(m_session.figures().net);
    m_groupbox1->setTitle(m_session.plateCaption());
}

void WeighStation::applyGridColumns()
{
    ApplyGridWidths(m_ctx.dm.iniPath(), Caption, m_DBGrid1);
}

void WeighStation::showTotals()
{
    const DailyTotals totals = m_session.dailyTotals();
    m_panes[2]->setText(u"总车："_s + QString::number(totals.trucks) + u"次"_s);
    m_panes[3]->setText(u"总量:"_s + Figures::twoDecimals(totals.quantity) + u' ' + m_reader->unitLabel());
}

void WeighStation::refresh()
{
    pullBoxes();
    m_session.refresh();
    showTotals();
    applyGridColumns();
    pushBoxes();
    for (QLineEdit* box : m_boxes)
        if (WeighingBoxes::computed(box->property("field").toString()))
            box->setEnabled(false);
}

void WeighStation::stopPreparing()
{
    m_session.stopPreparing();
    m_BitBtn2->setEnabled(false);
}

void WeighStation::BitBtn1Click()
{
    guarded(m_ctx.prompter, [&] {
        pullBoxes();
        const WeighingSession::Take result = m_session.takeWeight(liveReading());
        applyGridColumns();
        switch (result) {
        case WeighingSession::Take::Ignored:
            return;
        case WeighingSession::Take::NoReading:
        case WeighingSession::Take::TooLight:
            m_ctx.prompter.information(WeighingSession::messageOf(result), u"提示"_s);
            return;
        case WeighingSession::Take::SeveralPending:
            stopPreparing();
            m_ctx.prompter.warning(WeighingSession::messageOf(result), u"提示!"_s);
            return;
        case WeighingSession::Take::NoDeduction:
            stopPreparing();
            m_ctx.prompter.warning(WeighingSession::messageOf(result), u"提示"_s);
            return;
        default:
            pushBoxes();
            pushFigures();
            m_BitBtn2->setEnabled(true);
        }
    });
}

void WeighStation::BitBtn2Click()
{
    pullBoxes();
    const QString plate = m_session.boxes().GetBoxText(u"车号"_s);
    if (plate.isEmpty())
        return;
    guarded(m_ctx.prompter, [&] {
        const WeighingSession::SaveOutcome outcome =
            m_session.save(liveReading(), m_ctx.login.CurrentOperator, IniFile(m_ctx.dm.iniPath()));
        pushBoxes();
        switch (outcome.result) {
        case WeighingSession::Save::NoReading:
            m_ctx.prompter.information(WeighingSession::NoReadingMessage, u"提示"_s);
            break;
        case WeighingSession::Save::BoxesRefused:
            m_ctx.prompter.information(WeighingBoxes::CheckMessage, u"提示"_s);
            m_boxes[outcome.failingBox]->setFocus();
            break;
        case WeighingSession::Save::SavedFirst:
            refresh();
            break;
        case WeighingSession::Save::SavedComplete:
            if (m_session.ticketAfter(outcome.result))
                PrintTicket(m_session.recordNumber());
            else
                refresh();
            break;
        case WeighingSession::Save::Ignored:
            break;
        }
    });
    // Also after an error (the record may be saved and only the ticket or the refresh failed): a second
    // F2 must not save the same figures again.
    if (m_session.settings().bell) {
        m_bellCount = 0;
        m_Timer1->start();
    }
    m_P1->TakeSaveSnapshots(plate, m_session.figures().net.toDouble() == 0);
    stopPreparing();
}

void WeighStation::BitBtn3Click()
{
    guarded(m_ctx.prompter, [&] {
        if (m_session.recordNumber().isEmpty()) {
            m_ctx.prompter.information(NoRecordChosenMessage, u"提示"_s);
            return;
        }
        printAndRefresh(m_session.recordNumber(), true);
    });
}

void WeighStation::PrintTicket(const QString& recordNumber)
{
    printAndRefresh(recordNumber, false);
}

void WeighStation::printAndRefresh(const QString& recordNumber, bool reprint)
{
    const TicketResult result = reprint ? m_ctx.ticketPrinter.ReprintTicket(recordNumber)
                                        : m_ctx.ticketPrinter.PrintTicket(recordNumber);
    if (result.printed) {
        m_panes[4]->setText(u"%1号磅单已打印：%2"_s.arg(recordNumber, result.destination));
        if (reprint)
            m_session.countReprint(recordNumber);
    } else {
        m_panes[4]->setText(u"%1号磅单没有打印：%2"_s.arg(recordNumber, result.problem));
    }
    refresh();
}

void WeighStation::BitBtn5Click()
{
    guarded(m_ctx.prompter, [&] { refresh(); });
}

void WeighStation::BitBtn6Click()
{
    StaleTareWindow review(m_ctx, this);
    review.exec();
}

void WeighStation::RzBitBtn3Click()
{
    guarded(m_ctx.prompter, [&] {
        const auto askPlate = [&] { return m_ctx.prompter.inputText(u"提示"_s, PlatePrompt, QString()); };
        const WeighingSession::StoreTare result =
            m_session.storeFixedTare(liveReading(), askPlate, m_ctx.login.CurrentOperator);
        m_ctx.prompter.information(WeighingSession::messageOf(result), u"提示"_s);
    });
}

void WeighStation::RzBitBtn4Click()
{
    guarded(m_ctx.prompter, [&] { m_ctx.prompter.information(rhyme(), u"提示"_s); });
}

void WeighStation::RzBitBtn5Click()
{
    guarded(m_ctx.prompter, [&] {
        // The tutorial program sits in the working folder, as the old station looked for it.
        if (!m_ctx.shell.open(QDir::current().absoluteFilePath(TutorialFile)))
            m_ctx.prompter.information(TutorialMissingMessage, u"提示"_s);
    });
}

void WeighStation::RzCheckBox1Click()
{
    guarded(m_ctx.prompter, [&] {
        IniFile(m_ctx.dm.iniPath()).write(Option::HideHelp, m_RzCheckBox1->isChecked());
        applyHelpVisibility();
    });
}

void WeighStation::applyHelpVisibility()
{
    const bool show = !m_RzCheckBox1->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_tip, m_RzBitBtn4, m_RzBitBtn5, m_boxHint})
        w->setVisible(show);
}

void WeighStation::Timer1Timer()
{
    if (m_bellCount < 3) {
        ++m_bellCount;
        m_ctx.sound.play(m_ctx.dm.path(u"打铃音/1.wav"_s));
    } else {
        m_bellCount = 0;
        m_Timer1->stop();
    }
}

void WeighStation::N1Click()
{
    guarded(m_ctx.prompter, [&] { SaveGridWidths(m_ctx.dm.iniPath(), Caption, m_DBGrid1, m_ctx.prompter); });
}

void WeighStation::DBGrid1CellClick(int row)
{
    guarded(m_ctx.prompter, [&] {
        pullBoxes();
        m_session.chooseRecord(row);
        pushBoxes();
        pushFigures();
        // What F1 prepared is no longer on screen; a save now would write the chosen record's values.
        stopPreparing();
    });
}

void WeighStation::closeEvent(QCloseEvent* event)
{
    if (!m_ctx.prompter.confirm(CloseQuestion, u"提示！"_s)) {
        event->ignore();
        return;
    }
    m_Timer1->stop();
    m_reader->ClosePort();
    m_P1->StopVideo();
    event->accept();
    Q_EMIT closed();
}
