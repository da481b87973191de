#include "QueryWindow.h"

#include "audit/RecordSnapshot.h"
#include "audit/UserStore.h"
#include "data/DataModule.h"
#include "data/IniFile.h"
#include "data/RecordLayout.h"
#include "data/Settings.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "records/PrintSetDialog.h"
#include "records/RecordExport.h"
#include "records/WordPickerDialog.h"
#include "reports/Report.h"
#include "reports/ReportDesignerWindow.h"
#include "reports/ReportPreview.h"
#include "widgets/ButtonRow.h"
#include "widgets/ChildWindow.h"
#include "widgets/EditGrid.h"
#include "widgets/GridStyle.h"
#include "widgets/RecordNavigator.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressDialog>
#include <QRadioButton>
#include <QScrollArea>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor EnteredColour(157, 206, 255);
const QColor PendingColour(196, 196, 255);
const QString BoxHint = u"双击编辑框选择历史词汇/回车转移下一编辑框"_s;
const QString DeleteTitle = u"提示！"_s;
constexpr int FetchBatch = 256;
constexpr int BoxWidth = 120;
constexpr int BoxStep = 43;
constexpr int FirstBoxTop = 80;
constexpr qint64 ProgressFrom = 2000;

QString helpText()
{
    const QStringList lines{
        u"    用户操作必须符合一定规范:"_s,
        QString(),
        u"1.查询条件必须在选项选择中的皮重或者毛重时间范围内进行；"_s,
        u"2.查询内容之间的关系如果为“并且”即记录符合所有填入词汇内容才符合查询条件"_s,
        u"  如果为“或者”即记录符合任何一个查询内容则符合查询条件；"_s,
        u"3.选择为降序，则查询结果显示以“编号”为最大的记录第一条数据"_s,
        u"  选择为升序，则查询结果显示以“编号”为最小的记录第一条数据；"_s,
        u"4.查询结果也可以点击表格中的标题头来进行二次排序;"_s,
        u"5.如果查询一个字段的多个内容词汇，必须在各个内容词汇之间用英文状态下的逗号分隔，"_s,
        u"  例如:查询品名为豆油和大米的记录，可以在品名编辑框内输入“豆油,大米”；"_s,
        QString(),
        u"示例如下："_s,
        u"1：品名中输入“大豆”，发货方输入“A公司”，关系选择为“并且”"_s,
        u"   查询“A公司”的指定时间范围内的大豆的所有记录"_s,
        u"2：品名中输入“大豆”，发货方输入“A公司”，关系选择为“或者”"_s,
        u"   查询符合“A公司”符合“大豆”的指定时间范围内的所有记录，实际没有多少意义"_s,
        u"3：品名中输入“大豆,大米”，发货方输入“A公司”，关系选择为“并且”"_s,
        u"   查询“A公司”的指定时间范围内的大豆和大米的所有记录"_s,
    };
    QString text;
    for (const QString& line : lines)
        text += line + u"\r\n"_s;
    return text;
}

QRadioButton* radio(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    return button;
}

void setBoxColour(QLineEdit* edit, const QColor& colour)
{
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, colour);
    edit->setPalette(palette);
}

} // namespace

