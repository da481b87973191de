#pragma once

#include <QColor>
#include <QTableView>
#include <functional>
#include <optional>

class Prompter;
class TableEditModel;
class EditGridDelegate;
class EditGridProxy;

/**
 * The editable record grid of the master-data windows and the field designer, over a TableEditModel it
 * does not own: the common grid style, titles that sort the loaded rows in memory, plain text editors
 * (a number column takes any text; the post refuses what does not convert), two-decimal columns and pick
 * lists. The row in edit is posted when the cursor leaves it or another row is edited; a row appended
 * and left untouched is dropped. A post that fails discards the row's edits and shows PostFailedMessage.
 */
class EditGrid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EditGrid)

public:
    /**
     * Runs before every post of a row and returns why the row cannot be posted (nullopt: it can).
     * `original` is the row's key as loaded, invalid for a row appended in this grid. May throw DbError.
     */
    using RowCheck = std::function<std::optional<QString>(int row, const QVariant& original)>;

    inline static const QString PostFailedMessage = QStringLiteral("数据不正确，没有录入成功,请重新输入!");
    inline static const QString PostFailedTitle = QStringLiteral("提示!");

    EditGrid(TableEditModel& model, Prompter& prompter, QWidget* parent = nullptr);

    TableEditModel& editModel() const { return m_model; }
    void setRowCheck(RowCheck check) { m_check = std::move(check); }
    void setTwoDecimals(const QStringList& columns);
    /** Aligns the text of every cell. */
    void setCellAlignment(Qt::Alignment alignment);
    /** Paints every cell of a model row with the colour returned for it (an invalid colour: the default). */
    void setRowBackground(std::function<QColor(int modelRow)> colour);
    /** An editable drop-down of the given texts for a column. */
    void setPickList(const QString& column, const QStringList& items);

    /** Posts the row in edit; on failure discards its edits and shows the message. True unless it failed. */
    bool postEdits();
    /** Discards the edits of the row in edit (an appended row disappears). */
    void cancelEdits();
    /** Posts the row in edit, appends an empty row and puts the cursor into it; false when the post failed.
     */
    bool appendRow();
    /**
     * Asks "您确定要删除吗？" and on OK deletes the row under the cursor from the table. True when a stored
     * row was deleted; false for an empty grid, a cancel, or an appended row that was only dropped.
     * Throws DbError.
     */
    bool deleteCurrentRow();
    /** Model row under the cursor; -1 when the grid is empty. */
    int currentRow() const;
    void goToRow(int modelRow);
    /** Hands the text of an open cell editor to the model. */
    void commitEditor();

    /** Called by the sorting proxy before a value goes into a model row. */
    void beforeEdit(int modelRow);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void closeOpenEditor(bool commit);
    void leaveEditedRow();
    void forgetEdit();

    TableEditModel& m_model;
    Prompter& m_prompter;
    EditGridProxy* m_proxy;
    EditGridDelegate* m_delegate;
    RowCheck m_check;
    QVariant m_originalKey;
    bool m_appended = false;
    bool m_touched = false;
};
