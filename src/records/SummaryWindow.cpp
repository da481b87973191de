#include "SummaryWindow.h"

#include "audit/UserStore.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "platform/Spreadsheet.h"
#include "widgets/ButtonRow.h"
#include "widgets/EditGrid.h"
#include "widgets/GridStyle.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QValueAxis>

using namespace Qt::Literals::StringLiterals;

namespace {

bool isAdmin(const QString& name)
{
    return name.compare(u"Admin"_s, Qt::CaseInsensitive) == 0;
}

/** A group's label on the chart: its grouping values joined by "/". */
QString groupLabel(const QVariantList& row, int groupingColumns)
{
    QStringList parts;
    for (int i = 0; i < groupingColumns; ++i)
        parts.append(row[i].isNull() ? u"（空）"_s : row[i].toString());
    return parts.join(u'/');
}

} // namespace

SummaryWindow::SummaryWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_ctx(ctx),
      m_fromDate(new QDateEdit(this)), m_toDate(new QDateEdit(this)), m_fromTime(new QTimeEdit(this)),
      m_toTime(new QTimeEdit(this)), m_groupings(new QButtonGroup(this)), m_model(new QStandardItemModel(this))
{
    setObjectName(u"Ttotalfrm"_s);
    setWindowTitle(Summary::WindowCaption);
    setModal(true);

    auto* left = new QVBoxLayout;
    left->addWidget(buildRange());
    left->addWidget(buildGroupings(), 1);
    left->addWidget(buildButtons());
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(buildResult(), 1);
    setFixedSize(1100, 680);
    FormShow();
}

QWidget* SummaryWindow::buildRange()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    const QDate today = m_ctx.clock.now().date();
    const struct
    {
        QDateEdit* date;
        QTimeEdit* time;
        const char16_t* dateName;
        const char16_t* timeName;
        const char16_t* caption;
        QTime start;
    } rows[] = {{m_fromDate, m_fromTime, u"DateTimePicker1", u"DateTimePicker3", u"从", QTime(0, 0, 0)},
                {m_toDate, m_toTime, u"DateTimePicker2", u"DateTimePicker4", u"到", QTime(23, 59, 59)}};
    int r = 0;
    for (const auto& row : rows) {
        row.date->setObjectName(QString::fromUtf16(row.dateName));
        row.date->setCalendarPopup(true);
        row.date->setDisplayFormat(u"yyyy-MM-dd"_s);
        row.date->setDate(today);
        row.time->setObjectName(QString::fromUtf16(row.timeName));
        row.time->setDisplayFormat(u"HH:mm:ss"_s);
        row.time->setTime(row.start);
        grid->addWidget(new QLabel(QString::fromUtf16(row.caption), box), r, 0);
        grid->addWidget(row.date, r, 1);
        grid->addWidget(row.time, r, 2);
        ++r;
    }
    return box;
}

QGroupBox* SummaryWindow::buildGroupings()
{
    m_groupBox = new QGroupBox(u"汇总项目"_s, this);
    m_groupBox->setObjectName(u"GroupBox1"_s);
    m_groupBox->setFixedWidth(300);
    auto* layout = new QVBoxLayout(m_groupBox);

    auto* scroll = new QScrollArea(m_groupBox);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* buttons = new QWidget(scroll);
    auto* column = new QVBoxLayout(buttons);
    column->setAlignment(Qt::AlignTop);
    guarded(m_ctx.prompter, [&] {
        const QSqlDatabase db = m_ctx.dm.weightdatabase();
        const QList<StructureRow> layoutRows = RecordLayout::read(db);
        m_amountField = Summary::amountField(layoutRows);
        int index = 0;
        for (const QString& choice : Summary::groupingChoices(layoutRows, Summary::combinations(db))) {
            auto* radio = new QRadioButton(choice, buttons);
            radio->setObjectName(u"RadioButton%1"_s.arg(++index));
            m_groupings->addButton(radio);
            column->addWidget(radio);
        }
    });
    scroll->setWidget(buttons);
    layout->addWidget(scroll, 1);

    auto* note = new QGroupBox(u"提示："_s, m_groupBox);
    note->setObjectName(u"GroupBox2"_s);
    auto* noteLayout = new QVBoxLayout(note);
    auto* help = new QLabel(HelpText, note);
    help->setObjectName(u"Label3"_s);
    help->setStyleSheet(u"color: rgb(0, 0, 160);"_s);
    noteLayout->addWidget(help);
    layout->addWidget(note);
    return m_groupBox;
}

