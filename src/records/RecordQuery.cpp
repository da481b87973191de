#include "RecordQuery.h"

#include "data/Errors.h"
#include "data/Sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

const ColumnInfo& columnNamed(const QList<ColumnInfo>& columns, const QString& name)
{
    for (const ColumnInfo& c : columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    throw DbError(u"数据表“weight”中没有字段“%1”"_s.arg(name));
}

/** "(field IN (…))" with the values bound; text compares without regard to letter case. */
QString fieldCondition(const ColumnInfo& column, const QStringList& parts, const Dialect& dialect,
                       QVariantList& values)
{
    const QString name = dialect.quote(column.name);
    if (column.kind == ColumnKind::Text) {
        QStringList alternatives;
        for (const QString& part : parts) {
            values.append(part);
            alternatives.append(dialect.textEquals(name));
        }
        return u'(' + alternatives.join(u" OR "_s) + u')';
    }
    for (const QString& part : parts)
        values.append(Dialect::toColumnValue(column.kind, part, column.name));
    return u"(%1 IN (%2))"_s.arg(name, QStringList(parts.size(), u"?"_s).join(u", "_s));
}

QString formatSum(double value)
{
    return QString::number(value, 'f', 1);
}

} // namespace

QString RecordStatement::select() const
{
    QString sql = u"SELECT * FROM "_s + RecordQuery::Table;
    if (hasCondition())
        sql += u" WHERE "_s + where;
    if (!orderBy.isEmpty())
        sql += u" ORDER BY "_s + orderBy;
    return sql;
}

QString QueryTotals::tareLine() const { return u"皮重："_s + formatSum(tare) + u"千克"_s; }
QString QueryTotals::grossLine() const { return u"毛重："_s + formatSum(gross) + u"千克"_s; }
QString QueryTotals::netLine() const { return u"净重："_s + formatSum(net) + u"千克"_s; }
QString QueryTotals::countLine() const { return u"车数："_s + QString::number(count) + u"次"_s; }

namespace RecordQuery {

QStringList valueList(const QString& boxText)
{
    const QString text = boxText.trimmed();
    return text.isEmpty() ? QStringList() : text.split(u',');
}

RecordStatement build(const QueryConditions& conditions, const QList<ColumnInfo>& columns, const Dialect& dialect)
{
    RecordStatement statement;
    QStringList fieldConditions;
    for (const auto& [field, text] : conditions.fields) {
        const QStringList parts = valueList(text);
        if (!parts.isEmpty())
            fieldConditions.append(fieldCondition(columnNamed(columns, field), parts, dialect, statement.values));
    }
    const ColumnInfo& timeColumn = columnNamed(columns, conditions.timeColumn);
    const QString range = u"(%1 BETWEEN ? AND ?)"_s.arg(dialect.quote(timeColumn.name));
    statement.values.append(Dialect::dateTimeText(conditions.from));
    statement.values.append(Dialect::dateTimeText(conditions.to));

    if (fieldConditions.isEmpty())
        statement.where = range;
    else if (conditions.anyField && fieldConditions.size() > 1)
        statement.where = u'(' + fieldConditions.join(u" OR "_s) + u") AND "_s + range;
    else
        statement.where = fieldConditions.join(u" AND "_s) + u" AND "_s + range;
    statement.orderBy = dialect.quote(KeyColumn) + (conditions.descending ? u" DESC"_s : u" ASC"_s);
    return statement;
}

RecordStatement newest(int count, const Dialect& dialect)
{
    RecordStatement statement;
    statement.orderBy = dialect.limit(dialect.quote(KeyColumn) + u" DESC"_s, count);
    return statement;
}

QueryTotals totals(const QSqlDatabase& db, const RecordStatement& statement)
{
    QString sql = u"SELECT sum(\"皮重\"), sum(\"毛重\"), sum(\"净重\"), count(*) FROM "_s + Table;
    if (statement.hasCondition())
        sql += u" WHERE "_s + statement.where;
    QSqlQuery q = Sql::exec(db, sql, statement.values);
    QueryTotals result;
    if (q.next()) {
        result.tare = q.value(0).toDouble();
        result.gross = q.value(1).toDouble();
        result.net = q.value(2).toDouble();
        result.count = q.value(3).toLongLong();
    }
    return result;
}

int deleteMatching(const QSqlDatabase& db, const RecordStatement& statement)
{
    if (!statement.hasCondition())
        throw DbError(u"没有查询条件，不能删除记录集。"_s);
    const QSqlQuery q = Sql::exec(db, u"DELETE FROM "_s + Table + u" WHERE "_s + statement.where, statement.values);
    return q.numRowsAffected();
}

QDateTime parseTime(const QString& text)
{
    return QDateTime::fromString(text.trimmed(), u"yyyy-MM-dd HH:mm:ss"_s);
}

} // namespace RecordQuery
