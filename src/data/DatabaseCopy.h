#pragma once

#include <QString>
#include <functional>

/**
 * The one safe copy of a weighing database file (SQLite), used by every backup, the compaction and the
 * restore program. A copy is written to a temporary file in the target's folder, checked, and only then
 * renamed over the target, so a failed or interrupted copy leaves the previous file of that name as it
 * was and never a half file under its name. Failures throw FileError (files, folders) or DbError
 * (the database engine), with a text that names the file and the cause.
 */
namespace DatabaseCopy {

/** Percent of the source's pages copied so far, 0 to 100. */
using Progress = std::function<void(int percent)>;

struct Copied
{
    QString target;
    /** Records of `weight` in the copy. */
    qint64 records = 0;
};

/**
 * SQLite's online backup of `source`, page by page, so other connections may stay open and keep
 * writing: the copy holds every transaction committed before it completed. The copy is checked
 * (`verify`, quick: a page copy cannot make an index disagree with its table) before it replaces `target`. The target's folder must exist; it is not created.
 */
Copied backup(const QString& source, const QString& target, const Progress& progress = {});

/**
 * A compacted copy of `source` (`VACUUM INTO`, which builds every index afresh) at `work`, checked
 * quickly and forced to the disk; a file left at `work` by an
 * earlier attempt is replaced. Returns the records of `weight` in the copy.
 */
qint64 compactInto(const QString& source, const QString& work);

enum class Check {
    /** `PRAGMA quick_check`: every page, the b-tree structure and the records, in time linear in the size. */
    Quick,
    /** `PRAGMA integrity_check`: also that every index agrees with its table (several times slower). */
    Full,
};

/**
 * Checks that `file` is a sound weighing database of this program: it opens, passes the check and holds
 * the weighing tables. Returns the records of `weight`.
 */
qint64 verify(const QString& file, Check check = Check::Full);

/** Records of `weight` without the full check (for listings); throws DbError when it cannot tell. */
qint64 recordCount(const QString& file);

/** Renames `from` over `to` in one step (the old `to` is replaced atomically); throws FileError. */
void replaceFile(const QString& from, const QString& to);

/**
 * True when a process other than this one has `file` open (on Windows the replacing rename itself
 * fails instead, so this answers false there).
 */
bool openedByOtherProcess(const QString& file);

} // namespace DatabaseCopy
