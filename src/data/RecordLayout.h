#pragma once

#include "Dialect.h"

#include <QList>
#include <QString>
#include <optional>

/** One row of `structure`: a field of the weighing table. */
struct StructureRow
{
    int number = 0;          // 编号
    QString name;            // 项目名称
    QString type;            // 项目类型: String, Int, Float or DateTime, any letter case
    QString width;           // 项目宽度
    QString decimals;        // 小数位
    bool mayBeEmpty = true;  // 是否为空
    QString formula;         // 计算公式
    bool visible = true;     // 是否可见
    bool chineseInput = false; // 是否汉字输入
};

namespace RecordLayout {

/** The fixed fields every layout must hold (the first row stands for 编号). */
const QStringList& fixedFields();
/** The layout of a new program folder: every fixed field and the usual site fields. */
QList<StructureRow> defaultRows();

/**
 * Checks rows (in 编号 order) before they replace the weighing table: at least two rows, the first row
 * named 编号, a known type and a valid unique name on every row, a whole-number width for every String,
 * no formula (computed columns are not supported), the fixed fields present.
 * Returns the message that names the wrong row, or nothing when the rows are sound.
 */
std::optional<QString> problem(const QList<StructureRow>& rows);

/** CREATE TABLE for the weighing table from the rows; the first row becomes the auto-number key. */
QString createTableSql(const QList<StructureRow>& rows, const Dialect& dialect, const QString& table);

/** Reads `structure` in 编号 order; throws DbError. */
QList<StructureRow> read(const QSqlDatabase& db);
/** Replaces the rows of `structure`; throws DbError. */
void write(const QSqlDatabase& db, const QList<StructureRow>& rows);

} // namespace RecordLayout
