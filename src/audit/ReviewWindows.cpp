#include "ReviewWindows.h"

#include "ResultTable.h"
#include "UnrecordedLoads.h"
#include "UserStore.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "widgets/ButtonRow.h"
#include "widgets/GridFinder.h"
#include "widgets/GridStyle.h"
#include "widgets/ReadOnlyGrid.h"
#include "widgets/RecordNavigator.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QDateEdit* dateEdit(const QString& name, QWidget* parent)
{
    auto* edit = new QDateEdit(parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(u"yyyy-MM-dd"_s);
    return edit;
}

QTimeEdit* timeEdit(const QString& name, const QTime& time, QWidget* parent)
{
    auto* edit = new QTimeEdit(time, parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(u"HH:mm:ss"_s);
    return edit;
}

} // namespace

RangeReviewWindow::RangeReviewWindow(AppContext& ctx, QWidget* parent, const QString& formName,
                                     const QString& caption, RangeTable table)
    : QDialog(parent), m_ctx(ctx), m_review(ctx.dm, std::move(table))
{
    setObjectName(formName);
    setWindowTitle(caption);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    buildControls();
    setToday();
}

void RangeReviewWindow::buildControls()
{
    m_table = new ResultTable(this);
    m_grid = new ReadOnlyGrid(m_table, this);
    connect(m_grid, &ReadOnlyGrid::saveWidthsRequested, this, &RangeReviewWindow::N1Click);
    m_finder = new GridFinder(m_grid, m_ctx.prompter);
    connect(m_grid->menu()->addAction(u"查找..."_s), &QAction::triggered, m_finder, &QWidget::show);

    auto* buttons = new QHBoxLayout;
    QWidget* navigator = makeRecordNavigator(m_grid, QString(), this);
    const std::pair<QString, QString> hints[] = {{u"First"_s, u"第一条"_s},
                                                 {u"Prior"_s, u"上一条"_s},
                                                 {u"Next"_s, u"下一条"_s},
                                                 {u"Last"_s, u"最后一条"_s}};
    for (const auto& [button, hint] : hints)
        navigator->findChild<QWidget*>(button)->setToolTip(hint);
    buttons->addWidget(navigator);
    buttons->addStretch();
    addButtons<RangeReviewWindow>(this, buttons,
                                  {{u"BitBtn1", u"查询(&F)", &RangeReviewWindow::BitBtn1Click}});
    if (!m_review.table().deleteAction.isEmpty())
        addButtons<RangeReviewWindow>(this, buttons,
                                      {{u"BitBtn2", u"删除(&D)", &RangeReviewWindow::BitBtn2Click}});
    addButtons<RangeReviewWindow>(this, buttons, {{u"BitBtn3", u"关闭(&C)", nullptr}});

    m_body = new QHBoxLayout;
    m_body->addWidget(m_grid, 1);
    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(buildRange());
    m_layout->addLayout(m_body, 1);
    m_layout->addLayout(buttons);
}

QWidget* RangeReviewWindow::buildRange()
{
    auto* box = new QGroupBox(u"查询时间范围"_s, this);
    m_fromDate = dateEdit(u"DateTimePicker1"_s, box);
    m_fromTime = timeEdit(u"DateTimePicker2"_s, QTime(0, 0, 0), box);
    m_toDate = dateEdit(u"DateTimePicker3"_s, box);
    m_toTime = timeEdit(u"DateTimePicker4"_s, QTime(23, 59, 59), box);
    auto* row = new QHBoxLayout(box);
    row->addWidget(new QLabel(u"从"_s, box));
    row->addWidget(m_fromDate);
    row->addWidget(m_fromTime);
    row->addSpacing(16);
    row->addWidget(new QLabel(u"到"_s, box));
    row->addWidget(m_toDate);
    row->addWidget(m_toTime);
    row->addStretch();
    return box;
}

void RangeReviewWindow::setToday()
{
    const QDate today = m_ctx.clock.now().date();
    m_fromDate->setDate(today);
    m_toDate->setDate(today);
}

TimeRange RangeReviewWindow::pickedRange() const
{
    return TimeRange::of(m_fromDate->date(), m_fromTime->time(), m_toDate->date(), m_toTime->time());
}

void RangeReviewWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (std::exchange(m_shown, true))
        return;
    setToday();
    BitBtn1Click();
    afterFirstShow();
}

int RangeReviewWindow::currentRecord() const
{
    return m_grid->currentSourceRow();
}

void RangeReviewWindow::BitBtn1Click()
{
    const bool ok = guarded(m_ctx.prompter, [this] {
        QSqlQuery rows = m_review.query(pickedRange());
        m_table->load(rows);
        ApplyGridWidths(m_ctx.dm.iniPath(), windowTitle(), m_grid);
        m_grid->goToFirstRow();
        afterQuery();
    });
    if (!ok)
        m_table->clear();
}

void RangeReviewWindow::BitBtn2Click()
{
    if (!m_ctx.prompter.confirm(DeleteQuestion, u"提示!"_s))
        return;
    const bool ok =
        guarded(m_ctx.prompter, [this] { m_review.deleteLastRange(m_ctx.login.CurrentOperator); });
    if (ok)
        BitBtn1Click();
}

void RangeReviewWindow::N1Click()
{
    guarded(m_ctx.prompter,
            [this] { SaveGridWidths(m_ctx.dm.iniPath(), windowTitle(), m_grid, m_ctx.prompter); });
}

// ---- Log viewer

