#pragma once

#include <QTableView>

class QMenu;
class QSortFilterProxyModel;

/**
 * A read-only record grid over a model it does not own, in the common grid style: titles sort the
 * loaded rows in memory by their edit-role values, and the pop-up menu starts with "设置表格宽度"
 * (object name "N1"), which emits saveWidthsRequested.
 */
class ReadOnlyGrid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReadOnlyGrid)

public:
    ReadOnlyGrid(QAbstractItemModel* source, QWidget* parent);

    /** The source row under the cursor; -1 when there is none. */
    int currentSourceRow() const;
    /** Puts the cursor on the first row shown, if any. */
    void goToFirstRow();
    /** The pop-up menu, for further entries. */
    QMenu* menu() const { return m_menu; }

Q_SIGNALS:
    void saveWidthsRequested();

private:
    QSortFilterProxyModel* m_sorted;
    QMenu* m_menu;
};
