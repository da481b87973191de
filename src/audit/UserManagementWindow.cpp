#include "UserManagementWindow.h"

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/DbError.h"
#include "data/GridStyle.h"
#include "data/Passwords.h"
#include "data/Sql.h"
#include "data/TableEditModel.h"
#include "platform/AppContext.h"
#include "platform/Prompter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>
#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString NameColumn = u"用户名称"_s;
const QString Admin = u"admin"_s;
const QString RefusedText = u"数据不正确，没有录入成功,请重新输入!"_s;
const QString RefusedTitle = u"提示!"_s;

QStringList allColumns()
{
    return QStringList{NameColumn} + Catalogue::windowRights() + Catalogue::menuRights();
}

QStringList findColumns()
{
    return QStringList{NameColumn} + Catalogue::windowRights();
}

} // namespace

/** Sorts the loaded rows for the grid's titles and lets the window act before a row goes into edit. */
class UserGridProxy final : public QSortFilterProxyModel
{
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    std::function<bool(int sourceRow)> beforeEdit;

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (index.isValid() && beforeEdit && !beforeEdit(mapToSource(index).row()))
            return false;
        return QSortFilterProxyModel::setData(index, value, role);
    }
};

UserManagementWindow::UserManagementWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(u"Tmangerusersfrm"_s);
    setWindowTitle(u"用户管理"_s);
    setModal(true);

    m_model = new TableEditModel(m_ctx.dm.weightdatabase(), m_ctx.dm.dialect(), u"users"_s, NameColumn, this);
    m_proxy = new UserGridProxy(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->beforeEdit = [this](int row) { return beforeEdit(row); };
    connect(m_model, &TableEditModel::postFailed, this,
            [this](const QString&) { m_ctx.prompter.information(RefusedText, RefusedTitle); });

    buildControls();
    RefreshButtonClick();
}

QPushButton* UserManagementWindow::addButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    // Enter belongs to the grid's editor; it must not press a button.
    button->setAutoDefault(false);
    button->setMinimumWidth(96);
    return button;
}

void UserManagementWindow::buildControls()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(u"DBGrid1"_s);
    m_grid->setModel(m_proxy);
    // Keep the order of the query until the user clicks a title.
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    StyleGrid(m_grid);

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
    const struct
    {
        const char16_t* name;
        const char16_t* caption;
        void (UserManagementWindow::*slot)();
    } defs[] = {{u"AddButton", u"添加(&A)", &UserManagementWindow::AddButtonClick},
                {u"DeleteButton", u"删除(&D)", &UserManagementWindow::DeleteButtonClick},
                {u"SaveButton", u"保存(&S)", &UserManagementWindow::SaveButtonClick},
                {u"CancelButton", u"取消(&Q)", &UserManagementWindow::CancelButtonClick},
                {u"FindButton", u"查找(&F)", &UserManagementWindow::FindButtonClick},
                {u"RefreshButton", u"刷新(&P)", &UserManagementWindow::RefreshButtonClick}};
    for (const auto& def : defs) {
        QPushButton* button = addButton(QString::fromUtf16(def.name), QString::fromUtf16(def.caption));
        connect(button, &QPushButton::clicked, this, def.slot);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    QPushButton* close = addButton(u"CloseButton"_s, u"关闭(&C)"_s);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(close);

    auto* top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(buttons);
    resize(980, 560);
}

void UserManagementWindow::loadUsers(const QStringList& columns, const QString& condition,
                                     const QVariantList& values)
{
    const Dialect& dialect = m_ctx.dm.dialect();
    const QString name = dialect.quote(NameColumn);
    QString where = u"coalesce(lower(%1), '') <> ?"_s.arg(name);
    if (!condition.isEmpty())
        where += u" AND "_s + condition;
    m_editIsNew = false;
    m_model->load(columns, where, QVariantList{Admin} + values, name);
    afterLoad();
}

void UserManagementWindow::afterLoad()
{
    m_grid->resizeColumnsToContents();
    if (m_proxy->rowCount() > 0)
        m_grid->setCurrentIndex(m_proxy->index(0, 0));
}

int UserManagementWindow::currentRow() const
{
    return m_proxy->mapToSource(m_grid->currentIndex()).row();
}

bool UserManagementWindow::beforeEdit(int row)
{
    if (m_model->isEditing() && m_model->editingRow() == row)
        return true;
    if (!postEdit())
        return false;
    m_editIsNew = false;
    m_editOriginalName = m_model->value(row, NameColumn).toString();
    return true;
}

bool UserManagementWindow::editIsSound() const
{
    const QString name = m_model->value(m_model->editingRow(), NameColumn).toString().trimmed();
    if (name.isEmpty())
        return false;
    // Users are found by name without regard to letter case, so two names may not differ only in case.
    if (!m_editIsNew && name.compare(m_editOriginalName.trimmed(), Qt::CaseInsensitive) == 0)
        return true;
    const QString sql = u"SELECT count(*) FROM users WHERE lower(trim(%1)) = lower(?)"_s.arg(
        m_ctx.dm.dialect().quote(NameColumn));
    return Sql::scalar(m_ctx.dm.weightdatabase(), sql, {name}).toInt() == 0;
}

void UserManagementWindow::refuseEdit()
{
    m_model->cancel();
    m_editIsNew = false;
    m_ctx.prompter.information(RefusedText, RefusedTitle);
}

bool UserManagementWindow::postEdit()
{
    if (!m_model->isEditing())
        return true;
    try {
        if (!editIsSound()) {
            refuseEdit();
            return false;
        }
        m_model->post();
        m_editIsNew = false;
        return true;
    } catch (const DbError&) {
    } catch (const ConversionError&) {
    }
    refuseEdit();
    return false;
}

void UserManagementWindow::AddButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        if (!postEdit())
            return;
        const int row = m_model->appendRow();
        m_editIsNew = true;
        m_editOriginalName.clear();
        m_grid->setCurrentIndex(m_proxy->mapFromSource(m_model->index(row, 0)));
        // Logged as soon as the row is offered, whether or not it is saved.
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"添加用户"_s, QString());
    });
}

void UserManagementWindow::DeleteButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        if (m_model->rowCount() == 0)
            return;
        if (!m_ctx.prompter.confirm(u"您确定要删除吗？"_s, u"提示！"_s))
            return;
        const int row = currentRow();
        if (row < 0)
            return;
        if (m_editIsNew && m_model->editingRow() == row) {
            // A row that was never saved is only dropped; there is no user to delete.
            m_model->cancel();
            m_editIsNew = false;
            return;
        }
        m_model->deleteRow(row);
        m_editIsNew = false;
        m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"删除用户"_s, QString());
    });
}

void UserManagementWindow::SaveButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        if (postEdit())
            m_ctx.dm.WriteLog(m_ctx.login.CurrentOperator, u"修改用户"_s, QString());
    });
}

void UserManagementWindow::CancelButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        m_model->cancel();
        m_editIsNew = false;
    });
}

void UserManagementWindow::FindButtonClick()
{
    guarded(m_ctx.prompter, [this] {
        const auto answer = m_ctx.prompter.inputText(u"查找"_s, u"请输入用户名   ."_s, QString());
        if (!answer || answer->trimmed().isEmpty())
            return;
        // Only these five columns are loaded, so a save after a find writes no other column.
        loadUsers(findColumns(), u"lower(%1) = lower(?)"_s.arg(m_ctx.dm.dialect().quote(NameColumn)),
                  {answer->trimmed()});
    });
}

void UserManagementWindow::RefreshButtonClick()
{
    guarded(m_ctx.prompter, [this] { loadUsers(allColumns(), QString(), {}); });
}
