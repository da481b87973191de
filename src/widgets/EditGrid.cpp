#include "widgets/EditGrid.h"

#include "data/Errors.h"
#include "widgets/GridStyle.h"
#include "data/TableEditModel.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QHash>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QStyledItemDelegate>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

QString columnName(const QModelIndex& index)
{
    return index.model()->headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString();
}

} // namespace

/** Plain text editors for every cell, pick lists where given, two decimals where asked. */
class EditGridDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QStringList twoDecimals;
    QHash<QString, QStringList> pickLists;
    std::function<QColor(const QModelIndex&)> background;
    std::optional<Qt::Alignment> alignment;

    QWidget* openEditor() const { return m_editor; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        const auto pick = pickLists.constFind(columnName(index));
        if (pick != pickLists.constEnd()) {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->addItems(*pick);
            m_editor = box;
        } else {
            auto* edit = new QLineEdit(parent);
            edit->setFrame(false);
            m_editor = edit;
        }
        return m_editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* box = qobject_cast<QComboBox*>(editor))
            box->setCurrentText(text);
        else if (auto* edit = qobject_cast<QLineEdit*>(editor))
            edit->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (auto* box = qobject_cast<QComboBox*>(editor))
            model->setData(index, box->currentText(), Qt::EditRole);
        else if (auto* edit = qobject_cast<QLineEdit*>(editor))
            model->setData(index, edit->text(), Qt::EditRole);
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (alignment)
            option->displayAlignment = *alignment;
        if (background) {
            const QColor colour = background(index);
            if (colour.isValid())
                option->backgroundBrush = colour;
        }
        if (!twoDecimals.contains(columnName(index)))
            return;
        bool ok = false;
        const double value = index.data(Qt::DisplayRole).toString().toDouble(&ok);
        if (ok)
            option->text = QString::number(value, 'f', 2);
    }

private:
    mutable QPointer<QWidget> m_editor;
};

/** Sorts the loaded rows in memory; routes every edit through the grid; numbers rows by position. */
class EditGridProxy final : public QSortFilterProxyModel
{
public:
    EditGridProxy(EditGrid& grid, TableEditModel& model)
        : QSortFilterProxyModel(&grid), m_grid(grid), m_model(model)
    {
        // Rows stay where they are while they are edited; a title click sorts again.
        setDynamicSortFilter(false);
        setSourceModel(&model);
        connect(&model, &QAbstractItemModel::dataChanged, this, &EditGridProxy::rowMarksChanged);
        connect(&model, &QAbstractItemModel::rowsRemoved, this, &EditGridProxy::rowMarksChanged);
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid())
            return false;
        const QModelIndex source = mapToSource(index);
        const int row = source.row();
        const int column = source.column();
        m_grid.beforeEdit(row);
        const bool done = m_model.setData(m_model.index(row, column), value, role);
        rowMarksChanged();
        return done;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal || role != Qt::DisplayRole)
            return QSortFilterProxyModel::headerData(section, orientation, role);
        const QModelIndex source = mapToSource(index(section, 0));
        if (source.isValid() && source.row() == m_model.editingRow())
            return u"*"_s;
        return QString::number(section + 1);
    }

private:
    void rowMarksChanged()
    {
        if (rowCount() > 0)
            Q_EMIT headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
    }

    EditGrid& m_grid;
    TableEditModel& m_model;
};

EditGrid::EditGrid(TableEditModel& model, Prompter& prompter, QWidget* parent)
    : QTableView(parent), m_model(model), m_prompter(prompter),
      m_proxy(new EditGridProxy(*this, model)), m_delegate(new EditGridDelegate(this))
{
    setModel(m_proxy);
    setItemDelegate(m_delegate);
    StyleGrid(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        forgetEdit();
        // Reloaded rows come in the statement's order; the sort marker says so.
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        // Columns are 100 pixels wide unless their texts need more (date-times do).
        for (int c = 0; c < m_proxy->columnCount(); ++c)
            setColumnWidth(c, qMax(100, sizeHintForColumn(c)));
        if (m_proxy->rowCount() > 0)
            setCurrentIndex(m_proxy->index(0, 0));
    });
    connect(&model, &TableEditModel::postFailed, this, [this] {
        forgetEdit();
        m_prompter.information(PostFailedMessage, PostFailedTitle);
    });
}

