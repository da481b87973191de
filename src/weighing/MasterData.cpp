#include "MasterData.h"

#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/Dialect.h"
#include "data/IniFile.h"
#include "data/Sql.h"

#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

namespace MasterData {

const MasterTable& tareWeight()
{
    static const MasterTable table{
        .table = u"TareWeight"_s,
        .keyColumn = u"ID"_s,
        .readOnlyColumns = {},
        .orderBy = u"车号"_s,
        .findColumn = u"车号"_s,
        .findPrompt = u"请输入车号   ."_s,
        .addAction = u"添加车皮"_s,
        .deleteAction = u"删除车皮"_s,
        .saveAction = u"修改车皮"_s,
        .twoDecimalColumns = {u"皮重"_s},
        .columns = {u"车号"_s, u"皮重"_s, u"固定存皮"_s, u"存皮人"_s, u"时间"_s},
        .uniqueColumn = u"车号"_s,
    };
    return table;
}

const MasterTable& unitPrice()
{
    static const MasterTable table{
        .table = u"UnitPrice"_s,
        .keyColumn = u"编号"_s,
        .readOnlyColumns = {u"编号"_s},
        .orderBy = u"编号 ASC"_s,
        .findColumn = u"品名"_s,
        .findPrompt = u"请输入品名   ."_s,
        .addAction = u"添加单价"_s,
        .deleteAction = u"删除单价"_s,
        .saveAction = u"修改单价"_s,
        .twoDecimalColumns = {},
        .columns = {},
        .uniqueColumn = {},
    };
    return table;
}

QString unitCaption(const QString& iniPath)
{
    return IniFile(iniPath).read(Option::UnitKilograms) ? u"单位:千克(kg)"_s : u"单位:吨(t)"_s;
}

} // namespace MasterData

double UnitPriceOf(DataModule& dm, const QString& product)
{
    const QString name = product.trimmed();
    if (name.isEmpty())
        return 0;
    // Several prices in force for one product: the oldest entry wins, the same row every time.
    const QString price = dm.QueryScalar(
        dm.dialect().limit(u"SELECT 单价 FROM UnitPrice WHERE %1 AND 是否执行 = %2 ORDER BY 编号"_s.arg(
                               dm.dialect().textEquals(u"品名"_s), dm.dialect().trueLiteral()),
                           1),
        {name});
    if (price.isEmpty())
        return 0;
    bool ok = false;
    const double value = price.toDouble(&ok);
    if (!ok)
        throw ConversionError(u"“%1”不是有效的单价"_s.arg(price));
    return value;
}