QWidget* SummaryWindow::buildButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    addButtons<SummaryWindow>(this, layout,
                              {{u"BitBtn1", u"关闭(&C)", nullptr},
                               {u"BitBtn2", u"汇总(&T)", &SummaryWindow::BitBtn2Click},
                               {u"BitBtn3", u"导出(&O)", &SummaryWindow::BitBtn3Click},
                               {u"BitBtn4", u"新建(&N)", &SummaryWindow::BitBtn4Click}});
    m_summarise = row->findChild<QPushButton*>(u"BitBtn2"_s);
    m_export = row->findChild<QPushButton*>(u"BitBtn3"_s);
    m_new = row->findChild<QPushButton*>(u"BitBtn4"_s);
    return row;
}

QWidget* SummaryWindow::buildResult()
{
    auto* splitter = new QSplitter(Qt::Vertical, this);
    m_grid = new QTableView(splitter);
    m_grid->setObjectName(u"DBGrid1"_s);
    auto* sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(m_model);
    m_grid->setModel(sorted);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StyleGrid(m_grid);
    m_grid->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* widths = new QAction(u"设置表格宽度"_s, m_grid);
    widths->setObjectName(u"N1"_s);
    connect(widths, &QAction::triggered, this, &SummaryWindow::N1Click);
    m_grid->addAction(widths);

    m_chart = new QChartView(splitter);
    m_chart->setObjectName(u"ChartView1"_s);
    m_chart->setRenderHint(QPainter::Antialiasing);
    m_chart->chart()->setTitle(u"各汇总项目的净重"_s);
    m_chart->chart()->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* picture = new QAction(u"保存图表为图片..."_s, m_chart);
    picture->setObjectName(u"N2"_s);
    connect(picture, &QAction::triggered, this, &SummaryWindow::saveChartPicture);
    auto* print = new QAction(u"打印汇总与图表..."_s, m_chart);
    print->setObjectName(u"N3"_s);
    connect(print, &QAction::triggered, this, &SummaryWindow::printResult);
    m_chart->addActions({picture, print});
    m_grid->setMinimumHeight(180);
    m_chart->setMinimumHeight(260);
    splitter->setSizes({300, 340});
    return splitter;
}

void SummaryWindow::FormShow()
{
    guarded(m_ctx.prompter, [&] { applyRights(); });
}

