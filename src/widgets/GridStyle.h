#pragma once

#include <QString>

class QTableView;
class Prompter;

/**
 * The common look of every record grid: clickable titles that sort the loaded rows in memory (give the
 * view a sortable model, such as a QSortFilterProxyModel over a query model), sort markers, row numbers
 * in the left header, a flat single border and the title colour RGB(175, 206, 241).
 */
void StyleGrid(QTableView* grid);

/**
 * Writes the width of every column into Option.ini: section = the window caption, key = the column's
 * field name (its header text), value in pixels; then tells the user it is done.
 */
void SaveGridWidths(const QString& iniPath, const QString& section, const QTableView* grid, Prompter& prompter);

/**
 * Sets every column to its stored width; a column without one gets 100 pixels, or keeps its current
 * width when `keepCurrent` is set.
 */
void ApplyGridWidths(const QString& iniPath, const QString& section, QTableView* grid, bool keepCurrent = false);
