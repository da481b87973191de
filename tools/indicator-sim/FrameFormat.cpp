#include "FrameFormat.h"

#include <algorithm>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

std::optional<FrameFormat> frameFormatNamed(const QString& name)
{
    if (name == u"stx"_s)
        return FrameFormat::Stx;
    if (name == u"reversed"_s)
        return FrameFormat::Reversed;
    return std::nullopt;
}

QStringList frameFormatNames()
{
    return {u"stx"_s, u"reversed"_s};
}

namespace {

QByteArray stxFrame(qint64 kg)
{
    const QByteArray digits = QByteArray::number(qMin<qint64>(std::abs(kg), 999999)).rightJustified(6, '0');
    const QByteArray body = (kg < 0 ? "-" : "+") + digits + '0';
    char check = 0;
    for (const char c : body)
        check ^= c;
    return '\x02' + body + QByteArray::number(uchar(check), 16).toUpper().rightJustified(2, '0') + '\x03';
}

QByteArray reversedFrame(qint64 kg)
{
    QByteArray field = kg < 0 ? '-' + QByteArray::number(qMin<qint64>(-kg, 999999)).rightJustified(6, '0')
                              : QByteArray::number(qMin<qint64>(kg, 9999999)).rightJustified(7, '0');
    std::reverse(field.begin(), field.end());
    return '=' + field;
}

} // namespace

QByteArray makeFrame(FrameFormat format, double kg)
{
    const qint64 whole = std::llround(kg);
    return format == FrameFormat::Stx ? stxFrame(whole) : reversedFrame(whole);
}

QString frameFormatHelp()
{
    return u"Model parameters that read the formats (StarChar, StarWeightChar, WeightCharCount,\n"
           "StarOrderChar, OrderCharCount, OrderChar1, Direction):\n"
           "  stx       STX, 2, 6, 1, 1, \"-\", True   (the model of a new program folder)\n"
           "  reversed  \"=\", 1, 7, 0, 0, \"\", False\n"_s;
}
