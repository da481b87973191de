#pragma once

#include "data/DatabaseCopy.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class DataModule;
class QTextStream;

/** Keeping the weighing database in shape: backup, clearing by period, initialising tables, compacting. */
namespace Maintenance {

/** The weighing database file; throws FileError when the weighing data is on a database server. */
QString weighingFile(const DataModule& dm);
/** The month's default backup file in `folder`: folder + "/" + yyyy-mm + ".mdb". */
QString monthlyBackupFile(const QString& folder, const QDate& today);

/** The checked, consistent copy of the weighing database to `target` (DatabaseCopy::backup). */
DatabaseCopy::Copied backupWeighing(const DataModule& dm, const QString& target,
                                    const DatabaseCopy::Progress& progress = {});

/** Deletes the records whose gross time lies in [from, to], to the second; throws DbError. */
void clearRecords(DataModule& dm, const QDateTime& from, const QDateTime& to);

/** One table of the initialise window: its check box, the table and the progress after it. */
struct InitialiseStep
{
    QString checkBox;
    QString table;
    int progress;
};
const QList<InitialiseStep>& initialiseSteps();
/**
 * Empties the tables whose step is ticked (`ticked` in step order), in one transaction: a failure
 * leaves every table as it was. `progress` gets each step's figure, ticked or not.
 */
void initialise(DataModule& dm, const QList<bool>& ticked, const std::function<void(int)>& progress = {});

enum class CompactOutcome {
    Compacted,
    /** Another program holds the database or the compaction failed; the database is unchanged. */
    Failed,
    /** The compacted copy could not take the database's name; the database is unchanged. */
    CannotRename,
};
struct Compaction
{
    CompactOutcome outcome;
    /** Why it failed, for the log of an installer. */
    QString cause;
};
/**
 * Compacts the weighing database into the work file (the file name + "1", replacing one left by an
 * earlier attempt) and swaps it in by one rename, with the program's weighing connection closed.
 */
Compaction compact(DataModule& dm);

/**
 * The command line's backup job: the checked copy of the folder's weighing database to `target`
 * (empty: the month's file in the folder's `backup` folder). Prints the target and the record count,
 * tab-separated, and returns 0; on failure prints the cause to `err` and returns 1, the previous file of
 * that name untouched.
 */
int backupCommand(const QString& programFolder, const QString& target, const QDate& today, QTextStream& out,
                  QTextStream& err);

} // namespace Maintenance
