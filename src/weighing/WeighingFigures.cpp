#include "WeighingFigures.h"

#include "data/Errors.h"

#include <QStringList>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

int DeductionSetting::kindOf(const QString& name)
{
    static const QStringList names{u"毛重折扣"_s, u"毛重比例"_s, u"净重折扣"_s, u"净重比例"_s};
    return int(names.indexOf(name)) + 1;
}

QString DeductionSetting::description() const
{
    QString x;
    if (kind == 1 || kind == 3)
        x = Figures::plain(value);
    else if (kind == 2 || kind == 4)
        x = u"×"_s + Figures::plain(value) + u'%';
    return name + u'[' + x + u']';
}

namespace Figures {

namespace {

/** Rounds to two decimals the way the boxes store a figure, without a negative zero. */
double rounded(double value)
{
    const double r = std::round(value * 100.0) / 100.0;
    return r == 0 ? 0.0 : r;
}

} // namespace

QString plain(double value)
{
    QString text = QString::number(rounded(value), 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString twoDecimals(double value)
{
    return QString::number(rounded(value), 'f', 2);
}

double number(const QString& text, const QString& box)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        throw ConversionError(u"“%1”不是有效的数值（%2）"_s.arg(text, box));
    return value;
}

QString withoutZeroDecimals(const QString& text)
{
    return text.endsWith(u".00"_s) ? text.chopped(3) : text;
}

SettledFigures settle(WeighFigures figures, const QString& liveWeight, const DeductionSetting& deduction)
{
    SettledFigures result;
    if (number(figures.net, u"净重"_s) < 0) {
        figures.gross = figures.firstPass;
        figures.firstPass = liveWeight;
        result.loadedFirst = true;
    }
    double gross = number(figures.gross, u"毛重"_s);
    const double tare = number(figures.firstPass, u"毛皮重"_s);
    const double v = deduction.value;
    double amount = 0;
    if (deduction.kind == 1) {
        amount = -v;
        gross = rounded(gross + v);
        figures.gross = twoDecimals(gross);
    } else if (deduction.kind == 2) {
        amount = gross * (100 - v) / 100;
        gross = rounded(gross * v / 100);
        figures.gross = twoDecimals(gross);
    }
    double net = rounded(gross - tare);
    if (deduction.kind == 3) {
        amount = -v;
        net = rounded(net + v);
    } else if (deduction.kind == 4) {
        amount = net * (100 - v) / 100;
        net = rounded(net * v / 100);
    }
    figures.net = twoDecimals(net);
    result.figures = figures;
    result.amount = rounded(amount);
    return result;
}

} // namespace Figures
