#pragma once

#include "Dialect.h"

#include <QList>
#include <QString>
#include <QStringList>

/** The two database files of a program folder. */
enum class Store { Weighing, Parameters };

struct ColumnDef
{
    QString name;
    ColumnKind kind;
    int length = 0;
    /** SQL literal of the default ("0", "FALSE", "'x'"); empty for none. */
    QString defaultLiteral;
    bool defaultNow = false;
};

struct TableDef
{
    QString name;
    Store store;
    QList<ColumnDef> columns;
};

namespace Catalogue {

inline const QString WeighingFile = QStringLiteral("Pcomm.dll");
inline const QString ParametersFile = QStringLiteral("Para.wdv");

/** The 24 rights that each show or hide one main menu item, in table order. */
const QStringList& menuRights();
/** The four rights inside the query, recycle bin and summary windows. */
const QStringList& windowRights();

/** Every table except `weight`, whose columns come from `structure`. */
const QList<TableDef>& tables();
QString createTableSql(const TableDef& table, const Dialect& dialect);
/** Indexes of the searched columns; `weight` indexes only for the columns present. */
QStringList indexSql(Store store, const Dialect& dialect);
QStringList weightIndexSql(const QStringList& weightColumns, const Dialect& dialect, const QString& table);

/** Current schema version of each database; opening an older one upgrades it step by step. */
constexpr int SchemaVersion = 3;
/** Creates what is missing up to the current version, in one transaction; throws DbError. */
void upgrade(const QSqlDatabase& db, Store store, const Dialect& dialect);
int schemaVersion(const QSqlDatabase& db, const Dialect& dialect);
/**
 * Throws DbError naming the file when it holds no schema version of this program (an empty file, or
 * another program's database); nothing is written.
 */
void checkOwnDatabase(const QSqlDatabase& db, Store store, const Dialect& dialect, const QString& file);
/** Throws DbError naming the first catalogue table of the store the database lacks. */
void checkTables(const QSqlDatabase& db, Store store, const Dialect& dialect, const QString& file);

} // namespace Catalogue
