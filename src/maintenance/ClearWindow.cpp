#include "ClearWindow.h"

#include "DialogParts.h"
#include "Maintenance.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimeEdit>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

template <typename Edit>
Edit* picker(const QString& name, QWidget* parent)
{
    auto* edit = new Edit(parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

ClearWindow::ClearWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_DateTimePicker1(picker<QDateEdit>(u"DateTimePicker1"_s, this)),
      m_DateTimePicker2(picker<QTimeEdit>(u"DateTimePicker2"_s, this)),
      m_DateTimePicker3(picker<QDateEdit>(u"DateTimePicker3"_s, this)),
      m_DateTimePicker4(picker<QTimeEdit>(u"DateTimePicker4"_s, this)), m_ProgressBar1(new QProgressBar(this))
{
    const QDate today = ctx.clock.now().date();
    for (QDateEdit* date : {m_DateTimePicker1, m_DateTimePicker3}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(u"yyyy-MM-dd"_s);
        date->setDate(today);
    }
    for (QTimeEdit* time : {m_DateTimePicker2, m_DateTimePicker4})
        time->setDisplayFormat(u"HH:mm:ss"_s);
    m_DateTimePicker2->setTime(QTime(0, 0, 0));
    m_DateTimePicker4->setTime(QTime(23, 59, 59));
    m_ProgressBar1->setObjectName(u"ProgressBar1"_s);
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);

    auto* layout = new QVBoxLayout(this);
    auto* period = new QGridLayout;
    period->addWidget(new QLabel(u"数据起始日期："_s, this), 0, 0);
    period->addWidget(m_DateTimePicker1, 0, 1);
    period->addWidget(m_DateTimePicker2, 0, 2);
    period->addWidget(new QLabel(u"数据结束日期："_s, this), 1, 0);
    period->addWidget(m_DateTimePicker3, 1, 1);
    period->addWidget(m_DateTimePicker4, 1, 2);
    layout->addLayout(period);
    layout->addWidget(m_ProgressBar1);
    for (const QString& text : {u"在进行数据清除之前做一下数据备份."_s, u"数据清除以毛重时间为准."_s,
                                u"清理完毕后建议运行数据库压缩修复功能，可以提高运行速度。"_s})
        layout->addWidget(DialogParts::note(text, this));
    auto* clear = DialogParts::actionAndClose(this, layout, u"清除(&D)"_s, this);
    DialogParts::setUp(this, u"Tclearfrm"_s, u"数据清除"_s);

    connect(clear, &QPushButton::clicked, this, &ClearWindow::BitBtn1Click);
}

void ClearWindow::BitBtn1Click()
{
    const QDateTime from(m_DateTimePicker1->date(), m_DateTimePicker2->time());
    const QDateTime to(m_DateTimePicker3->date(), m_DateTimePicker4->time());
    if (!m_ctx.prompter.confirm(u"你确定要删除数据吗?"_s, u"提示!"_s))
        return;
    m_ProgressBar1->setValue(20);
    guarded(m_ctx.prompter, [&] {
        Maintenance::clearRecords(m_ctx.dm, from, to);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"清除数据"_s, QString());
        m_ProgressBar1->setValue(100);
        m_ctx.prompter.information(u"数据清理完毕!"_s, u"提示"_s);
    });
}
