#include "DeductionWindow.h"

#include "Deduction.h"
#include "widgets/EditGrid.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

DeductionWindow::DeductionWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx),
      m_history(new TableEditModel(ctx.dm.weightdatabase(), ctx.dm.dialect(), u"Agio"_s, u"ID"_s, this))
{
    setObjectName(u"TDiscountfrm"_s);
    setWindowTitle(u"设置扣杂功能"_s);
    setModal(true);
    resize(520, 360);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(u"PageControl1"_s);
    tabs->addTab(buildSettingPage(), u"设置扣杂"_s);
    tabs->addTab(buildHistoryPage(), u"查看扣杂记录"_s);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    FormShow();
}

QWidget* DeductionWindow::buildSettingPage()
{
    static const char16_t* const captions[] = {u"毛重加减一个固定数值,如-300       ", u"毛重乘以一个比例系数",
                                               u"净重加减一个固定数值,如300    ", u"净重乘以一个比例系数"};
    auto* page = new QWidget(this);
    page->setObjectName(u"TabSheet1"_s);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(18);
    for (int i = 0; i < 4; ++i) {
        auto* kind = new QRadioButton(QString::fromUtf16(captions[i]), page);
        kind->setObjectName(u"RadioButton%1"_s.arg(i + 1));
        auto* value = new QLineEdit(page);
        value->setObjectName(u"Edit%1"_s.arg(i + 1));
        value->setFixedWidth(110);
        grid->addWidget(kind, i, 0);
        grid->addWidget(value, i, 1);
        if (i % 2 == 1)
            grid->addWidget(new QLabel(u"%"_s, page), i, 2);
        m_kinds.append(kind);
        m_values.append(value);
    }
    grid->setColumnStretch(3, 1);

    auto* save = new QPushButton(u"确定(&A)"_s, page);
    save->setObjectName(u"BitBtn2"_s);
    save->setAutoDefault(false);
    auto* close = new QPushButton(u"关闭(&C)"_s, page);
    close->setObjectName(u"BitBtn1"_s);
    close->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &DeductionWindow::BitBtn2Click);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 24, 20, 12);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    return page;
}

QWidget* DeductionWindow::buildHistoryPage()
{
    auto* page = new QWidget(this);
    page->setObjectName(u"TabSheet2"_s);
    m_history->setReadOnlyColumns({u"折扣项目"_s, u"折扣数值"_s, u"折扣日期"_s});
    m_grid = new EditGrid(*m_history, m_ctx.prompter, page);
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setTwoDecimals({u"折扣数值"_s});
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_grid);
    return page;
}

void DeductionWindow::openHistory()
{
    m_history->load({u"折扣项目"_s, u"折扣数值"_s, u"折扣日期"_s}, {}, {}, u"ID DESC"_s);
}

void DeductionWindow::FormShow()
{
    guarded(m_ctx.prompter, [&] {
        const QStringList& kinds = Deduction::kinds();
        for (qsizetype i = 0; i < kinds.size(); ++i)
            m_values[i]->setText(Deduction::newestValueOf(m_ctx.dm, kinds[i]));
        const qsizetype chosen = kinds.indexOf(Deduction::newestChosenKind(m_ctx.dm));
        if (chosen >= 0)
            m_kinds[chosen]->setChecked(true);
        openHistory();
    });
}

void DeductionWindow::BitBtn2Click()
{
    guarded(m_ctx.prompter, [&] {
        qsizetype chosen = -1;
        for (qsizetype i = 0; i < m_kinds.size(); ++i)
            if (m_kinds[i]->isChecked())
                chosen = i;
        if (chosen < 0) {
            m_ctx.prompter.information(NoKindMessage, u"提示！"_s);
            return;
        }
        const QString kind = Deduction::kinds()[chosen];
        const double value = Deduction::valueFromText(m_values[chosen]->text());
        try {
            Deduction::save(m_ctx.dm, m_ctx.login.CurrentOperator, kind, value);
        } catch (const DbError&) {
            m_ctx.prompter.information(u"扣杂参数没有保存成功!"_s, u"提示！"_s);
            return;
        }
        m_ctx.prompter.information(u"扣杂参数保存成功!"_s, u"提示！"_s);
        openHistory();
    });
}
