#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class Dialect;
class QSqlDatabase;

/** A column a user types into that must be filled in and held by no other row of its table. */
struct UniqueColumn
{
    QString table;
    QString column;
    /** Column that identifies a row. */
    QString keyColumn;
};

/**
 * Why a typed value cannot be stored in a unique column: it is empty, does not convert to the column's
 * type, or another row than the one whose key is `rowKey` (invalid for a row not yet written) holds it;
 * texts compare without regard to letter case. A stored row that keeps its value passes: older data
 * may already repeat it. No problem: nullopt. Throws DbError when the lookup fails.
 */
std::optional<QString> uniqueValueProblem(const QSqlDatabase& db, const Dialect& dialect, const UniqueColumn& unique,
                                          const QVariant& value, const QVariant& rowKey);
