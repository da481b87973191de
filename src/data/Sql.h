#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariantList>
#include <functional>

class QSqlDatabase;

/** Statement helpers: every value is bound, every failure throws DbError with the database's text. */
namespace Sql {

/** Prepares, binds the values in order and executes; the query is positioned before the first row. */
QSqlQuery exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
/** Like exec on an existing query object (it keeps its forward-only setting). */
void execOn(QSqlQuery& query, const QString& sql, const QVariantList& values = {});
/** First column of the first row; a null variant when there is no row. */
QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {});
/** Runs the function in one transaction: committed when it returns, rolled back when it throws. */
void inTransaction(const QSqlDatabase& db, const std::function<void()>& work);

} // namespace Sql
