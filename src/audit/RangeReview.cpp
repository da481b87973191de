#include "RangeReview.h"

#include "data/DataModule.h"
#include "data/Sql.h"

using namespace Qt::Literals::StringLiterals;

TimeRange TimeRange::of(const QDate& fromDate, const QTime& fromTime, const QDate& toDate,
                        const QTime& toTime)
{
    return {QDateTime(fromDate, fromTime), QDateTime(toDate, toTime)};
}

namespace Review {

const RangeTable OperationLog{u"LogTab"_s, u"*"_s, u"操作时间"_s, {}, u"编号 DESC"_s, u"删除日志"_s};
const RangeTable RecycleBin{u"LogTab"_s, u"*"_s, u"操作时间"_s, u"(操作内容 <> '')"_s, {}, {}};
const RangeTable BlackBox{u"黑匣子数据"_s, u"重量, 时间, 操作人"_s, u"时间"_s, {},
                          u"ID DESC"_s,    u"删除黑匣子数据"_s};

} // namespace Review

QString RangeReview::condition() const
{
    QString where = u" WHERE (%1 BETWEEN ? AND ?)"_s.arg(m_table.rangeColumn);
    if (!m_table.extraCondition.isEmpty())
        where += u" AND "_s + m_table.extraCondition;
    return where;
}

QVariantList RangeReview::bounds(const TimeRange& range) const
{
    return {Dialect::dateTimeText(range.from), Dialect::dateTimeText(range.to)};
}

QSqlQuery RangeReview::query(const TimeRange& range)
{
    m_last = range;
    QString sql = u"SELECT %1 FROM %2"_s.arg(m_table.columns, m_table.table) + condition();
    if (!m_table.order.isEmpty())
        sql += u" ORDER BY "_s + m_table.order;
    return Sql::exec(m_dm.weightdatabase(), sql, bounds(range));
}

void RangeReview::deleteLastRange(const QString& operatorName)
{
    if (!m_last)
        return;
    Sql::inTransaction(m_dm.weightdatabase(), [&] {
        Sql::exec(m_dm.weightdatabase(), u"DELETE FROM "_s + m_table.table + condition(), bounds(*m_last));
        m_dm.WriteLog(operatorName, m_table.deleteAction, QString());
    });
}
