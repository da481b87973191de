#pragma once

#include "data/RecordLayout.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>
#include <optional>
#include <variant>

class Dialect;
class Spreadsheet;

/** The result of a summary: column names and rows, the grand-total row last. */
struct SummaryResult
{
    QStringList columns;
    QList<QVariantList> rows;
};

/** A summary statement with its bound values. */
struct SummaryStatement
{
    QString sql;
    QVariantList values;
};

/**
 * Group totals of the weighing records of a gross-time range: per value of one field or per combination
 * of fields, the summed tare, gross and net weight (and amount), each rounded to two decimals, and the
 * number of records, followed by the grand total over the range.
 */
namespace Summary {

inline const QString WindowCaption = QStringLiteral("汇总与打印");

/**
 * The grouping choices of the summary window in order: the visible layout fields that are not weights,
 * the record number or the amount, then the saved combinations of `TotalTab` in 编号 order.
 */
QStringList groupingChoices(const QList<StructureRow>& layout, const QStringList& combinations);
/** The saved combination texts of `TotalTab` in 编号 order; throws DbError. */
QStringList combinations(const QSqlDatabase& db);
/** The layout field summed as the amount: the first visible field whose name begins with 金额. */
std::optional<QString> amountField(const QList<StructureRow>& layout);

/**
 * The field names of a grouping text ("发货方,品名"), checked against the columns of `weight`:
 * a blank name (an empty text, a doubled or trailing comma) or a name that is not a column gives the
 * message to show instead. Names match the columns without regard to letter case and come back as the
 * columns spell them.
 */
std::variant<QStringList, QString> groupingFields(const QString& grouping, const QStringList& columns);

/**
 * The statement for checked fields: group rows ordered by the fields (the last one descending), then
 * the total row, whose grouping columns are empty.
 */
SummaryStatement statement(const QStringList& fields, const std::optional<QString>& amount,
                           const QDateTime& from, const QDateTime& to, const Dialect& dialect);

/** Runs the statement; throws DbError. */
SummaryResult run(const QSqlDatabase& db, const SummaryStatement& statement);

/** The cells of a result: row 1 the column names, then one row per result row, nulls empty. */
QList<QStringList> cells(const SummaryResult& result);

/**
 * Writes the result into the first worksheet of an existing workbook from cell A1 on (font size 10;
 * other cells stay), saves it in its own format and prints its second worksheet; without a printer the
 * sheet goes to a PDF file beside the workbook. A workbook with fewer than two worksheets is refused
 * before anything is written. The workbook is closed and its application quit before this returns or
 * throws SpreadsheetError. Returns where the sheet was printed.
 */
QString exportToWorkbook(Spreadsheet& spreadsheet, const QString& path, const SummaryResult& result);

} // namespace Summary
