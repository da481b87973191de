#pragma once

#include "data/UniqueValue.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class DataModule;
class Dialect;
class QSqlDatabase;

/** What tells the fixed tare table and the unit price table apart in their twin editors. */
struct MasterTable
{
    QString table;
    /** Column that identifies a row for updates and deletes. */
    QString keyColumn;
    /** Columns the database fills itself (an auto-number key); not editable in the grid. */
    QStringList readOnlyColumns;
    /** ORDER BY of the list and of the refresh. */
    QString orderBy;
    /** Column the find command matches exactly. */
    QString findColumn;
    QString findPrompt;
    /** Log actions of adding, deleting and saving a row. */
    QString addAction;
    QString deleteAction;
    QString saveAction;
    /** Columns shown with two decimals. */
    QStringList twoDecimalColumns;
    /** Columns shown in the grid, in order; empty: every column. */
    QStringList columns;
    /** A column the user types that must be filled in and held by no other row; empty: none. */
    QString uniqueColumn;

    UniqueColumn unique() const { return {table, uniqueColumn, keyColumn}; }
};

namespace MasterData {

/** `TareWeight`: one row per plate (车号 typed, unique among new entries), rows numbered by the database. */
const MasterTable& tareWeight();
/** `UnitPrice`: rows numbered by the database (编号). */
const MasterTable& unitPrice();

/** "单位:千克(kg)", or "单位:吨(t)" when the settings file chooses tonnes. */
QString unitCaption(const QString& iniPath);

} // namespace MasterData

/**
 * The unit price of a product for the weighing station: the trimmed product matched exactly among the
 * prices in force (是否执行), the oldest such row (lowest 编号) when a product has several; 0 when the
 * product is empty or has no price in force. Throws DbError.
 */
double UnitPriceOf(DataModule& dm, const QString& product);
