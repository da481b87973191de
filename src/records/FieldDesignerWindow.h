#pragma once

#include <QDialog>

struct AppContext;
class EditGrid;
class TableEditModel;

/**
 * 设置称重字段项目: edits the record layout in `structure` and rebuilds the weighing table from it
 * (main menu "1.设置称重项目...").
 */
class FieldDesignerWindow final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FieldDesignerWindow)

public:
    /** The note lines, in order. */
    static const QStringList& noteLines();

    explicit FieldDesignerWindow(AppContext& ctx, QWidget* parent = nullptr);

    /** 添加(&A): appends an empty row for editing. */
    void BitBtn2Click();
    /** 删除(&D): deletes the current row after confirmation. */
    void BitBtn3Click();
    /** 保存(&S): posts the current row, rebuilds the weighing table, writes the input widths. */
    void BitBtn4Click();
    /** 取消(&Q): discards the edits of the current row. */
    void BitBtn5Click();
    /** 刷新(&P): reloads the rows and writes their widths as input widths. */
    void BitBtn6Click();

private:
    void FormShow();
    QWidget* buildButtons();
    QWidget* buildNote();
    void loadRows();

    AppContext& m_ctx;
    TableEditModel* m_model;
    EditGrid* m_grid;
};
