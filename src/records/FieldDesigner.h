#pragma once

#include "data/RecordLayout.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

class DataModule;

/** Rebuilding the weighing table from the record layout in `structure`, and the input widths. */
namespace FieldDesigner {

inline const QString BackupPrefix = QStringLiteral("Struct");

struct Rebuild
{
    /** Why the rows cannot make a table, naming the row; when set, nothing was touched. */
    std::optional<QString> problem;
    /** Where the copy made before the rebuild went: a file (SQLite) or a table (PostgreSQL). */
    QString backup;
    /** The rows the table was built from, in 编号 order. */
    QList<StructureRow> rows;
};

/**
 * Reads `structure` and, when its rows are sound, replaces `weight` by an empty table built from them:
 * a copy of the weighing database is kept first (SQLite: a consistent copy in the program folder's
 * `backup` folder, named with the time; PostgreSQL: a copy of the table), the new table is created under
 * a temporary name, the old one dropped, the new one renamed and the indexes made again, all in one
 * transaction. Throws DbError; a failure leaves `weight` as it was.
 */
Rebuild rebuildWeight(DataModule& dm, const QDateTime& now);

enum class WidthRule {
    /** The save: "12" for Float fields, the stored width for the others. */
    FloatAsTwelve,
    /** The refresh: the stored width for every field. */
    StoredWidth,
};

/** Writes one [CheckWidth] key per row (key = field name); keys of other fields stay. */
void writeCheckWidths(const QString& iniPath, const QList<StructureRow>& rows, WidthRule rule);

} // namespace FieldDesigner
