#pragma once

#include <QDateTime>
#include <QList>
#include <QVariant>

class DataModule;

/**
 * A moment of local civil time in seconds (days × 86400 + seconds of the day): comparing and shifting
 * local date-times converts them through the time zone every time, far too slow for a month of loads.
 */
using Moment = qint64;

/** One weighing a record holds: when it happened and what the scale showed. */
struct RecordedWeighing
{
    Moment time = 0;
    double weight = 0;
};

/** One load of the black box: the peak weight and when the truck left the scale. */
struct BlackBoxLoad
{
    Moment time = 0;
    double weight = 0;
};

/**
 * Finds the black-box loads that no weighing record accounts for: a load is recorded when some record's
 * gross or tare weighing lies within `minutes` of it and its weight is within `tolerance` (a share of
 * the load's weight) of the load's peak. The station saves while the truck stands on the scale and the
 * black box writes when it has left, so minutes, not seconds, separate the two; the peak may lie a
 * little above the settled weight.
 */
class UnrecordedLoads final
{
public:
    static constexpr int DefaultMinutes = 5;
    static constexpr double DefaultTolerance = 0.03;

    explicit UnrecordedLoads(int minutes = DefaultMinutes, double tolerance = DefaultTolerance)
        : m_minutes(minutes), m_tolerance(tolerance)
    {}

    int minutes() const { return m_minutes; }

    static Moment moment(const QDateTime& time);
    /** A stored date-time (text or date-time); 0 for a null or a text that is no date-time. */
    static Moment moment(const QVariant& stored);

    /** For each load in order: true when no recorded weighing matches it. */
    QList<bool> mark(const QList<BlackBoxLoad>& loads, const QList<RecordedWeighing>& weighings) const;

    /**
     * The weighings that records of `weight` hold between `from` and `to` (widened by the minutes):
     * the gross with its time (also as weighed before a gross deduction took its share) and the tare
     * with its time. Throws DbError.
     */
    QList<RecordedWeighing> weighingsAround(DataModule& dm, Moment from, Moment to) const;

    /** Convenience: marks the loads against the records around them. Throws DbError. */
    QList<bool> mark(DataModule& dm, const QList<BlackBoxLoad>& loads) const;

private:
    bool close(double load, double recorded) const;

    int m_minutes;
    double m_tolerance;
};