void EditGrid::setTwoDecimals(const QStringList& columns)
{
    m_delegate->twoDecimals = columns;
}

void EditGrid::setCellAlignment(Qt::Alignment alignment)
{
    m_delegate->alignment = alignment;
    viewport()->update();
}

void EditGrid::setRowBackground(std::function<QColor(int modelRow)> colour)
{
    m_delegate->background = [this, colour = std::move(colour)](const QModelIndex& index) {
        return colour(m_proxy->mapToSource(index).row());
    };
    viewport()->update();
}

void EditGrid::setPickList(const QString& column, const QStringList& items)
{
    m_delegate->pickLists.insert(column, items);
}

void EditGrid::forgetEdit()
{
    m_originalKey = QVariant();
    m_appended = false;
    m_touched = false;
}

void EditGrid::beforeEdit(int modelRow)
{
    if (m_model.isEditing() && m_model.editingRow() == modelRow) {
        m_touched = true;
        return;
    }
    if (m_model.isEditing())
        postEdits();
    m_originalKey = m_model.keyOf(modelRow);
    m_appended = false;
    m_touched = true;
}

bool EditGrid::postEdits()
{
    commitEditor();
    if (!m_model.isEditing())
        return true;
    try {
        const bool refused = m_check && m_check(m_model.editingRow(), m_appended ? QVariant() : m_originalKey);
        if (!refused) {
            m_model.post();
            forgetEdit();
            return true;
        }
    } catch (const AppError&) {
    }
    closeOpenEditor(false);
    m_model.cancel();
    forgetEdit();
    m_prompter.information(PostFailedMessage, PostFailedTitle);
    return false;
}

void EditGrid::cancelEdits()
{
    closeOpenEditor(false);
    m_model.cancel();
    forgetEdit();
}

bool EditGrid::appendRow()
{
    if (!postEdits())
        return false;
    const int row = m_model.appendRow();
    m_appended = true;
    m_touched = false;
    goToRow(row);
    return true;
}

bool EditGrid::deleteCurrentRow()
{
    if (m_model.rowCount() == 0)
        return false;
    const int row = qMax(0, currentRow());
    if (!m_prompter.confirm(u"您确定要删除吗？"_s, u"提示！"_s))
        return false;
    const bool appended = m_model.isNewRow(row);
    cancelEdits();
    if (appended)
        return false;
    m_model.deleteRow(row);
    return true;
}

int EditGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_proxy->mapToSource(current).row() : -1;
}

void EditGrid::goToRow(int modelRow)
{
    if (modelRow < 0 || modelRow >= m_model.rowCount())
        return;
    const int column = qMax(0, currentIndex().column());
    const QModelIndex target = m_proxy->mapFromSource(m_model.index(modelRow, column));
    setCurrentIndex(target);
    scrollTo(target);
}

void EditGrid::commitEditor()
{
    closeOpenEditor(true);
}

void EditGrid::closeOpenEditor(bool commit)
{
    QWidget* editor = m_delegate->openEditor();
    if (!editor || state() != QAbstractItemView::EditingState)
        return;
    if (commit)
        commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void EditGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (!m_model.isEditing())
        return;
    const int row = current.isValid() ? m_proxy->mapToSource(current).row() : -1;
    if (row != m_model.editingRow())
        leaveEditedRow();
}

void EditGrid::leaveEditedRow()
{
    // Leaving an appended row that nobody typed into drops it, as leaving a record does in any grid.
    if (m_appended && !m_touched) {
        cancelEdits();
        return;
    }
    postEdits();
}
