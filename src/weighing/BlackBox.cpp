#include "BlackBox.h"

#include "data/DataModule.h"

using namespace Qt::Literals::StringLiterals;

std::optional<double> BlackBox::step(double weight, const QString& operatorName)
{
    if (weight > m_lowerLimit) {
        m_peak = qMax(m_peak, weight);
        return std::nullopt;
    }
    if (m_peak <= 0)
        return std::nullopt;
    const double load = m_peak;
    RecordBlackBox(m_dm, load, operatorName);
    m_peak = 0;
    return load;
}

void BlackBox::RecordBlackBox(DataModule& dm, double peak, const QString& operatorName)
{
    dm.InsertRow(u"黑匣子数据"_s, u"重量,操作人"_s, {QString::number(peak, 'f', 2), operatorName});
}
