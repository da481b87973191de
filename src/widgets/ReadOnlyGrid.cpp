#include "widgets/ReadOnlyGrid.h"

#include "widgets/GridStyle.h"

#include <QMenu>
#include <QSortFilterProxyModel>

using namespace Qt::Literals::StringLiterals;

ReadOnlyGrid::ReadOnlyGrid(QAbstractItemModel* source, QWidget* parent) : QTableView(parent)
{
    setObjectName(u"DBGrid1"_s);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(source);
    m_sorted->setSortRole(Qt::EditRole);
    setModel(m_sorted);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    StyleGrid(this);

    m_menu = new QMenu(this);
    QAction* widths = m_menu->addAction(u"设置表格宽度"_s);
    widths->setObjectName(u"N1"_s);
    connect(widths, &QAction::triggered, this, &ReadOnlyGrid::saveWidthsRequested);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_menu->popup(viewport()->mapToGlobal(at)); });
}

int ReadOnlyGrid::currentSourceRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? m_sorted->mapToSource(current).row() : -1;
}

void ReadOnlyGrid::goToFirstRow()
{
    if (m_sorted->rowCount() > 0)
        setCurrentIndex(m_sorted->index(0, 0));
}
