#include "data/WeightDerived.h"

#include "data/Dialect.h"
#include "data/Sql.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace WeightDerived {

namespace {

const QString Triggers[] = {u"weight_derived_insert"_s, u"weight_derived_delete"_s, u"weight_derived_update"_s};

QString literal(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', u"''"_s) + u'\'';
}

QStringList textColumns(const QSqlDatabase& db, const Dialect& dialect)
{
    QStringList columns;
    for (const ColumnInfo& c : dialect.columns(db, u"weight"_s))
        if (c.kind == ColumnKind::Text)
            columns.append(c.name);
    return columns;
}

/** Statements that add (+1) or take away (-1) the record `row` ("NEW" or "OLD") from both tables. */
QStringList countRecord(const QStringList& columns, const Dialect& dialect, const QString& row, int sign)
{
    QStringList sql;
    for (const QString& column : columns) {
        const QString word = u"coalesce(%1.%2, '')"_s.arg(row, dialect.quote(column));
        if (sign > 0)
            sql.append(u"INSERT INTO WordList (字段, 词, 次数) VALUES (%1, %2, 1) "
                       "ON CONFLICT (字段, 词) DO UPDATE SET 次数 = 次数 + 1"_s.arg(literal(column), word));
        else
            sql.append(u"UPDATE WordList SET 次数 = 次数 - 1 WHERE 字段 = %1 AND 词 = %2; "
                       "DELETE FROM WordList WHERE 字段 = %1 AND 词 = %2 AND 次数 <= 0"_s.arg(literal(column), word));
    }
    const QString block = u"%1.编号 / %2"_s.arg(row).arg(BlockSize);
    const QString cents = u"CAST(round(coalesce(%1.净重, 0) * 100) AS INTEGER)"_s.arg(row);
    if (sign > 0)
        sql.append(u"INSERT INTO WeightTotals (块, 车数, 净重分) VALUES (%1, 1, %2) "
                   "ON CONFLICT (块) DO UPDATE SET 车数 = 车数 + 1, 净重分 = 净重分 + excluded.净重分"_s.arg(block,
                                                                                                   cents));
    else
        sql.append(u"UPDATE WeightTotals SET 车数 = 车数 - 1, 净重分 = 净重分 - %2 WHERE 块 = %1"_s.arg(block, cents));
    return sql;
}

void createTriggers(const QSqlDatabase& db, const Dialect& dialect)
{
    const QStringList columns = textColumns(db, dialect);
    const auto body = [](const QStringList& statements) { return statements.join(u";\n"_s) + u";"_s; };
    Sql::exec(db, u"CREATE TRIGGER %1 AFTER INSERT ON weight BEGIN\n%2\nEND"_s.arg(
                      Triggers[0], body(countRecord(columns, dialect, u"NEW"_s, 1))));
    Sql::exec(db, u"CREATE TRIGGER %1 AFTER DELETE ON weight BEGIN\n%2\nEND"_s.arg(
                      Triggers[1], body(countRecord(columns, dialect, u"OLD"_s, -1))));
    QStringList watched = columns;
    watched << u"编号"_s << u"净重"_s;
    for (QString& c : watched)
        c = dialect.quote(c);
    Sql::exec(db, u"CREATE TRIGGER %1 AFTER UPDATE OF %2 ON weight BEGIN\n%3\n%4\nEND"_s.arg(
                      Triggers[2], watched.join(u", "_s), body(countRecord(columns, dialect, u"OLD"_s, -1)),
                      body(countRecord(columns, dialect, u"NEW"_s, 1))));
}

void refill(const QSqlDatabase& db, const Dialect& dialect)
{
    Sql::exec(db, u"DELETE FROM WordList"_s);
    Sql::exec(db, u"DELETE FROM WeightTotals"_s);
    for (const QString& column : textColumns(db, dialect)) {
        const QString word = u"coalesce(%1, '')"_s.arg(dialect.quote(column));
        Sql::exec(db, u"INSERT INTO WordList (字段, 词, 次数) SELECT %1, min(%2), count(*) FROM weight "
                      "GROUP BY %2 COLLATE NOCASE"_s.arg(literal(column), word));
    }
    Sql::exec(db, u"INSERT INTO WeightTotals (块, 车数, 净重分) SELECT 编号 / %1, count(*), "
                  "sum(CAST(round(coalesce(净重, 0) * 100) AS INTEGER)) FROM weight GROUP BY 编号 / %1"_s.arg(
                      BlockSize));
}

bool maintained(const QSqlDatabase& db, const Dialect& dialect)
{
    return dialect.engine() == Dialect::Engine::SQLite && dialect.tableExists(db, u"WeightTotals"_s);
}

} // namespace

void rebuild(const QSqlDatabase& db, const Dialect& dialect)
{
    if (dialect.engine() != Dialect::Engine::SQLite || !dialect.tableExists(db, u"weight"_s))
        return;
    for (const QString& trigger : Triggers)
        Sql::exec(db, u"DROP TRIGGER IF EXISTS %1"_s.arg(trigger));
    Sql::exec(db, u"CREATE TABLE IF NOT EXISTS WordList (字段 TEXT NOT NULL, 词 TEXT NOT NULL COLLATE NOCASE, "
                  "次数 INTEGER NOT NULL, PRIMARY KEY (字段, 词))"_s);
    Sql::exec(db, u"CREATE TABLE IF NOT EXISTS WeightTotals (块 INTEGER PRIMARY KEY, 车数 INTEGER NOT NULL, "
                  "净重分 INTEGER NOT NULL)"_s);
    refill(db, dialect);
    createTriggers(db, dialect);
}

std::optional<QStringList> words(const QSqlDatabase& db, const Dialect& dialect, const QString& column)
{
    if (!maintained(db, dialect) || !textColumns(db, dialect).contains(column))
        return std::nullopt;
    QSqlQuery q = Sql::exec(db, u"SELECT 词 FROM WordList WHERE 字段 = ? ORDER BY 词 COLLATE BINARY"_s, {column});
    QStringList result;
    while (q.next())
        result.append(q.value(0).toString());
    return result;
}

RecordTotals totalsFrom(const QSqlDatabase& db, const Dialect& dialect, qlonglong first)
{
    RecordTotals totals;
    const auto add = [&](QSqlQuery q, double scale) {
        if (q.next()) {
            totals.trucks += q.value(0).toInt();
            totals.net += q.value(1).toDouble() * scale;
        }
    };
    if (!maintained(db, dialect)) {
        add(Sql::exec(db, u"SELECT count(*), sum(净重) FROM weight WHERE 编号 >= ?"_s, {first}), 1);
        return totals;
    }
    // The records of the first, partly counted block one by one; the whole blocks after it from their sums.
    const qlonglong firstWholeBlock = (first + BlockSize - 1) / BlockSize;
    add(Sql::exec(db, u"SELECT count(*), sum(净重) FROM weight WHERE 编号 >= ? AND 编号 < ?"_s,
                  {first, firstWholeBlock * BlockSize}),
        1);
    add(Sql::exec(db, u"SELECT sum(车数), sum(净重分) FROM WeightTotals WHERE 块 >= ?"_s, {firstWholeBlock}), 0.01);
    return totals;
}

} // namespace WeightDerived
