#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QTableView;
class Prompter;

/**
 * The find dialog of a read-only record grid (Ctrl+F on the grid, or "查找..." of its pop-up menu):
 * finds the next cell, after the current one in the order the grid shows, whose text contains the typed
 * text, and moves the cursor there; the search wraps once around the grid.
 */
class GridFinder final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridFinder)

public:
    inline static const QString Caption = QStringLiteral("查找");

    GridFinder(QTableView* grid, Prompter& prompter);

    /** Moves to the next match; false (and a message) when no cell holds the text. */
    bool findNext(const QString& text);

public Q_SLOTS:
    void FindButtonClick();

private:
    QTableView* m_grid;
    Prompter& m_prompter;
    QLineEdit* m_text;
    QCheckBox* m_matchCase;
};
