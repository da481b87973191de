#include "TicketDesignerWindow.h"

#include "TicketTemplates.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Prompter.h"
#include "reports/ReportDesignerWindow.h"
#include "reports/ReportPreview.h"
#include "reports/ReportPrinting.h"
#include "reports/Tickets.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TicketDesignerWindow::TicketDesignerWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_tree(new QTreeWidget(this)), m_preview(new ReportPreviewPane(this)),
      m_print([](const PreparedReport& report) { return ReportPrinting::print(report); })
{
    setObjectName(u"TWeightFr3Frm"_s);
    setWindowTitle(u"磅单设计器"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* buttons = new QHBoxLayout;
    const QList<std::pair<QString, void (TicketDesignerWindow::*)()>> commands{
        {u"设置默认磅单"_s, &TicketDesignerWindow::SetDefaultClick},
        {u"编辑磅单"_s, &TicketDesignerWindow::EditClick},
        {u"复制磅单"_s, &TicketDesignerWindow::CopyClick},
        {u"导入磅单"_s, &TicketDesignerWindow::ImportClick},
        {u"打印测试"_s, &TicketDesignerWindow::TestPrintClick},
        {u"刷新"_s, &TicketDesignerWindow::RefreshClick},
        {u"退出"_s, nullptr}};
    for (int i = 0; i < commands.size(); ++i) {
        auto* button = new QPushButton(commands[i].first, this);
        button->setObjectName(u"ToolButton%1"_s.arg(i + 1));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        if (commands[i].second)
            connect(button, &QPushButton::clicked, this, [this, slot = commands[i].second] {
                guarded(m_ctx.prompter, [&] { (this->*slot)(); });
            });
    }
    findChild<QPushButton*>(u"ToolButton7"_s)->connect(findChild<QPushButton*>(u"ToolButton7"_s),
                                                        &QPushButton::clicked, this, &QDialog::accept);
    buttons->addStretch();

    auto* note1 = new QLabel(u"单击左边的磅单名称预览磅单；“当前磅单”是称重时打印的磅单。"_s, this);
    note1->setObjectName(u"Label1"_s);
    auto* note2 = new QLabel(u"设置磅单纸张大小：选择相似磅单格式->编辑磅单->双击磅单空白处->设置纸张大小"_s, this);
    note2->setObjectName(u"Label2"_s);
    note2->setStyleSheet(u"color: #b00000;"_s);

    buildTree();
    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_preview);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 900});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(note1);
    layout->addWidget(note2);
    layout->addWidget(splitter, 1);
    connect(m_tree, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { guarded(m_ctx.prompter, [&] { showNode(item); }); });
    resize(1200, 800);
    setWindowState(Qt::WindowMaximized);
}

void TicketDesignerWindow::buildTree()
{
    m_tree->setObjectName(u"TreeView1"_s);
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* choice = new QTreeWidgetItem(m_tree, {u"磅单选择"_s});
    for (const Tickets::Group& group : Tickets::catalogue()) {
        auto* node = new QTreeWidgetItem(choice, {group.name});
        for (const QString& name : group.templates)
            new QTreeWidgetItem(node, {name});
    }
    new QTreeWidgetItem(m_tree, {TicketTemplates::CurrentTicket});
    m_tree->expandAll();
}

QString TicketDesignerWindow::chosenText() const
{
    const QTreeWidgetItem* item = m_tree->currentItem();
    return item ? item->text(0) : QString();
}

void TicketDesignerWindow::choose(const QString& nodeText)
{
    const QList<QTreeWidgetItem*> found = m_tree->findItems(nodeText, Qt::MatchExactly | Qt::MatchRecursive);
    if (found.isEmpty())
        return;
    m_tree->setCurrentItem(found.first());
    showNode(found.first());
}

void TicketDesignerWindow::showNode(QTreeWidgetItem* item)
{
    // A group has no file of its own: an empty page.
    const std::optional<QString> file = TicketTemplates::fileOfNode(m_ctx.dm, item->text(0));
    m_preview->setReport(TicketTemplates::preview(m_ctx.dm, file.value_or(QString())));
}

std::optional<QString> TicketDesignerWindow::chosenFile()
{
    const std::optional<QString> file = TicketTemplates::fileOfNode(m_ctx.dm, chosenText());
    if (!file)
        m_ctx.prompter.information(NoTicketChosen, u"提示"_s);
    return file;
}

void TicketDesignerWindow::SetDefaultClick()
{
    if (const std::optional<QString> file = chosenFile())
        TicketTemplates::setDefault(m_ctx.dm, *file);
}

void TicketDesignerWindow::EditClick()
{
    const std::optional<QString> file = chosenFile();
    if (!file)
        return;
    ReportDesignerWindow::Data data;
    if (const std::optional<QSqlRecord> newest = Tickets::newestRecord(m_ctx.dm))
        data.rows = {*newest};
    data.variables = Tickets::variables(m_ctx.dm);
    ReportDesignerWindow designer(*file, data, m_ctx.prompter, this);
    if (m_openDesigner)
        m_openDesigner(designer);
    else
        designer.exec();
    RefreshClick();
}

void TicketDesignerWindow::CopyClick()
{
    const std::optional<QString> source = chosenFile();
    if (!source)
        return;
    const std::optional<QString> name = m_ctx.prompter.inputText(
        u"复制的磅单名称"_s, u"请输入磅单名称，只输入主文件名，不要输入扩展文件名"_s, u"复制磅单文件名"_s);
    if (!name)
        return;
    if (const auto problem = TicketTemplates::nameProblem(*name)) {
        m_ctx.prompter.warning(*problem, u"提示"_s);
        return;
    }
    const QString target = Tickets::templatePath(m_ctx.dm.ProgramFolder(), name->trimmed());
    if (QFileInfo::exists(target)
        && !m_ctx.prompter.askYesNo(u"磅单文件已经存在，系统将覆盖此磅单文件！是吗？"_s, u"提示"_s))
        return;
    if (const auto problem = TicketTemplates::copy(*source, target))
        m_ctx.prompter.error(*problem);
}

void TicketDesignerWindow::ImportClick()
{
    const std::optional<QString> target = chosenFile();
    if (!target)
        return;
    if (const std::optional<QString> chosen =
            m_ctx.prompter.chooseOpenFile(u"导入磅单"_s, m_ctx.dm.path(Tickets::Folder), QString()))
        if (const auto problem = TicketTemplates::import(*chosen, *target))
            m_ctx.prompter.error(*problem);
    RefreshClick();
}

void TicketDesignerWindow::TestPrintClick()
{
    const std::optional<QString> file = chosenFile();
    if (!file)
        return;
    if (const auto problem = m_print(TicketTemplates::preview(m_ctx.dm, *file)))
        m_ctx.prompter.error(*problem);
}

void TicketDesignerWindow::RefreshClick()
{
    if (QTreeWidgetItem* item = m_tree->currentItem())
        showNode(item);
}
