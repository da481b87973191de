#include "StaleTares.h"

#include "RecordSnapshot.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/Sql.h"

using namespace Qt::Literals::StringLiterals;

namespace StaleTares {

QSqlQuery query(DataModule& dm, const QDateTime& now, int hours)
{
    const QString cutOff = Dialect::dateTimeText(now.addSecs(-qint64(hours) * 3600));
    return Sql::exec(dm.weightdatabase(),
                     u"SELECT * FROM weight WHERE (毛重 < 1.0) AND (皮重时间 < ?) ORDER BY 编号 DESC"_s,
                     {cutOff});
}

QString countMessage(int count, int hours)
{
    return u"有%1条皮重数据在超过%2小时以上没有使用！建议核实后删除"_s.arg(count).arg(hours);
}

bool canDelete(double gross)
{
    return gross < 0.01;
}

void deleteRecord(DataModule& dm, const QSqlRecord& record, const QString& operatorName)
{
    const QVariant number = record.value(u"编号"_s);
    Sql::inTransaction(dm.weightdatabase(), [&] {
        dm.WriteLog(operatorName, u"删除"_s, RecordSnapshot::content(record));
        QSqlQuery deleted = Sql::exec(dm.weightdatabase(), u"DELETE FROM weight WHERE 编号 = ?"_s, {number});
        if (deleted.numRowsAffected() == 0)
            throw DbError(u"没有找到编号为 %1 的称重记录，它可能已被删除"_s.arg(number.toString()));
    });
}

} // namespace StaleTares
