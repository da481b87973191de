#include "app/Schedule.h"

#include "data/IniFile.h"
#include "data/Settings.h"

Schedule Schedule::read(const IniFile& ini, const QString& programFolder)
{
    Schedule s;
    s.shutdownEnabled = ini.read(Option::ShutdownEnabled);
    s.shutdownTime = ini.read(Option::ShutdownTime);
    s.autoBackupEnabled = ini.read(Option::AutoBackupEnabled);
    s.autoBackupTime = ini.read(Option::AutoBackupTime);
    s.closeBackupEnabled = ini.read(Option::CloseBackupEnabled);
    s.backupFolder = ini.read(Option::BackupFolder(programFolder));
    return s;
}

void Schedule::tick()
{
    if (ticks < 3)
        ++ticks;
}

bool Schedule::shutdownDue(const QTime& now) const
{
    return shutdownEnabled && IniFile::timeText(now) == IniFile::timeText(shutdownTime);
}

bool Schedule::autoBackupDue(const QTime& now) const
{
    return autoBackupEnabled && IniFile::timeText(now) == IniFile::timeText(autoBackupTime);
}

namespace {

QString backupFile(const QString& folder, const QString& prefix, const QDateTime& now)
{
    return folder + u'/' + prefix + now.toString(QStringLiteral("yy_MM_dd_HH_mm_ss")) + QStringLiteral(".MDB");
}

} // namespace

QString Schedule::autoBackupFile(const QDateTime& now) const
{
    return backupFile(backupFolder, QStringLiteral("Auto"), now);
}

QString Schedule::closeBackupFile(const QDateTime& now) const
{
    return backupFile(backupFolder, QStringLiteral("Close"), now);
}
