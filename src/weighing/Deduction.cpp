#include "Deduction.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/Sql.h"

using namespace Qt::Literals::StringLiterals;

namespace Deduction {

const QStringList& kinds()
{
    static const QStringList all{u"毛重折扣"_s, u"毛重比例"_s, u"净重折扣"_s, u"净重比例"_s};
    return all;
}

QString newestValueOf(DataModule& dm, const QString& kind)
{
    return dm.QueryScalar(
        dm.dialect().limit(u"SELECT 折扣数值 FROM Agio WHERE 折扣项目 = ? ORDER BY ID DESC"_s, 1), {kind});
}

QString newestChosenKind(DataModule& dm)
{
    return dm.QueryScalar(dm.dialect().limit(u"SELECT 折扣项目 FROM AgioName ORDER BY ID DESC"_s, 1));
}

double valueFromText(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok)
        throw ConversionError(u"“%1”不是有效的数值"_s.arg(text));
    return value;
}

void save(DataModule& dm, const QString& operatorName, const QString& kind, double value)
{
    Sql::inTransaction(dm.weightdatabase(), [&] {
        Sql::exec(dm.weightdatabase(), u"INSERT INTO Agio (折扣项目, 折扣数值) VALUES (?, ?)"_s,
                  {kind, value});
        Sql::exec(dm.weightdatabase(), u"INSERT INTO AgioName (折扣项目) VALUES (?)"_s, {kind});
        dm.WriteLog(operatorName, kind, QString());
    });
}

} // namespace Deduction
