#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

/**
 * What the restore program does with a program folder: it lists the backups it finds (monthly, timed,
 * exit, field designer and earlier restores), checks the chosen one, keeps the current database as a
 * backup of its own and puts the chosen copy in place with one atomic rename.
 */
namespace RestoreJob {

struct Backup
{
    QString file;
    QDateTime modified;
    qint64 size = 0;
    /** Records of `weight`; empty when the file is not a weighing database of this program. */
    std::optional<qint64> records;
};

/**
 * Every "*.mdb" file (any letter case) in the folder's backup folder ([BackupdataPath] Path) and in its
 * `backup` folder, newest first.
 */
QList<Backup> findBackups(const QString& programFolder);

struct Restored
{
    /** Where the database that was replaced went. */
    QString previous;
    qint64 records = 0;
};

/**
 * Checks `backup` fully and refuses it (DbError) before anything is moved when it is not a sound
 * weighing database; refuses (FileError) while another program has the database open. Then keeps the
 * current database as backup folder + "/Restore" + yy_MM_dd_HH_mm_ss + ".MDB" and copies the backup in
 * place through a checked temporary file and one rename.
 */
Restored restore(const QString& programFolder, const QString& backup, const QDateTime& now);

/** The weighing program to start again: the one the hand-over recorded, or the one in the folder. */
QString mainProgram(const QString& programFolder);
/** Records the weighing program for `mainProgram`; the main window calls it before the hand-over. */
void recordMainProgram(const QString& programFolder, const QString& program);

} // namespace RestoreJob