QueryWindow::QueryWindow(AppContext& ctx, Opening opening)
    : m_ctx(ctx), m_model(new TableEditModel(ctx.dm.weightdatabase(), ctx.dm.dialect(), RecordQuery::Table,
                                             RecordQuery::KeyColumn, this)),
      m_grid(new EditGrid(*m_model, ctx.prompter, this)), m_fetchTimer(new QTimer(this))
{
    setObjectName(u"Tmanagerdatafrm"_s);
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);

    m_model->setFetchBatch(FetchBatch);
    m_model->setReadOnlyColumns({RecordQuery::KeyColumn});
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->horizontalHeader()->setSectionsMovable(true);
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_grid->setCellAlignment(Qt::AlignCenter);
    m_grid->setRowBackground([this](int row) {
        return m_model->value(row, u"净重"_s).toDouble() < 0.1 ? PendingColour : QColor();
    });
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(u"设置表格宽度"_s, this, &QueryWindow::SetWidthsClick);
        menu.exec(m_grid->viewport()->mapToGlobal(at));
    });
    connect(m_model, &TableEditModel::rowWritten, this,
            [this](int, const QVariantList& before) { logChange(before); });
    // The rest of a large result is read while the operator looks at the first rows, so the statement
    // does not stay open.
    m_fetchTimer->setInterval(0);
    connect(m_fetchTimer, &QTimer::timeout, this, [this] {
        if (m_model->canFetchMore())
            m_model->fetchMore();
        else
            m_fetchTimer->stop();
    });

    auto* panel = new QWidget(this);
    panel->setObjectName(u"Panel1"_s);
    buildConditionBoxes(panel);
    QWidget* options = buildOptions(panel);
    panel->setMinimumSize(qMax(330, options->x() + options->width() + 10), options->y() + options->height() + 10);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(panel);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFixedWidth(panel->minimumWidth() + 20);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* middle = new QHBoxLayout;
    middle->addWidget(scroll);
    middle->addWidget(m_grid, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(buildToolbar());
    layout->addLayout(middle, 1);
    layout->addWidget(buildStatusPanes());

    for (QWidget* w : findChildren<QWidget*>())
        if (w != m_grid->viewport())
            w->installEventFilter(this);
    resize(1100, 700);

    if (opening == Opening::NewestNow)
        guarded(m_ctx.prompter, [this] { RefreshClick(); });
}

void QueryWindow::buildConditionBoxes(QWidget* panel)
{
    QList<StructureRow> rows;
    guarded(m_ctx.prompter, [&] { rows = RecordLayout::read(m_ctx.dm.weightdatabase()); });
    QList<StructureRow> visible;
    for (const StructureRow& row : rows)
        if (row.visible)
            visible.append(row);
    const bool twoColumns = visible.size() >= 9;
    int top = FirstBoxTop;
    for (const StructureRow& row : visible) {
        if (row.name.trimmed().startsWith(u"编号"_s))
            continue;
        const int i = int(m_boxes.size());
        auto* edit = new QLineEdit(panel);
        edit->setObjectName(u"EIT"_s + QString::number(i));
        edit->setFrame(false);
        edit->setToolTip(BoxHint);
        edit->setFocusPolicy(Qt::StrongFocus);
        edit->setStyleSheet(u"QLineEdit { border: 1px solid rgb(150, 150, 150); }"_s);
        setBoxColour(edit, palette().color(QPalette::Window));
        auto* label = new QLabel(row.name, panel);
        label->setBuddy(edit);
        if (twoColumns) {
            top = i % 8 == 0 ? FirstBoxTop : top + BoxStep;
            const int left = i < 8 ? 20 : 170;
            edit->setGeometry(left, top, BoxWidth, 22);
            label->setGeometry(left, top - 18, BoxWidth, 16);
        } else {
            top = i == 0 ? FirstBoxTop : top + BoxStep;
            edit->setGeometry(100, top, BoxWidth, 22);
            label->setGeometry(10, top, 86, 22);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        m_boxes.append({row.name, row.chineseInput, edit});
    }
    auto* title = new QLabel(u"查询条件"_s, panel);
    title->setGeometry(20, 30, 200, 24);
    title->setStyleSheet(u"QLabel { font-weight: bold; }"_s);
}

QWidget* QueryWindow::buildOptions(QWidget* panel)
{
    int bottom = FirstBoxTop;
    for (const ConditionBox& box : m_boxes)
        bottom = qMax(bottom, box.edit->geometry().bottom());
    auto* options = new QGroupBox(u"选项选择"_s, panel);
    options->setObjectName(u"GroupBox1"_s);
    auto* form = new QVBoxLayout(options);

    const auto pair = [options, form](QRadioButton* a, QRadioButton* b) {
        auto* group = new QButtonGroup(options);
        group->addButton(a);
        group->addButton(b);
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        row->addWidget(b);
        row->addStretch();
        form->addLayout(row);
    };
    m_tareTime = radio(u"RadioButton1"_s, u"皮重时间"_s, options);
    auto* grossTime = radio(u"RadioButton2"_s, u"毛重时间"_s, options);
    grossTime->setChecked(true);
    pair(m_tareTime, grossTime);

    m_fromDate = new QDateEdit(options);
    m_fromDate->setObjectName(u"DateTimePicker1"_s);
    m_toDate = new QDateEdit(options);
    m_toDate->setObjectName(u"DateTimePicker2"_s);
    m_fromTime = new QTimeEdit(QTime(0, 0, 0), options);
    m_fromTime->setObjectName(u"DateTimePicker3"_s);
    m_toTime = new QTimeEdit(QTime(23, 59, 59), options);
    m_toTime->setObjectName(u"DateTimePicker4"_s);
    for (QDateEdit* date : {m_fromDate, m_toDate}) {
        date->setDisplayFormat(u"yyyy-MM-dd"_s);
        date->setCalendarPopup(true);
    }
    for (QTimeEdit* time : {m_fromTime, m_toTime})
        time->setDisplayFormat(u"HH:mm:ss"_s);
    const auto range = [options, form](const QString& caption, QWidget* date, QWidget* time) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(caption, options));
        row->addWidget(date);
        row->addWidget(time);
        form->addLayout(row);
    };
    range(u"从"_s, m_fromDate, m_fromTime);
    range(u"到"_s, m_toDate, m_toTime);

    m_descending = radio(u"RadioButton3"_s, u"降序"_s, options);
    m_descending->setChecked(true);
    auto* ascending = radio(u"RadioButton4"_s, u"升序"_s, options);
    pair(m_descending, ascending);
    auto* allFields = radio(u"RadioButton5"_s, u"并且"_s, options);
    allFields->setChecked(true);
    m_anyField = radio(u"RadioButton6"_s, u"或者"_s, options);
    pair(allFields, m_anyField);
    for (QRadioButton* option : {m_descending, ascending, allFields, m_anyField})
        connect(option, &QRadioButton::clicked, this, &QueryWindow::optionClicked);

    options->adjustSize();
    options->setGeometry(10, bottom + 30, qMax(300, options->sizeHint().width()), options->sizeHint().height());
    return options;
}

