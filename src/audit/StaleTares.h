#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>

class DataModule;

/**
 * Pending records that hold only a tare weighing older than [时间限值] 小时数 hours, and their delete.
 * Records are listed while their gross is below 1.0 but deleted only below 0.01. Failures throw DbError.
 */
namespace StaleTares {

inline const QString NotTareOnlyMessage = QStringLiteral("只能删除皮重过磅车辆!");
inline const QString DeleteQuestion = QStringLiteral("你确实要删除这条数据吗?");

/** The records of `weight` with 毛重 below 1.0 and a 皮重时间 before now minus the hours, newest first. */
QSqlQuery query(DataModule& dm, const QDateTime& now, int hours);

/** "有 N 条皮重数据在超过 H 小时以上没有使用！建议核实后删除", without the blanks. */
QString countMessage(int count, int hours);

/** A record of that gross weight may be deleted here. */
bool canDelete(double gross);

/**
 * Logs "删除" with the record's content and deletes it from `weight` by its 编号, together: when the
 * delete fails the entry is not written either.
 */
void deleteRecord(DataModule& dm, const QSqlRecord& record, const QString& operatorName);

} // namespace StaleTares
