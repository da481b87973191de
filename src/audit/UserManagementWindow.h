#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVariantList>

class EditGrid;
class TableEditModel;
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
    /** Loads the given columns of the users matching `condition` (admin is always left out). */
    void loadUsers(const QStringList& columns, const std::optional<QString>& name = std::nullopt);
    /**
     * Refuses (throws) an empty name or one that another user already has, letter case ignored: users
     * are found by name. `original` is the row's name as loaded, invalid for a new row.
     */

    AppContext& m_ctx;
    TableEditModel* m_model = nullptr;
    EditGrid* m_grid = nullptr;
};