QWidget* QueryWindow::buildToolbar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(u"ToolBar1"_s);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    using W = QueryWindow;
    addButtons<W>(this, row,
                  {{u"BitBtn1", u"刷新", &W::RefreshClick},
                   {u"BitBtn2", u"查询", &W::QueryClick},
                   {u"BitBtn3", u"保存", &W::SaveClick},
                   {u"BitBtn4", u"取消", &W::CancelClick},
                   {u"BitBtn5", u"删除", &W::DeleteClick},
                   {u"BitBtn6", u"删除集", &W::DeleteSetClick},
                   {u"BitBtn7", u"导出", &W::ExportClick},
                   {u"BitBtn8", u"打印报表", &W::PrintClick}});
    auto* close = new QPushButton(u"返回"_s, this);
    close->setObjectName(u"BitBtn9"_s);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, [this] { closeChildWindow(this); });
    row->addWidget(close);
    m_queryButton = findChild<QPushButton*>(u"BitBtn2"_s);
    m_saveButton = findChild<QPushButton*>(u"BitBtn3"_s);
    m_deleteButton = findChild<QPushButton*>(u"BitBtn5"_s);
    m_exportButton = findChild<QPushButton*>(u"BitBtn7"_s);
    m_printButton = findChild<QPushButton*>(u"BitBtn8"_s);

    row->addSpacing(20);
    QWidget* navigator = makeRecordNavigator(m_grid, QString(), bar);
    const QList<std::pair<QString, QString>> hints{
        {u"First"_s, u"第一条"_s}, {u"Prior"_s, u"上一条"_s}, {u"Next"_s, u"下一条"_s}, {u"Last"_s, u"最后一条"_s}};
    for (const auto& [name, hint] : hints)
        if (auto* button = navigator->findChild<QToolButton*>(name))
            button->setToolTip(hint);
    row->addWidget(navigator);
    auto* help = new QPushButton(u"查询帮助"_s, bar);
    help->setObjectName(u"HelpButton"_s);
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, &QueryWindow::HelpClick);
    row->addWidget(help);
    row->addStretch();
    return bar;
}

QWidget* QueryWindow::buildStatusPanes()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(u"StatusBar1"_s);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 2, 0, 2);
    for (int i = 1; i <= 4; ++i) {
        auto* pane = new QLabel(bar);
        pane->setObjectName(u"StatusPane"_s + QString::number(i));
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setMinimumWidth(200);
        row->addWidget(pane);
        m_panes.append(pane);
    }
    row->addStretch();
    return bar;
}

void QueryWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void QueryWindow::FormShow()
{
    guarded(m_ctx.prompter, [this] {
        applyRights();
        RefreshClick();
    });
    const QDate today = m_ctx.clock.now().date();
    m_fromDate->setDate(today);
    m_toDate->setDate(today);
}

void QueryWindow::applyRights()
{
    const QMap<QString, bool> rights = UserStore::rightsOf(m_ctx.dm.weightdatabase(), m_ctx.login.CurrentOperator);
    const bool modify = rights.value(u"修改"_s);
    m_saveButton->setEnabled(modify);
    m_grid->setEditTriggers(modify ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked
                                   : QAbstractItemView::NoEditTriggers);
    m_deleteButton->setEnabled(rights.value(u"删除"_s));
    m_queryButton->setEnabled(rights.value(u"查询"_s));
    m_exportButton->setEnabled(rights.value(u"打印"_s));
    m_printButton->setEnabled(rights.value(u"打印"_s));
}

void QueryWindow::RefreshClick()
{
    const int count = IniFile(m_ctx.dm.iniPath()).read(Option::SelectNum);
    load(RecordQuery::newest(count, m_ctx.dm.dialect()));
    applyWidths(false);
}

QueryConditions QueryWindow::conditions() const
{
    QueryConditions c;
    c.timeColumn = m_tareTime->isChecked() ? u"皮重时间"_s : u"毛重时间"_s;
    c.from = QDateTime(m_fromDate->date(), m_fromTime->time());
    c.to = QDateTime(m_toDate->date(), m_toTime->time());
    c.descending = m_descending->isChecked();
    c.anyField = m_anyField->isChecked();
    for (const ConditionBox& box : m_boxes)
        c.fields.append({box.field, box.edit->text()});
    return c;
}

void QueryWindow::QueryClick()
{
    const bool done = guarded(m_ctx.prompter, [this] {
        const QSqlDatabase db = m_ctx.dm.weightdatabase();
        m_lastCondition = RecordQuery::build(conditions(), m_ctx.dm.dialect().columns(db, RecordQuery::Table),
                                             m_ctx.dm.dialect());
        load(*m_lastCondition);
        m_totals = RecordQuery::totals(db, *m_lastCondition);
    });
    if (!done) {
        // A condition the database cannot take leaves the grid empty, as a rejected statement does.
        m_fetchTimer->stop();
        m_model->clear();
        m_lastCondition.reset();
        return;
    }
    m_ctx.prompter.information(u"共有 "_s + QString::number(m_totals.count) + u" 条记录符合条件"_s, u"提示!"_s);
    showTotals(m_totals);
    applyWidths(true);
}

void QueryWindow::optionClicked()
{
    if (m_queryButton->isEnabled())
        QueryClick();
}

void QueryWindow::load(const RecordStatement& statement)
{
    m_fetchTimer->stop();
    m_current = statement;
    // Columns keep their widths across loads (the grid would size them afresh).
    QHash<QString, int> widths;
    QAbstractItemModel* shown = m_grid->model();
    for (int c = 0; c < shown->columnCount(); ++c)
        widths.insert(shown->headerData(c, Qt::Horizontal).toString(), m_grid->columnWidth(c));
    m_model->load({}, statement.where, statement.values, statement.orderBy);
    for (int c = 0; c < shown->columnCount(); ++c) {
        const auto width = widths.constFind(shown->headerData(c, Qt::Horizontal).toString());
        if (width != widths.constEnd())
            m_grid->setColumnWidth(c, *width);
    }
    if (m_model->canFetchMore())
        m_fetchTimer->start();
}

void QueryWindow::applyWidths(bool keepCurrent)
{
    const IniFile ini(m_ctx.dm.iniPath());
    QHeaderView* header = m_grid->horizontalHeader();
    for (int c = 0; c < header->count(); ++c) {
        const QString field = m_grid->model()->headerData(c, Qt::Horizontal).toString();
        m_grid->setColumnWidth(c, ini.readInteger(Caption, field, keepCurrent ? m_grid->columnWidth(c) : 100));
    }
}

void QueryWindow::showTotals(const QueryTotals& totals)
{
    m_panes[0]->setText(totals.tareLine());
    m_panes[1]->setText(totals.grossLine());
    m_panes[2]->setText(totals.netLine());
    m_panes[3]->setText(totals.countLine());
}