LogWindow::LogWindow(AppContext& ctx, QWidget* parent)
    : RangeReviewWindow(ctx, parent, u"Tlogfrm"_s, Caption, Review::OperationLog)
{
    setFixedSize(900, 560);
}

// ---- Recycle bin

RecycleBinWindow::RecycleBinWindow(AppContext& ctx, QWidget* parent)
    : RangeReviewWindow(ctx, parent, u"Trecyclefrm"_s, Caption, Review::RecycleBin)
{
    auto* pane = new QGroupBox(u"记录内容"_s, this);
    pane->setObjectName(u"RecordPane"_s);
    m_note = new QLabel(pane);
    m_note->setObjectName(u"RecordNote"_s);
    m_note->setWordWrap(true);
    auto* scroll = new QScrollArea(pane);
    scroll->setWidgetResizable(true);
    m_fields = new QWidget(scroll);
    m_fields->setObjectName(u"RecordFields"_s);
    new QFormLayout(m_fields);
    scroll->setWidget(m_fields);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->addWidget(m_note);
    paneLayout->addWidget(scroll, 1);
    pane->setMinimumWidth(320);
    bodyLayout()->addWidget(pane);
    setFixedSize(1100, 620);

    guarded(m_ctx.prompter,
            [this] { m_layoutColumns = m_ctx.dm.dialect().columns(m_ctx.dm.weightdatabase(), u"weight"_s); });
    connect(grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &RecycleBinWindow::showCurrentEntry);
}

void RecycleBinWindow::afterFirstShow()
{
    // The first listing is shown to everyone who can open the window; the right gates further queries.
    guarded(m_ctx.prompter, [this] {
        const bool mayQuery =
            UserStore::rightsOf(m_ctx.dm.weightdatabase(), m_ctx.login.CurrentOperator).value(u"查询"_s);
        findChild<QWidget*>(u"BitBtn1"_s)->setEnabled(mayQuery);
    });
}

void RecycleBinWindow::afterQuery()
{
    showCurrentEntry();
}

QString RecycleBinWindow::formNote() const
{
    return m_note->text();
}

void RecycleBinWindow::showCurrentEntry()
{
    const int row = currentRecord();
    const QString action = table()->value(row, u"操作类型"_s).toString();
    if (row < 0 || (action != u"修改"_s && action != u"删除"_s)) {
        m_note->setText(row < 0 ? QString() : u"这条日志不是记录的修改或删除。"_s);
        fillForm({});
        return;
    }
    const RecordSnapshot::Split split =
        RecordSnapshot::split(table()->value(row, u"操作内容"_s).toString(), m_layoutColumns);
    QString note = u"%1前的记录（%2，%3）"_s.arg(
        action, table()->value(row, u"操作人"_s).toString(),
        Dialect::dateTimeText(Dialect::toDateTime(table()->value(row, u"操作时间"_s))));
    if (!split.fits)
        note += u"\n内容与现在的称重项目对不上，按方括号逐项列出。"_s;
    else if (split.ambiguous)
        note += u"\n内容含有方括号，个别项目的划分可能有误，请核对。"_s;
    m_note->setText(note);
    fillForm(split);
}

void RecycleBinWindow::fillForm(const RecordSnapshot::Split& split)
{
    auto* form = static_cast<QFormLayout*>(m_fields->layout());
    while (form->rowCount() > 0)
        form->removeRow(0);
    m_shown.clear();
    for (int i = 0; i < split.values.size(); ++i) {
        const QString name = split.fits ? m_layoutColumns[i].name : u"第%1项"_s.arg(i + 1);
        auto* value = new QLineEdit(split.values[i], m_fields);
        value->setReadOnly(true);
        value->setCursorPosition(0);
        form->addRow(name, value);
        m_shown.append({name, split.values[i]});
    }
}

// ---- Black box viewer

BlackBoxWindow::BlackBoxWindow(AppContext& ctx, QWidget* parent)
    : RangeReviewWindow(ctx, parent, u"THeiXiaZiFrm"_s, Caption, Review::BlackBox)
{
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    m_summary = new QLabel(this);
    m_summary->setObjectName(u"UnrecordedSummary"_s);
    // A failed query empties the grid; its count goes with it.
    connect(table(), &QAbstractItemModel::modelReset, m_summary, &QLabel::clear);
    mainLayout()->insertWidget(2, m_summary);
    resize(700, 560);
}

QString BlackBoxWindow::summary() const
{
    return m_summary->text();
}

void BlackBoxWindow::afterQuery()
{
    QList<BlackBoxLoad> loads;
    for (int row = 0; row < table()->rowCount(); ++row)
        loads.append({UnrecordedLoads::moment(table()->value(row, u"时间"_s)),
                      table()->value(row, u"重量"_s).toDouble()});
    const UnrecordedLoads rule;
    table()->setMarks(rule.mark(m_ctx.dm, loads), UnrecordedTip);
    // A selected row hides its mark; the cursor stays on the first row.
    grid()->clearSelection();
    const int unrecorded = table()->markedCount();
    m_summary->setText(
        loads.isEmpty() ? QString()
        : unrecorded == 0
            ? u"共%1次过磅，都有对应的称重记录。"_s.arg(loads.size())
            : u"共%1次过磅，其中%2次（红色）前后%3分钟内没有重量相近的称重记录，可能没有入账。"_s
                  .arg(loads.size())
                  .arg(unrecorded)
                  .arg(rule.minutes()));
}
