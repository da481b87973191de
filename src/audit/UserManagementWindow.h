#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVariantList>

class QPushButton;
class QTableView;
class TableEditModel;
class UserGridProxy;
struct AppContext;

/**
 * User management ("用户管理..." of the main menu); modal. Edits names and rights of every user but
 * admin directly in the grid; passwords are not shown here.
 */
class UserManagementWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(UserManagementWindow)

public:
    explicit UserManagementWindow(AppContext& ctx, QWidget* parent = nullptr);

    TableEditModel* model() const { return m_model; }

public Q_SLOTS:
    void AddButtonClick();
    void DeleteButtonClick();
    void SaveButtonClick();
    void CancelButtonClick();
    void FindButtonClick();
    void RefreshButtonClick();

private:
    void buildControls();
    QPushButton* addButton(const QString& name, const QString& caption);
    /** Loads the given columns of the users matching `condition` (admin is always left out). */
    void loadUsers(const QStringList& columns, const QString& condition, const QVariantList& values);
    void afterLoad();
    int currentRow() const;
    /** Called before the grid edits a row: posts another row in edit first and notes the row's name. */
    bool beforeEdit(int row);
    /**
     * Posts the row in edit, refusing an empty name or one that another user already has (letter case
     * ignored). On any failure the edit is discarded and the user told; returns false then.
     */
    bool postEdit();
    bool editIsSound() const;
    void refuseEdit();

    AppContext& m_ctx;
    TableEditModel* m_model = nullptr;
    UserGridProxy* m_proxy = nullptr;
    QTableView* m_grid = nullptr;
    bool m_editIsNew = false;
    QString m_editOriginalName;
};
