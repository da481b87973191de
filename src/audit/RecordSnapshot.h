#pragma once

#include "data/Dialect.h"

#include <QList>
#include <QSqlRecord>
#include <QString>
#include <QStringList>
#include <QVariantList>

/**
 * The log content of a changed or deleted weighing record: "[" + value + "]" for every column in column
 * order, "[]" for a null. Date-times are written "yyyy-MM-dd HH:mm:ss".
 */
namespace RecordSnapshot {

QString content(const QSqlRecord& record);
/** The same for the values of a record in column order. */
QString content(const QVariantList& values);

/** A log content split back into the values of a record layout. */
struct Split
{
    /** One value per column of the layout when `fits`; otherwise every bracketed piece in order. */
    QStringList values;
    /** The content has exactly one value per column, each of a form its column can hold. */
    bool fits = false;
    /**
     * More than one way to split fits equally well (adjacent text values holding balanced brackets);
     * the values are one of them.
     */
    bool ambiguous = false;
};

/**
 * Splits a content back into values. A value may itself hold "[" and "]"; the split then chosen is one
 * where every number and date-time column gets a value without brackets that converts and every text
 * that holds "][" holds balanced brackets (as the deduction texts "毛重折扣[-300][皮->毛]" do),
 * preferring the one where the most values are balanced.
 * A content that fits no such split (the layout changed since, or it was cut short) is split at every
 * "][" instead, with `fits` false. Never throws.
 */
Split split(const QString& content, const QList<ColumnInfo>& columns);

} // namespace RecordSnapshot
