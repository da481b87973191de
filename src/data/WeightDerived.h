#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class Dialect;
class QSqlDatabase;

/** The shift totals from a record number on. */
struct RecordTotals
{
    int trucks = 0;
    double net = 0;
};

/**
 * What the station and the word picker read on every open, save and double click, kept beside `weight`
 * so that reading it costs no scan of the records: the distinct words of every text column (one entry
 * per word whatever its letter case, with the number of records holding it) in `WordList`, and the
 * count and net weight of every block of BlockSize record numbers in `WeightTotals`. Triggers on
 * `weight` keep both right through every insert, change and delete, whoever makes it. On SQLite only;
 * elsewhere the readers fall back to the records themselves.
 */
namespace WeightDerived {

constexpr int BlockSize = 4096;

/**
 * Creates the two tables and the triggers for the current columns of `weight` and fills the tables
 * from the records; run after `weight` is made or remade (its triggers go with the old table). Throws
 * DbError. Does nothing on engines other than SQLite.
 */
void rebuild(const QSqlDatabase& db, const Dialect& dialect);

/** The words of a column of `weight` in word order; nullopt when the column has no word list. */
std::optional<QStringList> words(const QSqlDatabase& db, const Dialect& dialect, const QString& column);

/** Count and sum of 净重 of the records numbered `first` or higher. */
RecordTotals totalsFrom(const QSqlDatabase& db, const Dialect& dialect, qlonglong first);

} // namespace WeightDerived
