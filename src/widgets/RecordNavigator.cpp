#include "widgets/RecordNavigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

void goToRow(QTableView* grid, int row)
{
    if (row < 0 || row >= grid->model()->rowCount())
        return;
    const QModelIndex target = grid->model()->index(row, qMax(0, grid->currentIndex().column()));
    grid->setCurrentIndex(target);
    grid->scrollTo(target);
}

} // namespace

QWidget* makeRecordNavigator(QTableView* grid, const QString& hint, QWidget* parent)
{
    auto* navigator = new QWidget(parent);
    navigator->setObjectName(u"DBNavigator1"_s);
    navigator->setToolTip(hint);
    auto* layout = new QHBoxLayout(navigator);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    struct Move
    {
        const char16_t* name;
        QStyle::StandardPixmap icon;
        int (*target)(int current, int count);
    };
    static const Move moves[] = {
        {u"First", QStyle::SP_MediaSkipBackward, [](int, int) { return 0; }},
        {u"Prior", QStyle::SP_MediaSeekBackward, [](int current, int) { return qMax(0, current - 1); }},
        {u"Next", QStyle::SP_MediaSeekForward, [](int current, int count) { return qMin(count - 1, current + 1); }},
        {u"Last", QStyle::SP_MediaSkipForward, [](int, int count) { return count - 1; }},
    };
    for (const Move& move : moves) {
        auto* button = new QToolButton(navigator);
        button->setObjectName(QString::fromUtf16(move.name));
        button->setIcon(navigator->style()->standardIcon(move.icon));
        button->setToolTip(hint);
        button->setFixedSize(30, 26);
        layout->addWidget(button);
        const auto target = move.target;
        QObject::connect(button, &QToolButton::clicked, grid, [grid, target] {
            goToRow(grid, target(grid->currentIndex().row(), grid->model()->rowCount()));
        });
    }
    return navigator;
}
