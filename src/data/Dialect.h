#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

class QSqlDatabase;

/** How the program reads a column: the type of the value it binds and expects back. */
enum class ColumnKind { Text, Integer, Number, Bool, DateTime, AutoNumber };

struct ColumnInfo
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
};

/**
 * The one place that knows the database engine: DDL type words, defaults, limits, literals, identifier
 * quoting and the conversion of stored date-times. SQLite is the embedded engine; PostgreSQL serves sites
 * whose stations share one database.
 */
class Dialect final
{
public:
    enum class Engine { SQLite, PostgreSQL };

    explicit Dialect(Engine engine = Engine::SQLite) : m_engine(engine) {}
    Engine engine() const { return m_engine; }
    QString driverName() const;

    /** Column definition words for a type (after the column name). `length` 0 means unbounded text. */
    QString typeWords(ColumnKind kind, int length = 0) const;
    QString defaultNow() const;
    QString trueLiteral() const { return QStringLiteral("TRUE"); }
    QString quote(const QString& identifier) const;
    /**
     * A condition that compares a text column with a bound value without regard to letter case, in a
     * form that an index made by caselessIndexColumn() serves: "车号 = ? COLLATE NOCASE" on SQLite.
     */
    QString textEquals(const QString& column, const QString& placeholder = QStringLiteral("?")) const;
    /** The index column for textEquals() on `column`. */
    QString caselessIndexColumn(const QString& column) const;
    /** Appends the engine's row limit to a SELECT. */
    QString limit(const QString& select, int count) const;
    /** `round(sum(expr), decimals)` in a form the engine accepts. */
    QString roundSum(const QString& expression, int decimals) const;

    /** A date-time as stored and bound: "yyyy-MM-dd HH:mm:ss", local time. */
    static QString dateTimeText(const QDateTime& value);
    /** A stored date-time read back (text on SQLite, a date-time on PostgreSQL); invalid for null. */
    static QDateTime toDateTime(const QVariant& stored);

    /** The columns of a table in table order, with their kinds; empty when the table does not exist. */
    QList<ColumnInfo> columns(const QSqlDatabase& db, const QString& table) const;
    bool tableExists(const QSqlDatabase& db, const QString& table) const;

    /** Converts a text to the value bound for a column of this kind; throws ConversionError. */
    static QVariant toColumnValue(ColumnKind kind, const QString& text, const QString& column);
    static ColumnKind kindOfTypeName(const QString& declaredType);

private:
    Engine m_engine;
};