void QueryWindow::logChange(const QVariantList& before)
{
    m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"修改"_s, RecordSnapshot::content(before));
}

void QueryWindow::SaveClick()
{
    guarded(m_ctx.prompter, [this] {
        if (m_model->isEditing()) {
            m_grid->postEdits();
            return;
        }
        // An unchanged record is written back as it stands: the log still gets its values.
        const int row = m_grid->currentRow();
        if (row >= 0)
            logChange(m_model->rowValues(row));
    });
}

void QueryWindow::CancelClick()
{
    m_grid->cancelEdits();
}

void QueryWindow::DeleteClick()
{
    if (m_model->rowCount() == 0)
        return;
    if (!m_ctx.prompter.confirm(u"你确实要删除这条数据吗?"_s, DeleteTitle))
        return;
    guarded(m_ctx.prompter, [this] {
        m_grid->cancelEdits();
        const int row = qMax(0, m_grid->currentRow());
        const QString content = RecordSnapshot::content(m_model->rowValues(row));
        // The log entry and the deletion stand or fall together.
        Sql::inTransaction(m_ctx.dm.weightdatabase(), [&] {
            m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"删除"_s, content);
            m_model->deleteRow(row);
        });
    });
}

void QueryWindow::DeleteSetClick()
{
    if (m_model->rowCount() == 0)
        return;
    if (!m_lastCondition) {
        m_ctx.prompter.information(u"请先查询，删除集只删除查询条件选出的记录。"_s, DeleteTitle);
        return;
    }
    if (!m_ctx.prompter.confirm(u"您确定要删除这些数据吗？"_s, DeleteTitle))
        return;
    guarded(m_ctx.prompter, [this] {
        m_grid->cancelEdits();
        m_fetchTimer->stop();
        m_model->clear();
        Sql::inTransaction(m_ctx.dm.weightdatabase(), [this] {
            RecordQuery::deleteMatching(m_ctx.dm.weightdatabase(), *m_lastCondition);
            m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"删除集"_s, QString());
        });
        RefreshClick();
    });
}

void QueryWindow::ExportClick()
{
    const auto chosen =
        m_ctx.prompter.chooseSaveFileAndFilter(u"导出"_s, u"新建文件"_s, RecordExport::fileFilter());
    if (!chosen)
        return;
    const ExportFormat format = RecordExport::formatOfFilter(chosen->second)
                                    .value_or(RecordExport::formatOfPath(chosen->first).value_or(ExportFormat::Excel));
    const QString path = RecordExport::withExtension(chosen->first, format);
    guarded(m_ctx.prompter, [&] {
        m_grid->postEdits();
        m_model->fetchAll();
        QAbstractItemModel* shown = m_grid->model();
        QHeaderView* header = m_grid->horizontalHeader();
        // The grid as it stands: its row order (a title click sorts it) and its column order.
        QStringList titles;
        QList<int> columns;
        for (int visual = 0; visual < header->count(); ++visual) {
            const int logical = header->logicalIndex(visual);
            columns.append(logical);
            titles.append(shown->headerData(logical, Qt::Horizontal).toString());
        }
        const int rowCount = shown->rowCount();
        int next = 0;
        const RecordExport::RowSource rows = [&](QVariantList& values) {
            if (next >= rowCount)
                return false;
            values.clear();
            for (int column : columns)
                values.append(shown->index(next, column).data(Qt::EditRole));
            ++next;
            return true;
        };
        std::unique_ptr<QProgressDialog> progress;
        if (rowCount >= ProgressFrom) {
            progress = std::make_unique<QProgressDialog>(u"正在导出..."_s, u"取消"_s, 0, rowCount, this);
            progress->setWindowTitle(u"导出"_s);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(300);
        }
        const auto written = RecordExport::write(format, path, titles, rows, [&](qint64 done) {
            if (!progress)
                return true;
            progress->setValue(int(done));
            return !progress->wasCanceled();
        });
        progress.reset();
        if (written)
            m_ctx.prompter.information(u"成功导出到"_s + path + u"文件中..."_s, u"提示!"_s);
    });
}

void QueryWindow::PrintClick()
{
    PrintSetDialog titles(m_ctx.dm.iniPath(), m_ctx.prompter, this);
    titles.exec();
    const QString title1 = titles.title1().trimmed();
    const QString title2 = titles.title2().trimmed();
    if (title1.isEmpty() || title2.isEmpty())
        return;
    printReport(title1, title2);
}

