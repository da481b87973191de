#pragma once

#include "data/Dialect.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <utility>

class QSqlDatabase;

/** What the operator asked for in the query window (or on the command line). */
struct QueryConditions
{
    /** "皮重时间" or "毛重时间": the column the range applies to. */
    QString timeColumn = QStringLiteral("毛重时间");
    QDateTime from;
    QDateTime to;
    bool descending = true;
    /** "或者": a record matches when any field condition holds; "并且" (false): all of them. */
    bool anyField = false;
    /** Field name and the text typed into its box, in box order; empty texts add nothing. */
    QList<std::pair<QString, QString>> fields;
};

/**
 * A statement over the weighing table in parts: the condition (without the word WHERE; empty for
 * none), its bound values in order, and the order clause (without ORDER BY, possibly with a row limit).
 * Every identifier in it is quoted, every value bound.
 */
struct RecordStatement
{
    QString where;
    QVariantList values;
    QString orderBy;

    bool hasCondition() const { return !where.isEmpty(); }
    /** "SELECT * FROM weight [WHERE …] [ORDER BY …]". */
    QString select() const;
};

/** The four figures of the status panes. */
struct QueryTotals
{
    double tare = 0;
    double gross = 0;
    double net = 0;
    qint64 count = 0;

    QString tareLine() const;
    QString grossLine() const;
    QString netLine() const;
    QString countLine() const;
};

namespace RecordQuery {

inline const QString Table = QStringLiteral("weight");
inline const QString KeyColumn = QStringLiteral("编号");

/**
 * The values of one condition box: the text with its outer blanks removed, split at every comma, the
 * parts kept as they are (" a, b " gives "a" and " b"). Empty text gives no values.
 */
QStringList valueList(const QString& boxText);

/**
 * The condition and order of a query. Field and time column names are checked against `columns` (the
 * weighing table's): an unknown name throws DbError naming it. Text fields compare without regard to
 * letter case; values for number or date-time fields are converted first, and a value that does not
 * convert throws ConversionError. With `anyField` the field conditions are bracketed together, so the
 * time range bounds every alternative.
 */
RecordStatement build(const QueryConditions& conditions, const QList<ColumnInfo>& columns, const Dialect& dialect);

/** The newest `count` records, newest first (the refresh). */
RecordStatement newest(int count, const Dialect& dialect);

/** Sums of tare, gross and net and the number of records matching the statement's condition. */
QueryTotals totals(const QSqlDatabase& db, const RecordStatement& statement);

/** Deletes every record matching the condition; refuses (DbError) a statement without one. */
int deleteMatching(const QSqlDatabase& db, const RecordStatement& statement);

/** Parses a command-line time "yyyy-MM-dd HH:mm:ss"; invalid when it does not parse. */
QDateTime parseTime(const QString& text);

} // namespace RecordQuery
