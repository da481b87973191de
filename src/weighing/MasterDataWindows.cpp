#include "MasterDataWindows.h"

#include "widgets/ButtonRow.h"
#include "widgets/EditGrid.h"
#include "MasterData.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

MasterGridWindow::MasterGridWindow(AppContext& ctx, const MasterTable& table, const Texts& texts,
                                   QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_table(table),
      m_model(
          new TableEditModel(ctx.dm.weightdatabase(), ctx.dm.dialect(), table.table, table.keyColumn, this)),
      m_grid(new EditGrid(*m_model, ctx.prompter, this))
{
    setObjectName(texts.formName);
    setWindowTitle(texts.caption);
    setModal(true);
    resize(720, texts.help.isEmpty() ? 460 : 520);
    FormCreate(texts);
}

void MasterGridWindow::FormCreate(const Texts& texts)
{
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setTwoDecimals(m_table.twoDecimalColumns);
    m_model->setReadOnlyColumns(m_table.readOnlyColumns);
    if (!m_table.uniqueColumn.isEmpty())
        m_grid->setRowCheck([this](int row, const QVariant& original) { return checkRow(row, original); });

    m_unit = new QLabel(this);
    m_unit->setObjectName(u"Label1"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_unit);
    layout->addWidget(m_grid, 1);
    if (!texts.help.isEmpty()) {
        auto* help = new QLabel(texts.help, this);
        help->setObjectName(u"Label2"_s);
        help->setWordWrap(true);
        help->setFrameShape(QFrame::StyledPanel);
        help->setMargin(6);
        help->setStyleSheet(u"color: rgb(0, 0, 160);"_s);
        layout->addWidget(help);
    }
    layout->addWidget(buildButtons());

    guarded(m_ctx.prompter, [&] {
        m_unit->setText(MasterData::unitCaption(m_ctx.dm.iniPath()));
        m_model->load(m_table.columns, {}, {}, m_table.orderBy);
    });
}

QWidget* MasterGridWindow::buildButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 0);
    addButtons<MasterGridWindow>(this, layout,
                                 {{u"RzBitBtn1", u"添加(&A)", &MasterGridWindow::RzBitBtn1Click},
                                  {u"RzBitBtn2", u"删除(&D)", &MasterGridWindow::RzBitBtn2Click},
                                  {u"RzBitBtn3", u"保存(&S)", &MasterGridWindow::RzBitBtn3Click},
                                  {u"RzBitBtn4", u"取消(&E)", &MasterGridWindow::RzBitBtn4Click},
                                  {u"RzBitBtn5", u"查找(F)", &MasterGridWindow::RzBitBtn5Click},
                                  {u"RzBitBtn6", u"刷新(&Q)", &MasterGridWindow::RzBitBtn6Click},
                                  {u"RzBitBtn7", u"退出(&X)", nullptr}});
    return row;
}

void MasterGridWindow::log(const QString& action)
{
    m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, action, QString());
}

std::optional<QString> MasterGridWindow::checkRow(int row, const QVariant& original)
{
    return uniqueValueProblem(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(), m_table.unique(),
                              m_model->value(row, m_table.uniqueColumn), original);
}

void MasterGridWindow::RzBitBtn1Click()
{
    guarded(m_ctx.prompter, [&] {
        if (!m_grid->appendRow())
            return;
        log(m_table.addAction);
    });
}

void MasterGridWindow::RzBitBtn2Click()
{
    guarded(m_ctx.prompter, [&] {
        if (m_grid->deleteCurrentRow())
            log(m_table.deleteAction);
    });
}

void MasterGridWindow::RzBitBtn3Click()
{
    guarded(m_ctx.prompter, [&] {
        m_grid->commitEditor();
        // Nothing typed, nothing to save: no message and no log entry.
        if (!m_model->isEditing())
            return;
        if (m_grid->postEdits())
            log(m_table.saveAction);
    });
}

void MasterGridWindow::RzBitBtn4Click()
{
    guarded(m_ctx.prompter, [&] { m_grid->cancelEdits(); });
}

void MasterGridWindow::RzBitBtn5Click()
{
    guarded(m_ctx.prompter, [&] {
        const std::optional<QString> answer =
            m_ctx.prompter.inputText(u"查找"_s, m_table.findPrompt, QString());
        const QString text = answer.value_or(QString()).trimmed();
        if (text.isEmpty())
            return;
        m_model->load(m_table.columns, m_ctx.dm.dialect().quote(m_table.findColumn) + u" = ?"_s, {text});
    });
}

void MasterGridWindow::RzBitBtn6Click()
{
    guarded(m_ctx.prompter, [&] { m_model->load(m_table.columns, {}, {}, m_table.orderBy); });
}

TareWeightWindow::TareWeightWindow(AppContext& ctx, QWidget* parent)
    : MasterGridWindow(ctx, MasterData::tareWeight(), {u"TSetTareWeightFrm"_s, u"固定存皮"_s, HelpText},
                       parent)
{}

UnitPriceWindow::UnitPriceWindow(AppContext& ctx, QWidget* parent)
    : MasterGridWindow(ctx, MasterData::unitPrice(), {u"TSetUnitPriceFrm"_s, u"产品单价"_s, QString()},
                       parent)
{}
