#include "CustomPaper.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

CustomPaper CustomPaper::read(const DataModule& dm)
{
    const IniFile ini(dm.iniPath());
    return {ini.read(Option::PaperName), ini.read(Option::PaperWidth), ini.read(Option::PaperLength)};
}

void CustomPaper::save(DataModule& dm) const
{
    IniFile ini(dm.iniPath());
    ini.write(Option::PaperName, name);
    ini.write(Option::PaperWidth, width);
    ini.write(Option::PaperLength, length);
}

int CustomPaper::thousandthsOfMm(const QString& centimetres)
{
    bool ok = false;
    const double value = centimetres.trimmed().toDouble(&ok);
    // Up to 20 m of paper: beyond that the figure no longer fits a form's size.
    if (!ok || !std::isfinite(value) || value <= 0 || value > 2000)
        throw ConversionError(u"“%1”不是有效的纸张尺寸"_s.arg(centimetres));
    return int(std::lround(value * 100)) * 100;
}
