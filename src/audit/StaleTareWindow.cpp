#include "StaleTareWindow.h"

#include "ResultTable.h"
#include "StaleTares.h"
#include "data/DataModule.h"
#include "data/Settings.h"
#include "platform/AppContext.h"
#include "platform/AppError.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"
#include "widgets/ButtonRow.h"
#include "widgets/GridStyle.h"
#include "widgets/ReadOnlyGrid.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

StaleTareWindow::StaleTareWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(u"TAdvancedFrm"_s);
    setWindowTitle(Caption);
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_table = new ResultTable(this);
    m_grid = new ReadOnlyGrid(m_table, this);
    connect(m_grid, &ReadOnlyGrid::saveWidthsRequested, this, &StaleTareWindow::N1Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    addButtons<StaleTareWindow>(
        this, buttons,
        {{u"BitBtn1", u"删除", &StaleTareWindow::BitBtn1Click}, {u"BitBtn2", u"返回", nullptr}});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    setFixedSize(900, 520);
}

void StaleTareWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!std::exchange(m_shown, true))
        FormShow();
}

void StaleTareWindow::FormShow()
{
    const bool ok = guarded(m_ctx.prompter, [this] {
        const IntSetting& limit = Option::PendingHours;
        const int hours = m_ctx.dm.ReadIniInteger(limit.section, limit.key, limit.def);
        QSqlQuery rows = StaleTares::query(m_ctx.dm, m_ctx.clock.now(), hours);
        m_table->load(rows);
        m_grid->goToFirstRow();
        m_ctx.prompter.information(StaleTares::countMessage(m_table->rowCount(), hours), u"提示"_s);
        ApplyGridWidths(m_ctx.dm.iniPath(), Caption, m_grid, true);
    });
    if (!ok)
        m_table->clear();
}

void StaleTareWindow::BitBtn1Click()
{
    const int row = m_grid->currentSourceRow();
    if (row < 0)
        return;
    if (!StaleTares::canDelete(m_table->value(row, u"毛重"_s).toDouble())) {
        m_ctx.prompter.information(StaleTares::NotTareOnlyMessage, u"提示"_s);
        return;
    }
    if (!m_ctx.prompter.confirm(StaleTares::DeleteQuestion, u"提示！"_s))
        return;
    guarded(m_ctx.prompter, [&] {
        StaleTares::deleteRecord(m_ctx.dm, m_table->record(row), m_ctx.login.CurrentOperator);
        m_table->removeRecord(row);
    });
}

void StaleTareWindow::N1Click()
{
    guarded(m_ctx.prompter, [this] { SaveGridWidths(m_ctx.dm.iniPath(), Caption, m_grid, m_ctx.prompter); });
}
