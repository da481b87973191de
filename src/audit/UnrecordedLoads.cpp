#include "UnrecordedLoads.h"

#include "data/DataModule.h"
#include "data/Sql.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 Day = 86400;

QDateTime fromMoment(Moment moment)
{
    const qint64 days = moment >= 0 ? moment / Day : (moment - Day + 1) / Day;
    return QDateTime(QDate::fromJulianDay(days), QTime(0, 0).addSecs(int(moment - days * Day)));
}

/** The stored text form "yyyy-MM-dd HH:mm:ss" read without building a date-time; -1 for another form. */
Moment storedMoment(const QString& text)
{
    if (text.size() != 19 || text[4] != u'-' || text[7] != u'-' || text[10] != u' ' || text[13] != u':' ||
        text[16] != u':')
        return -1;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})
        if (!text[i].isDigit())
            return -1;
    auto number = [&](int from, int length) {
        int value = 0;
        for (int i = from; i < from + length; ++i)
            value = value * 10 + text[i].digitValue();
        return value;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    if (!date.isValid())
        return -1;
    return date.toJulianDay() * Day + number(11, 2) * 3600 + number(14, 2) * 60 + number(17, 2);
}

} // namespace

Moment UnrecordedLoads::moment(const QDateTime& time)
{
    return time.date().toJulianDay() * Day + time.time().msecsSinceStartOfDay() / 1000;
}

Moment UnrecordedLoads::moment(const QVariant& stored)
{
    if (stored.isNull())
        return 0;
    if (stored.metaType().id() != QMetaType::QDateTime) {
        if (const Moment m = storedMoment(stored.toString()); m >= 0)
            return m;
    }
    const QDateTime time = Dialect::toDateTime(stored);
    return time.isValid() ? moment(time) : 0;
}

bool UnrecordedLoads::close(double load, double recorded) const
{
    return std::abs(load - recorded) <= m_tolerance * std::abs(load);
}

QList<bool> UnrecordedLoads::mark(const QList<BlackBoxLoad>& loads,
                                  const QList<RecordedWeighing>& weighings) const
{
    std::vector<std::pair<Moment, double>> recorded;
    recorded.reserve(weighings.size());
    for (const RecordedWeighing& w : weighings)
        recorded.emplace_back(w.time, w.weight);
    std::sort(recorded.begin(), recorded.end());
    const qint64 window = qint64(m_minutes) * 60;
    QList<bool> unrecorded;
    unrecorded.reserve(loads.size());
    for (const BlackBoxLoad& load : loads) {
        const Moment time = load.time;
        auto it = std::lower_bound(recorded.cbegin(), recorded.cend(), std::pair(time - window, -HUGE_VAL));
        bool found = false;
        for (; it != recorded.cend() && it->first <= time + window && !found; ++it)
            found = close(load.weight, it->second);
        unrecorded.append(!found);
    }
    return unrecorded;
}

QList<RecordedWeighing> UnrecordedLoads::weighingsAround(DataModule& dm, Moment from, Moment to) const
{
    const qint64 window = qint64(m_minutes) * 60;
    const QString low = Dialect::dateTimeText(fromMoment(from - window));
    const QString high = Dialect::dateTimeText(fromMoment(to + window));
    QSqlQuery q = Sql::exec(dm.weightdatabase(),
                            u"SELECT 毛重, 毛重时间, 皮重, 皮重时间, 扣重数 FROM weight"
                            " WHERE (毛重时间 BETWEEN ? AND ?) OR (皮重时间 BETWEEN ? AND ?)"_s,
                            {low, high, low, high});
    QList<RecordedWeighing> result;
    while (q.next()) {
        const Moment grossTime = moment(q.value(1));
        const Moment tareTime = moment(q.value(3));
        if (grossTime != 0) {
            const double gross = q.value(0).toDouble();
            result.append({grossTime, gross});
            // A gross deduction stores the gross after its share; the scale showed the sum.
            const double deducted = q.value(4).toDouble();
            if (deducted != 0)
                result.append({grossTime, gross + deducted});
        }
        if (tareTime != 0)
            result.append({tareTime, q.value(2).toDouble()});
    }
    return result;
}

QList<bool> UnrecordedLoads::mark(DataModule& dm, const QList<BlackBoxLoad>& loads) const
{
    if (loads.isEmpty())
        return {};
    const auto [first, last] =
        std::minmax_element(loads.cbegin(), loads.cend(),
                            [](const BlackBoxLoad& a, const BlackBoxLoad& b) { return a.time < b.time; });
    return mark(loads, weighingsAround(dm, first->time, last->time));
}