void SummaryWindow::applyRights()
{
    const QMap<QString, bool> rights = UserStore::rightsOf(m_ctx.dm.weightdatabase(), m_ctx.login.CurrentOperator);
    m_summarise->setEnabled(rights.value(u"查询"_s));
    m_export->setEnabled(rights.value(u"打印"_s));
    const bool admin = isAdmin(m_ctx.login.CurrentOperator);
    m_new->setVisible(admin);
    if (!admin)
        return;
    for (QWidget* owner : {static_cast<QWidget*>(this), static_cast<QWidget*>(m_groupBox)}) {
        auto* item = new QAction(NewCombinationItem, owner);
        connect(item, &QAction::triggered, this, &SummaryWindow::BitBtn4Click);
        owner->addAction(item);
        owner->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
}

QString SummaryWindow::selectedGrouping() const
{
    // Buttons are searched in creation order, as they are listed.
    for (QAbstractButton* button : m_groupings->buttons())
        if (button->isChecked())
            return button->text();
    return {};
}

void SummaryWindow::BitBtn2Click()
{
    const QString grouping = selectedGrouping();
    if (grouping.isEmpty()) {
        m_ctx.prompter.information(u"请您选择一个汇总的项目内容"_s, u"提示！"_s);
        return;
    }
    guarded(m_ctx.prompter, [&] {
        showResult({});
        const QSqlDatabase db = m_ctx.dm.weightdatabase();
        QStringList columns;
        for (const ColumnInfo& column : m_ctx.dm.dialect().columns(db, u"weight"_s))
            columns.append(column.name);
        const auto fields = Summary::groupingFields(grouping, columns);
        if (const QString* problem = std::get_if<QString>(&fields)) {
            m_ctx.prompter.information(*problem, u"提示！"_s);
            return;
        }
        const QDateTime from(m_fromDate->date(), m_fromTime->time());
        const QDateTime to(m_toDate->date(), m_toTime->time());
        showResult(Summary::run(db, Summary::statement(std::get<QStringList>(fields), m_amountField, from, to,
                                                       m_ctx.dm.dialect())));
    });
}

void SummaryWindow::showResult(const SummaryResult& result)
{
    m_result = result;
    m_model->clear();
    m_model->setHorizontalHeaderLabels(result.columns);
    for (const QVariantList& values : result.rows) {
        QList<QStandardItem*> items;
        for (const QVariant& value : values) {
            auto* item = new QStandardItem;
            item->setData(value, Qt::DisplayRole);
            item->setTextAlignment(Qt::AlignCenter);
            items.append(item);
        }
        m_model->appendRow(items);
    }
    for (int c = 0; c < m_model->columnCount(); ++c)
        m_model->horizontalHeaderItem(c)->setTextAlignment(Qt::AlignCenter);
    ApplyGridWidths(m_ctx.dm.iniPath(), Summary::WindowCaption, m_grid);
    showChart(result);
}

void SummaryWindow::showChart(const SummaryResult& result)
{
    QChart* chart = m_chart->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        chart->removeAxis(axis);
    const int net = int(result.columns.indexOf(u"净重"_s));
    const int amount = int(result.columns.indexOf(u"金额"_s));
    if (net < 0 || result.rows.size() < 2)
        return;

    // The total row is the last; the chart compares the groups.
    QStringList labels;
    auto* netSet = new QBarSet(u"净重"_s);
    auto* amountLine = amount >= 0 ? new QLineSeries : nullptr;
    double largestNet = 1;
    double largestAmount = 1;
    for (int r = 0; r < result.rows.size() - 1; ++r) {
        const QVariantList& row = result.rows[r];
        labels.append(groupLabel(row, net - 2));
        netSet->append(row[net].toDouble());
        largestNet = qMax(largestNet, row[net].toDouble());
        if (amountLine) {
            amountLine->append(r, row[amount].toDouble());
            largestAmount = qMax(largestAmount, row[amount].toDouble());
        }
    }
    auto* bars = new QBarSeries;
    bars->append(netSet);
    chart->addSeries(bars);
    auto* categories = new QBarCategoryAxis;
    categories->append(labels);
    chart->addAxis(categories, Qt::AlignBottom);
    chart->setTitle(amountLine ? u"各汇总项目的净重与金额"_s : u"各汇总项目的净重"_s);
    auto* weights = new QValueAxis;
    weights->setTitleText(u"净重"_s);
    weights->setLabelFormat(u"%.0f"_s);
    chart->addAxis(weights, Qt::AlignLeft);
    bars->attachAxis(categories);
    bars->attachAxis(weights);
    weights->setRange(0, largestNet * 1.1);
    weights->applyNiceNumbers();
    if (amountLine) {
        amountLine->setName(u"金额"_s);
        amountLine->setPointsVisible(true);
        chart->addSeries(amountLine);
        auto* money = new QValueAxis;
        money->setTitleText(u"金额"_s);
        money->setLabelFormat(u"%.0f"_s);
        chart->addAxis(money, Qt::AlignRight);
        amountLine->attachAxis(categories);
        amountLine->attachAxis(money);
        money->setRange(0, largestAmount * 1.1);
        money->applyNiceNumbers();
    }
}

void SummaryWindow::BitBtn3Click()
{
    const auto file = m_ctx.prompter.chooseOpenFile(u"打开工作簿"_s, m_ctx.dm.ProgramFolder(),
                                                    u"电子表格工作簿 (*.xls *.xlsx *.ods)"_s);
    if (!file || file->trimmed().isEmpty()) {
        m_ctx.prompter.information(u"您没有输入文件名称！"_s, u"提示！"_s);
        return;
    }
    guarded(m_ctx.prompter, [&] {
        Summary::exportToWorkbook(m_ctx.spreadsheet, *file, m_result);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"汇总导出"_s, QString());
        m_ctx.prompter.information(u"导出成功!"_s, u"提示"_s);
    });
}

void SummaryWindow::BitBtn4Click()
{
    CombinationWindow window(m_ctx, this);
    window.exec();
    m_ctx.prompter.information(u"新建组合汇总项目成功，重新进入本窗体生效!"_s, u"提示"_s);
}

