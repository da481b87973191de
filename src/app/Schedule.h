#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

class IniFile;

/**
 * What the main window's one-second timer does at set times: the timed power-off and the timed and exit
 * backups, read from the settings file when the main window is created. Times compare to the second.
 */
struct Schedule
{
    bool shutdownEnabled = false;
    QTime shutdownTime;
    bool autoBackupEnabled = false;
    QTime autoBackupTime;
    bool closeBackupEnabled = false;
    QString backupFolder;
    /** Ticks of the timer since the first login, counted up to 3. */
    int ticks = 0;

    static Schedule read(const IniFile& ini, const QString& programFolder);

    /** Counts one tick of the timer. */
    void tick();
    /** True when the power-off is on and `now` is its second. */
    bool shutdownDue(const QTime& now) const;
    /** True when the timed backup is on and `now` is its second (two ticks in that second: twice). */
    bool autoBackupDue(const QTime& now) const;

    /** The timed backup's file: the backup folder + "/Auto" + yy_MM_dd_HH_mm_ss + ".MDB". */
    QString autoBackupFile(const QDateTime& now) const;
    /** The exit backup's file: the backup folder + "/Close" + yy_MM_dd_HH_mm_ss + ".MDB". */
    QString closeBackupFile(const QDateTime& now) const;
};
