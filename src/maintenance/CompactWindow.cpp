#include "CompactWindow.h"

#include "DialogParts.h"
#include "Maintenance.h"
#include "data/DataModule.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

CompactWindow::CompactWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_ProgressBar1(new QProgressBar(this))
{
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(DialogParts::note(
        u"数据记录删除以后，会产生许多无用的信息，压缩修复数据库，可以提高数据库的性能。"_s, frame));
    m_ProgressBar1->setObjectName(u"ProgressBar1"_s);
    m_ProgressBar1->setRange(0, 100);
    m_ProgressBar1->setValue(0);
    layout->addWidget(m_ProgressBar1);
    auto* start = DialogParts::actionAndClose(this, layout, u"压缩(&A)"_s, frame);
    DialogParts::setUp(this, u"Tcompressdatafrm"_s, u"压缩数据库"_s);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    connect(start, &QPushButton::clicked, this, &CompactWindow::BitBtn1Click);
}

void CompactWindow::BitBtn1Click()
{
    m_ProgressBar1->setValue(10);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    guarded(m_ctx.prompter, [&] {
        const Maintenance::Compaction result = Maintenance::compact(m_ctx.dm);
        switch (result.outcome) {
        case Maintenance::CompactOutcome::Failed:
            m_ProgressBar1->setValue(0);
            m_ctx.prompter.information(FailedMessage, u"提示"_s);
            return;
        case Maintenance::CompactOutcome::CannotRename:
            m_ProgressBar1->setValue(0);
            m_ctx.prompter.information(u"不能重命名文件"_s, u"提示"_s);
            return;
        case Maintenance::CompactOutcome::Compacted:
            break;
        }
        m_ProgressBar1->setValue(100);
        m_ctx.prompter.information(u"恭喜你本次减肥成功！"_s, u"提示"_s);
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"压缩数据"_s, QString());
    });
    accept();
}