void QueryWindow::DesignReport()
{
    guarded(m_ctx.prompter, [&] {
        m_grid->postEdits();
        ReportDesignerWindow::Data data;
        QSqlQuery rows = Sql::exec(m_ctx.dm.weightdatabase(), m_current.select(), m_current.values);
        while (rows.next())
            data.rows.append(rows.record());
        rows.finish();
        const IniFile ini(m_ctx.dm.iniPath());
        data.variables = Report::recordReportVariables(ini.read(Option::ReportTitle1), ini.read(Option::ReportTitle2),
                                                       m_panes[0]->text(), m_panes[1]->text(), m_panes[2]->text(),
                                                       m_panes[3]->text());
        ReportDesignerWindow designer(m_ctx.dm.path(u"磅单/weight.fr3"_s), std::move(data), m_ctx.prompter, this);
        designer.exec();
    });
}

void QueryWindow::printReport(const QString& title1, const QString& title2)
{
    guarded(m_ctx.prompter, [&] {
        m_grid->postEdits();
        Report report;
        // A missing template gives an empty preview, as it always has.
        report.load(m_ctx.dm.path(u"磅单/weight.fr3"_s));
        QSqlQuery rows = Sql::exec(m_ctx.dm.weightdatabase(), m_current.select(), m_current.values);
        report.setRows(rows);
        rows.finish();
        report.setVariables(Report::recordReportVariables(title1, title2, m_panes[0]->text(), m_panes[1]->text(),
                                                          m_panes[2]->text(), m_panes[3]->text()));
        report.setNow(m_ctx.clock.now());
        ReportPreviewWindow preview(report.prepare(), m_ctx.prompter, this);
        connect(&preview, &ReportPreviewWindow::printed, this, [this] {
            guarded(m_ctx.prompter, [this] { m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"打印"_s, QString()); });
        });
        preview.exec();
    });
    // The result is read again after the report, as the grid showed it.
    guarded(m_ctx.prompter, [this] { load(m_current); });
}

void QueryWindow::HelpClick()
{
    m_ctx.prompter.information(helpText(), u"查询帮助说明"_s);
}

void QueryWindow::SetWidthsClick()
{
    guarded(m_ctx.prompter, [this] { SaveGridWidths(m_ctx.dm.iniPath(), Caption, m_grid, m_ctx.prompter); });
}

void QueryWindow::pickWord(ConditionBox& box)
{
    WordPickerDialog picker(m_ctx, box.field, box.edit->text(), u"Weight"_s, this);
    picker.exec();
    box.edit->setText(picker.PickedWord());
    box.edit->setCursorPosition(qMin(100, int(box.edit->text().size())));
}

void QueryWindow::gridEnter()
{
    QAbstractItemModel* shown = m_grid->model();
    if (shown->rowCount() == 0)
        return;
    const QModelIndex current = m_grid->currentIndex();
    const int lastRow = shown->rowCount() - 1;
    const int lastColumn = shown->columnCount() - 1;
    QModelIndex target;
    if (!current.isValid() || (current.row() >= lastRow && current.column() >= lastColumn && !m_model->canFetchMore()))
        target = shown->index(0, 0);
    else if (current.column() < lastColumn)
        target = shown->index(current.row(), current.column() + 1);
    else
        target = shown->index(current.row() + 1, 0);
    m_grid->setCurrentIndex(target);
}

bool QueryWindow::eventFilter(QObject* watched, QEvent* event)
{
    for (ConditionBox& box : m_boxes) {
        if (watched != box.edit)
            continue;
        if (event->type() == QEvent::FocusIn) {
            setBoxColour(box.edit, EnteredColour);
            // Chinese-input boxes take the input method; the others take plain letters and digits.
            box.edit->setAttribute(Qt::WA_InputMethodEnabled, box.chineseInput);
            box.edit->setInputMethodHints(box.chineseInput ? Qt::ImhNone : Qt::ImhLatinOnly);
        } else if (event->type() == QEvent::FocusOut) {
            setBoxColour(box.edit, palette().color(QPalette::Window));
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            pickWord(box);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // An open cell editor has the focus itself, so Enter here is never an edit's.
            if (watched == m_grid) {
                gridEnter();
            } else {
                focusNextChild();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
