#include "widgets/GridFinder.h"

#include "platform/Prompter.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

GridFinder::GridFinder(QTableView* grid, Prompter& prompter)
    : QDialog(grid->window()), m_grid(grid), m_prompter(prompter)
{
    setObjectName(u"FindDialog"_s);
    setWindowTitle(Caption);
    m_text = new QLineEdit(this);
    m_text->setObjectName(u"FindText"_s);
    m_matchCase = new QCheckBox(u"区分大小写"_s, this);
    m_matchCase->setObjectName(u"MatchCase"_s);
    auto* find = new QPushButton(u"查找下一个(&F)"_s, this);
    find->setObjectName(u"FindButton"_s);
    find->setDefault(true);
    auto* close = new QPushButton(u"关闭(&C)"_s, this);
    connect(find, &QPushButton::clicked, this, &GridFinder::FindButtonClick);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(u"查找内容："_s, this));
    row->addWidget(m_text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_matchCase);
    buttons->addStretch();
    buttons->addWidget(find);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);

    auto* shortcut = new QShortcut(QKeySequence::Find, grid);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this] {
        show();
        raise();
        m_text->setFocus();
        m_text->selectAll();
    });
}

void GridFinder::FindButtonClick()
{
    if (!m_text->text().isEmpty())
        findNext(m_text->text());
}

bool GridFinder::findNext(const QString& text)
{
    const QAbstractItemModel* model = m_grid->model();
    const int rows = model->rowCount();
    const int columns = model->columnCount();
    const int cells = rows * columns;
    const QModelIndex current = m_grid->currentIndex();
    const int start = current.isValid() ? current.row() * columns + current.column() : -1;
    const Qt::CaseSensitivity cs = m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int step = 1; step <= cells; ++step) {
        const int cell = (start + step + cells) % cells;
        const QModelIndex index = model->index(cell / columns, cell % columns);
        if (index.data().toString().contains(text, cs)) {
            m_grid->setCurrentIndex(index);
            m_grid->scrollTo(index);
            return true;
        }
    }
    m_prompter.information(u"没有找到“%1”"_s.arg(text), u"提示"_s);
    return false;
}
