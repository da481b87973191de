#pragma once

#include <QString>
#include <optional>

class DataModule;

/**
 * The black box: follows the displayed weight and writes one `黑匣子数据` row with the peak of every load
 * that rose above the lower limit, when the weight falls back to or below it, whether or not anybody
 * saved a weighing.
 */
class BlackBox final
{
public:
    BlackBox(DataModule& dm, double lowerLimit) : m_dm(dm), m_lowerLimit(lowerLimit) {}

    /**
     * One step with a displayed weight. Returns the peak when a load has just left the scale and its row
     * was written. Throws DbError or ConversionError when the row could not be written; the peak is then
     * kept, so the next step at or below the limit tries again.
     */
    std::optional<double> step(double weight, const QString& operatorName);

    double peak() const { return m_peak; }
    double lowerLimit() const { return m_lowerLimit; }

    /** Writes one row: the weight with two decimals and the operator; the database stamps the time. */
    static void RecordBlackBox(DataModule& dm, double peak, const QString& operatorName);

private:
    DataModule& m_dm;
    double m_lowerLimit;
    double m_peak = 0;
};
