#include "UnrecordedLoads.h"

#include "data/DataModule.h"
#include "data/Sql.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

bool UnrecordedLoads::close(double load, double recorded) const
{
    return std::abs(load - recorded) <= m_tolerance * std::abs(load);
}

QList<bool> UnrecordedLoads::mark(const QList<BlackBoxLoad>& loads, QList<RecordedWeighing> weighings) const
{
    std::sort(weighings.begin(), weighings.end(),
              [](const RecordedWeighing& a, const RecordedWeighing& b) { return a.time < b.time; });
    const qint64 window = qint64(m_minutes) * 60;
    QList<bool> unrecorded;
    unrecorded.reserve(loads.size());
    for (const BlackBoxLoad& load : loads) {
        const QDateTime earliest = load.time.addSecs(-window);
        const QDateTime latest = load.time.addSecs(window);
        auto it = std::lower_bound(weighings.cbegin(), weighings.cend(), earliest,
                                   [](const RecordedWeighing& w, const QDateTime& t) { return w.time < t; });
        bool found = false;
        for (; it != weighings.cend() && it->time <= latest && !found; ++it)
            found = close(load.weight, it->weight);
        unrecorded.append(!found);
    }
    return unrecorded;
}

QList<RecordedWeighing> UnrecordedLoads::weighingsAround(DataModule& dm, const QDateTime& from,
                                                         const QDateTime& to) const
{
    const qint64 window = qint64(m_minutes) * 60;
    const QString low = Dialect::dateTimeText(from.addSecs(-window));
    const QString high = Dialect::dateTimeText(to.addSecs(window));
    QSqlQuery q = Sql::exec(dm.weightdatabase(),
                            u"SELECT 毛重, 毛重时间, 皮重, 皮重时间, 扣重数 FROM weight"
                            " WHERE (毛重时间 BETWEEN ? AND ?) OR (皮重时间 BETWEEN ? AND ?)"_s,
                            {low, high, low, high});
    QList<RecordedWeighing> result;
    while (q.next()) {
        const QDateTime grossTime = Dialect::toDateTime(q.value(1));
        const QDateTime tareTime = Dialect::toDateTime(q.value(3));
        if (grossTime.isValid()) {
            const double gross = q.value(0).toDouble();
            result.append({grossTime, gross});
            // A gross deduction stores the gross after its share; the scale showed the sum.
            const double deducted = q.value(4).toDouble();
            if (deducted != 0)
                result.append({grossTime, gross + deducted});
        }
        if (tareTime.isValid())
            result.append({tareTime, q.value(2).toDouble()});
    }
    return result;
}

QList<bool> UnrecordedLoads::mark(DataModule& dm, const QList<BlackBoxLoad>& loads) const
{
    if (loads.isEmpty())
        return {};
    const auto [first, last] = std::minmax_element(
        loads.cbegin(), loads.cend(), [](const BlackBoxLoad& a, const BlackBoxLoad& b) { return a.time < b.time; });
    return mark(loads, weighingsAround(dm, first->time, last->time));
}