void SummaryWindow::N1Click()
{
    SaveGridWidths(m_ctx.dm.iniPath(), Summary::WindowCaption, m_grid, m_ctx.prompter);
}

void SummaryWindow::saveChartPicture()
{
    const auto file = m_ctx.prompter.chooseSaveFile(u"保存图表"_s, m_ctx.dm.path(u"汇总图表.png"_s),
                                                    u"PNG图片 (*.png)"_s);
    if (!file || file->isEmpty())
        return;
    if (!m_chart->grab().save(*file, "PNG"))
        m_ctx.prompter.error(u"无法保存图片%1"_s.arg(*file));
}

void SummaryWindow::printResult()
{
    // The result grid above the chart on one landscape page; without a printer, a PDF file.
    QPrinter printer(QPrinter::HighResolution);
    const QString name = QPrinterInfo::defaultPrinterName();
    if (name.isEmpty()) {
        const auto file = m_ctx.prompter.chooseSaveFile(u"保存为PDF文件"_s, m_ctx.dm.path(u"汇总.pdf"_s),
                                                        u"PDF文件 (*.pdf)"_s);
        if (!file || file->isEmpty())
            return;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(*file);
    } else {
        printer.setPrinterName(name);
    }
    printer.setDocName(Summary::WindowCaption);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_ctx.prompter.error(u"无法打印汇总"_s);
        return;
    }
    const QRect page = painter.viewport();
    const QPixmap grid = m_grid->grab();
    const QPixmap chart = m_chart->grab();
    const QRect top(page.left(), page.top(), page.width(), page.height() / 2 - 10);
    const QRect bottom(page.left(), page.top() + page.height() / 2 + 10, page.width(), page.height() / 2 - 10);
    painter.drawPixmap(QRect(top.topLeft(), grid.size().scaled(top.size(), Qt::KeepAspectRatio)), grid);
    painter.drawPixmap(QRect(bottom.topLeft(), chart.size().scaled(bottom.size(), Qt::KeepAspectRatio)), chart);
    painter.end();
}

CombinationWindow::CombinationWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx),
      m_model(new TableEditModel(ctx.dm.weightdatabase(), ctx.dm.dialect(), u"TotalTab"_s, u"编号"_s, this)),
      m_grid(new EditGrid(*m_model, ctx.prompter, this))
{
    setObjectName(u"TAddTotalfrm"_s);
    setWindowTitle(u"新建组合汇总项目"_s);
    setModal(true);
    m_grid->setObjectName(u"DBGrid1"_s);

    auto* buttons = new QVBoxLayout;
    addButtons<CombinationWindow>(this, buttons,
                                  {{u"BitBtn1", u"添加(&A)", &CombinationWindow::BitBtn1Click},
                                   {u"BitBtn2", u"删除(&D)", &CombinationWindow::BitBtn2Click},
                                   {u"BitBtn3", u"保存(&U)", &CombinationWindow::BitBtn3Click},
                                   {u"BitBtn4", u"关闭(&C)", nullptr}});
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    setFixedSize(520, 340);

    guarded(m_ctx.prompter, [&] {
        m_model->load({u"编号"_s, u"汇总项目"_s}, {}, {}, u"编号"_s);
        m_grid->setColumnHidden(0, true);
        m_grid->setColumnWidth(1, 360);
    });
}

void CombinationWindow::BitBtn1Click()
{
    const auto text = m_ctx.prompter.inputText(u"新建组合汇总项目"_s, u"请按照实例输入一个组合的汇总项目"_s,
                                               u"发货方,品名"_s);
    if (!text)
        return;
    guarded(m_ctx.prompter, [&] {
        const QSqlDatabase db = m_ctx.dm.weightdatabase();
        if (!m_grid->postEdits())
            return;
        const QVariant largest = Sql::scalar(db, u"SELECT max(编号) FROM TotalTab"_s);
        const qlonglong number = largest.isNull() ? 0 : largest.toLongLong() + 1;
        Sql::exec(db, u"INSERT INTO TotalTab (编号, 汇总项目) VALUES (?, ?)"_s, {number, *text});
        m_model->reload();
        m_grid->goToRow(m_model->rowCount() - 1);
    });
}

void CombinationWindow::BitBtn2Click()
{
    guarded(m_ctx.prompter, [&] { m_grid->deleteCurrentRow(); });
}

void CombinationWindow::BitBtn3Click()
{
    m_grid->postEdits();
}
