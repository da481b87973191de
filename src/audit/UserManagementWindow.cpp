#include "UserManagementWindow.h"

#include "widgets/ButtonRow.h"
#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "widgets/EditGrid.h"
#include "data/Passwords.h"
#include "audit/UserStore.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString NameColumn = u"用户名称"_s;

QStringList allColumns()
{
    return QStringList{NameColumn} + Catalogue::windowRights() + Catalogue::menuRights();
}

QStringList findColumns()
{
    return QStringList{NameColumn} + Catalogue::windowRights();
}

} // namespace

UserManagementWindow::UserManagementWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(u"Tmangerusersfrm"_s);
    setWindowTitle(u"用户管理"_s);
    setModal(true);

    m_model = new TableEditModel(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(), u"users"_s, NameColumn, this);
    buildControls();
    RefreshButtonClick();
}

void UserManagementWindow::buildControls()
{
    m_grid = new EditGrid(*m_model, m_ctx.prompter, this);
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setRowCheck([this](int row, const QVariant& original) {
        return UserStore::nameProblem(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(),
                                      m_model->value(row, NameColumn).toString(), original);
    });

    auto* notes = new QVBoxLayout;
    const QStringList texts{u"1、本程序将高级管理员admin权限隐藏，使任何人员不得修改。"_s,
                            u"2、新注册用户的初始密码为%1。"_s.arg(Passwords::NewUserInitial),
                            u"3、用户注册后，需要用户修改自己的密码。以便保证数据的安全性。"_s};
    for (int i = 0; i < texts.size(); ++i) {
        auto* label = new QLabel(texts[i], this);
        label->setObjectName(u"Label%1"_s.arg(i + 1));
        notes->addWidget(label);
    }

    auto* left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addLayout(notes);

    auto* buttons = new QVBoxLayout;
    addButtons<UserManagementWindow>(this, buttons,
                                     {{u"AddButton", u"添加(&A)", &UserManagementWindow::AddButtonClick},
                                      {u"DeleteButton", u"删除(&D)", &UserManagementWindow::DeleteButtonClick},
                                      {u"SaveButton", u"保存(&S)", &UserManagementWindow::SaveButtonClick},
                                      {u"CancelButton", u"取消(&Q)", &UserManagementWindow::CancelButtonClick},
                                      {u"FindButton", u"查找(&F)", &UserManagementWindow::FindButtonClick},
                                      {u"RefreshButton", u"刷新(&P)", &UserManagementWindow::RefreshButtonClick}});
    buttons->addStretch();
    addButtons<UserManagementWindow>(this, buttons, {{u"CloseButton", u"关闭(&C)", nullptr}});

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(buttons);
    resize(980, 560);
}

void UserManagementWindow::loadUsers(const QStringList& columns, const std::optional<QString>& name)
{
    const UserStore::UserFilter filter = UserStore::listedUsers(m_ctx.dm.dialect(), name);
    m_model->load(columns, filter.where, filter.values, m_ctx.dm.dialect().quote(NameColumn));
}

void UserManagementWindow::AddButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        if (!m_grid->appendRow())
            return;
        // Logged as soon as the row is offered, whether or not it is saved.
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"添加用户"_s, QString());
    });
}

void UserManagementWindow::DeleteButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        // A row that was never saved is only dropped: there is no user to delete, nothing to log.
        if (m_grid->deleteCurrentRow())
            m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"删除用户"_s, QString());
    });
}

void UserManagementWindow::SaveButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        if (m_grid->postEdits())
            m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"修改用户"_s, QString());
    });
}

void UserManagementWindow::CancelButtonClick()
{
    m_grid->cancelEdits();
}

void UserManagementWindow::FindButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        const auto answer = m_ctx.prompter.inputText(u"查找"_s, u"请输入用户名   ."_s, QString());
        if (!answer || answer->trimmed().isEmpty())
            return;
        // Only these five columns are loaded, so a save after a find writes no other column.
        loadUsers(findColumns(), answer->trimmed());
    });
}

void UserManagementWindow::RefreshButtonClick()
{
    guarded(m_ctx.prompter, [this] { loadUsers(allColumns()); });
}
