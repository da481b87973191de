#include "Sql.h"

#include "data/Errors.h"

#include <QSqlDatabase>
#include <QSqlError>

using namespace Qt::Literals::StringLiterals;

namespace Sql {

namespace {

QString errorText(const QSqlError& error)
{
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.text();
    return text.isEmpty() ? u"数据库操作失败"_s : text;
}

} // namespace

void execOn(QSqlQuery& query, const QString& sql, const QVariantList& values)
{
    if (!query.prepare(sql))
        throw DbError(errorText(query.lastError()));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw DbError(errorText(query.lastError()));
}

QSqlQuery exec(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    execOn(query, sql, values);
    return query;
}

QVariant scalar(const QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery query = exec(db, sql, values);
    return query.next() ? query.value(0) : QVariant();
}

void inTransaction(const QSqlDatabase& db, const std::function<void()>& work)
{
    QSqlDatabase conn = db;
    if (!conn.transaction())
        throw DbError(errorText(conn.lastError()));
    try {
        work();
    } catch (...) {
        conn.rollback();
        throw;
    }
    if (!conn.commit()) {
        const QString text = errorText(conn.lastError());
        conn.rollback();
        throw DbError(text);
    }
}

} // namespace Sql
