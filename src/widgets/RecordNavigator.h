#pragma once

#include <QString>

class QTableView;
class QWidget;

/**
 * The navigator bar of a record grid (object name "DBNavigator1"): first, previous, next and last row,
 * in the order the grid shows them. The bar belongs to `parent`; every button carries `hint`.
 */
QWidget* makeRecordNavigator(QTableView* grid, const QString& hint, QWidget* parent);
