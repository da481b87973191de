#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QString>
#include <optional>

class DataModule;

/** A closed time range [from, to]; a from after the to holds nothing. */
struct TimeRange
{
    QDateTime from;
    QDateTime to;

    /** From the two dates and two times of a window's range pickers. */
    static TimeRange of(const QDate& fromDate, const QTime& fromTime, const QDate& toDate,
                        const QTime& toTime);
};

/** What one review window lists of one table over a time range, and what its delete command logs. */
struct RangeTable
{
    QString table;
    /** The select list. */
    QString columns;
    /** The date-time column the range bounds. */
    QString rangeColumn;
    /** A further condition joined with AND; empty for none. */
    QString extraCondition;
    /** ORDER BY clause body; empty leaves the rows in the database's order. */
    QString order;
    /** The log action of a delete of the range; empty when the window cannot delete. */
    QString deleteAction;
};

namespace Review {

/** The operation log viewer: every entry, newest first; its delete logs "删除日志". */
extern const RangeTable OperationLog;
/** The recycle bin: only the entries with content, in the database's order. */
extern const RangeTable RecycleBin;
/** The black box viewer: weight, time and operator, newest first; its delete logs "删除黑匣子数据". */
extern const RangeTable BlackBox;

} // namespace Review

/**
 * The query and delete of a range review window. The range of the last query is kept, and the delete
 * removes exactly that range, whatever the pickers show now. Date-times are bound values. Failures
 * throw DbError.
 */
class RangeReview final
{
public:
    RangeReview(DataModule& dm, RangeTable table) : m_dm(dm), m_table(std::move(table)) {}

    const RangeTable& table() const { return m_table; }
    /** Runs the listing of the range and keeps the range for the delete. */
    QSqlQuery query(const TimeRange& range);
    /**
     * Deletes the rows of the last queried range and writes the delete's log entry, together: when one
     * fails neither happens. Deleting an empty range still logs. Nothing happens before the first query.
     */
    void deleteLastRange(const QString& operatorName);

private:
    QString condition() const;
    QVariantList bounds(const TimeRange& range) const;

    DataModule& m_dm;
    RangeTable m_table;
    std::optional<TimeRange> m_last;
};
