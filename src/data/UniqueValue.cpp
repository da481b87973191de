#include "data/UniqueValue.h"

#include "data/Dialect.h"
#include "data/Errors.h"
#include "data/Sql.h"

#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

std::optional<QString> uniqueValueProblem(const QSqlDatabase& db, const Dialect& dialect, const UniqueColumn& unique,
                                          const QVariant& value, const QVariant& rowKey)
{
    ColumnKind kind = ColumnKind::Text;
    for (const ColumnInfo& c : dialect.columns(db, unique.table))
        if (c.name == unique.column)
            kind = c.kind;
    const QString text = value.toString();
    QVariant converted;
    try {
        converted = Dialect::toColumnValue(kind, text, unique.column);
    } catch (const ConversionError& e) {
        return e.text();
    }
    if (converted.isNull() || converted.toString().trimmed().isEmpty())
        return u"%1不能为空"_s.arg(unique.column);
    const QString column = dialect.quote(unique.column);
    const QString key = dialect.quote(unique.keyColumn);
    const QString same = kind == ColumnKind::Text ? dialect.textEquals(column) : column + u" = ?"_s;
    QString sql = u"SELECT count(*) FROM %1 WHERE %2"_s.arg(unique.table, same);
    QVariantList values{converted};
    if (rowKey.isValid()) {
        const QVariant stored =
            Sql::scalar(db, u"SELECT %1 FROM %2 WHERE %3 = ?"_s.arg(column, unique.table, key), {rowKey});
        if (stored.toString() == converted.toString())
            return std::nullopt;
        sql += u" AND %1 <> ?"_s.arg(key);
        values.append(rowKey);
    }
    if (Sql::scalar(db, sql, values).toInt() > 0)
        return u"%1“%2”已经存在"_s.arg(unique.column, text);
    return std::nullopt;
}
