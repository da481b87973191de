#pragma once

#include <QDialog>

class QFileSystemModel;
class QTreeView;

/**
 * "选择路径" (`TDirTreeFrm`, the backup window's "..."): the folders of this computer as a tree.
 * "选择" reports the chosen folder and closes; a double click reports it and leaves the tree open.
 */
class FolderTreeDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderTreeDialog)

public:
    explicit FolderTreeDialog(QWidget* parent);

    /** Opens the tree at `folder` and selects it. */
    void setFolder(const QString& folder);
    QString selectedFolder() const;

Q_SIGNALS:
    void folderChosen(const QString& folder);

public Q_SLOTS:
    void BitBtn1Click(); // 选择

private:
    QFileSystemModel* m_model;
    QTreeView* m_ShellTreeView1;
};
