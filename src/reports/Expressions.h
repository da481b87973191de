#pragma once

#include "Template.h"

#include <QDateTime>
#include <QSqlRecord>
#include <QVariant>
#include <functional>
#include <optional>
#include <stdexcept>

/** A named variable's value, or nothing when the name is not one the caller knows. */
using ReportVariables = std::function<std::optional<QVariant>(const QString& name)>;

/** What an expression sees while a report is prepared: the data set's rows and where it stands. */
struct ExpressionScope
{
    const QList<QSqlRecord>* rows = nullptr;
    /** The row that field references read; -1 or past the end: fields are empty. */
    int row = -1;
    /** The rows SUM, COUNT and the like run over: [first, last). */
    int first = 0;
    int last = 0;
    ReportVariables variables;
    QDateTime now;
    int page = 1;
    /** Collects problems (unknown columns and names); each text once. */
    QStringList* warnings = nullptr;
};

/** Stands for the total page count until all pages are known. */
inline const QString TotalPagesMark = QStringLiteral("\x01TotalPages\x01");

class ExpressionError final : public std::runtime_error
{
public:
    explicit ExpressionError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

namespace Expressions {

/**
 * Evaluates one expression: frxDBDataset1."字段" (also within < >), variables (Date, Time, Now, Page#,
 * TotalPages#, Line#, then the callback), numbers, 'texts', + - * / and brackets, and the functions
 * SUM, COUNT, AVG, MIN, MAX, FormatFloat, FormatDateTime, Round, ChineseAmount (大写金额) and
 * DeductionText (扣杂说明). Throws ExpressionError on a syntax error or an unknown function.
 */
QVariant evaluate(const QString& expression, const ExpressionScope& scope);

/**
 * The text of a memo: every [expression] replaced by its value in the display format. An expression
 * that fails is left empty and named in the warnings with the object's name.
 */
QString expand(const QString& text, const DisplayFormat& format, const ExpressionScope& scope,
               const QString& objectName = {});

/** A value as text in a display format; nulls give an empty text. */
QString format(const QVariant& value, const DisplayFormat& format);

/** A Delphi date format (yyyy-mm-dd hh:nn:ss) as a Qt one. */
QString qtDateFormat(const QString& delphiFormat);

/** An amount in Chinese capital numerals: 1234.5 → 壹仟贰佰叁拾肆元伍角整; rounded to the fen. */
QString chineseAmount(double amount);

/** Adds a warning unless it is there already. */
void warnOnce(QStringList& warnings, const QString& text);

/** 扣杂方式 for people: without the order tags, the value after a blank ("净重折扣 -30"). */
QString deductionText(const QString& stored);

} // namespace Expressions
