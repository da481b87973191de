#include "FieldDesignerWindow.h"

#include "FieldDesigner.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/RecordLayout.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "widgets/ButtonRow.h"
#include "widgets/RecordNavigator.h"
#include "widgets/EditGrid.h"
#include "data/UniqueValue.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Structure = u"structure"_s;
const QString KeyColumn = u"编号"_s;

const QStringList& shownColumns()
{
    static const QStringList columns{u"编号"_s,   u"项目名称"_s, u"项目类型"_s, u"项目宽度"_s,
                                     u"小数位"_s, u"是否为空"_s, u"是否可见"_s, u"是否汉字输入"_s};
    return columns;
}

} // namespace

const QStringList& FieldDesignerWindow::noteLines()
{
    static const QStringList lines{
        u"1、Int为整数类型；Float为浮点数；String为字符类型;DateTime为日期类型。"_s,
        u"2、Int宽度为4，Float宽度为4，String宽度为自定义，DateTime宽度为8。"_s,
        u"3、编号、车号、毛重、皮重、净重、皮重时间、毛重时间、皮重操作人、毛重操作人、扣杂方式为、"_s,
        u"补打次数、扣重数为系统关键项目，用户不可删除修改。"_s,
        u"4、系统由于界面限制，用户最多可以添加上25个自定义项目，其中可见项目为16个。"_s,
        u"5、称重数据项目设置后，称重数据会丢失。"_s,
        u"6、编号要求为从1开始的顺序的自然数。"_s,
        u"7、编号越小的项目显示在称重窗体上的位置也越在前面。"_s,
    };
    return lines;
}

FieldDesignerWindow::FieldDesignerWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx),
      m_model(new TableEditModel(ctx.dm.weightdatabase(), ctx.dm.dialect(), Structure, KeyColumn, this)),
      m_grid(new EditGrid(*m_model, ctx.prompter, this))
{
    setObjectName(u"Tdatabasesetfrm"_s);
    setWindowTitle(u"设置称重字段项目"_s);
    setModal(true);
    resize(900, 640);

    auto* heading = new QLabel(u"称重项目设置"_s, this);
    heading->setObjectName(u"Label1"_s);
    heading->setAlignment(Qt::AlignCenter);
    QFont font = heading->font();
    font.setPointSize(font.pointSize() + 6);
    font.setBold(true);
    heading->setFont(font);

    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setPickList(u"项目类型"_s, {u"Int"_s, u"Float"_s, u"String"_s, u"DateTime"_s});
    // 编号 is typed and orders the layout: it must be filled in and held by no other row.
    m_grid->setRowCheck([this](int row, const QVariant& original) {
        return uniqueValueProblem(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(), {Structure, KeyColumn, KeyColumn},
                                  m_model->value(row, KeyColumn), original);
    });

    auto* controls = new QHBoxLayout;
    controls->addWidget(makeRecordNavigator(m_grid, u"数据导航"_s, this));
    controls->addStretch(1);
    controls->addWidget(buildButtons());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_grid, 1);
    layout->addLayout(controls);
    layout->addWidget(buildNote());
    FormShow();
}

QWidget* FieldDesignerWindow::buildButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    addButtons<FieldDesignerWindow>(this, layout,
                                    {{u"BitBtn2", u"添加(&A)", &FieldDesignerWindow::BitBtn2Click},
                                     {u"BitBtn3", u"删除(&D)", &FieldDesignerWindow::BitBtn3Click},
                                     {u"BitBtn4", u"保存(&S)", &FieldDesignerWindow::BitBtn4Click},
                                     {u"BitBtn5", u"取消(&Q)", &FieldDesignerWindow::BitBtn5Click},
                                     {u"BitBtn6", u"刷新(&P)", &FieldDesignerWindow::BitBtn6Click},
                                     {u"BitBtn1", u"关闭(&C)", nullptr}});
    return row;
}

QWidget* FieldDesignerWindow::buildNote()
{
    auto* note = new QGroupBox(u"特别注意："_s, this);
    note->setObjectName(u"GroupBox1"_s);
    note->setStyleSheet(u"QLabel { color: rgb(200, 0, 0); }"_s);
    auto* layout = new QVBoxLayout(note);
    layout->setSpacing(2);
    int n = 1;
    for (const QString& line : noteLines()) {
        auto* label = new QLabel(line, note);
        label->setObjectName(u"NoteLine%1"_s.arg(n++));
        layout->addWidget(label);
    }
    return note;
}

void FieldDesignerWindow::FormShow()
{
    guarded(m_ctx.prompter, [&] { loadRows(); });
}

void FieldDesignerWindow::loadRows()
{
    m_model->load(shownColumns(), {}, {}, KeyColumn);
}

void FieldDesignerWindow::BitBtn2Click()
{
    guarded(m_ctx.prompter, [&] { m_grid->appendRow(); });
}

void FieldDesignerWindow::BitBtn3Click()
{
    guarded(m_ctx.prompter, [&] { m_grid->deleteCurrentRow(); });
}

void FieldDesignerWindow::BitBtn4Click()
{
    guarded(m_ctx.prompter, [&] {
        if (!m_grid->postEdits())
            return;
        const FieldDesigner::Rebuild rebuild = FieldDesigner::rebuildWeight(m_ctx.dm, m_ctx.clock.now());
        if (rebuild.problem) {
            m_ctx.prompter.warning(*rebuild.problem + u"\n称重数据表格没有改变。"_s, u"提示"_s);
            return;
        }
        FieldDesigner::writeCheckWidths(m_ctx.dm.iniPath(), rebuild.rows,
                                        FieldDesigner::WidthRule::FloatAsTwelve);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"建表结构"_s, QString());
        m_ctx.prompter.information(u"恭喜您，称重数据表格已经构建完毕！"_s, u"提示"_s);
        loadRows();
    });
}

void FieldDesignerWindow::BitBtn5Click()
{
    guarded(m_ctx.prompter, [&] { m_grid->cancelEdits(); });
}

void FieldDesignerWindow::BitBtn6Click()
{
    guarded(m_ctx.prompter, [&] {
        loadRows();
        FieldDesigner::writeCheckWidths(m_ctx.dm.iniPath(), RecordLayout::read(m_ctx.dm.weightdatabase()),
                                        FieldDesigner::WidthRule::StoredWidth);
    });
}
