#include "InitialiseWindow.h"

#include "DialogParts.h"
#include "Maintenance.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

InitialiseWindow::InitialiseWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_ProgressBar1(new QProgressBar(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DialogParts::note(u"初始化系统表格可以使系统恢复到刚安装时的状态。"_s, this));
    layout->addWidget(DialogParts::note(u"初始化完以后，建议您进行数据库的压缩与修复。"_s, this));
    auto* group = new QGroupBox(u"请选则你要初始化的表"_s, this);
    group->setObjectName(u"GroupBox1"_s);
    auto* boxes = new QVBoxLayout(group);
    for (const Maintenance::InitialiseStep& step : Maintenance::initialiseSteps()) {
        auto* box = new QCheckBox(step.checkBox, group);
        box->setObjectName(u"CheckBox%1"_s.arg(m_checkBoxes.size() + 1));
        boxes->addWidget(box);
        m_checkBoxes.append(box);
    }
    layout->addWidget(group);
    m_ProgressBar1->setObjectName(u"ProgressBar1"_s);
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);
    layout->addWidget(m_ProgressBar1);
    auto* start = DialogParts::actionAndClose(this, layout, u"初始化(&A)"_s, this);
    DialogParts::setUp(this, u"Tbeginsysfrm"_s, u"初始化系统"_s);

    connect(start, &QPushButton::clicked, this, &InitialiseWindow::BitBtn1Click);
}

void InitialiseWindow::BitBtn1Click()
{
    if (!m_ctx.prompter.confirm(u"初始化数据后数据将被清空,你确定要初始化这些表格数据吗?"_s, u"提示!"_s))
        return;
    QList<bool> ticked;
    for (const QCheckBox* box : std::as_const(m_checkBoxes))
        ticked.append(box->isChecked());
    const bool done = guarded(m_ctx.prompter, [&] {
        Maintenance::initialise(m_ctx.dm, ticked, [this](int value) { m_ProgressBar1->setValue(value); });
        m_ctx.prompter.information(u"数据初始化完毕!"_s, u"提示"_s);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"初始化"_s, QString());
    });
    if (done)
        accept();
}
