#include "data/PersonalSettings.h"

#include "data/IniFile.h"
#include "data/Settings.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

PersonalSettings PersonalSettings::read(const IniFile& ini, const QString& folder)
{
    PersonalSettings s;
    s.backupFolder = QDir::toNativeSeparators(ini.read(Option::BackupFolder(folder)));
    s.picturePath = QDir::toNativeSeparators(ini.read(Option::PicturePath(folder)));
    s.backdropColor = Option::colorFromValue(ini.read(Option::BackdropColor));
    s.shutdownTime = ini.read(Option::ShutdownTime);
    s.selectNum = ini.read(Option::SelectNumText);
    s.lowerLimit = ini.read(Option::LowerLimitText);
    s.backdrop = ini.read(Option::PictureBackdrop);
    s.sound = ini.read(Option::Sound);
    s.shutdownEnabled = ini.read(Option::ShutdownEnabled);
    s.autoRun = ini.read(Option::AutoRun);
    s.checkData = ini.read(Option::CheckdataInSettings);
    s.printDirectly = ini.read(Option::PrintDirectly);
    s.checkLaterThanLast = ini.read(Option::CheckLaterThanLast);
    s.checkTareDifference = ini.read(Option::CheckTareDifference);
    s.remindAfter30Days = ini.read(Option::RemindAfter30Days);
    s.video = ini.read(Option::Video);
    s.autoBackup = ini.read(Option::AutoBackupEnabled);
    s.closeBackup = ini.read(Option::CloseBackupEnabled);
    s.backupTime = ini.read(Option::AutoBackupTime);
    s.imeName = ini.read(Option::ImeName);
    s.kilograms = ini.read(Option::UnitKilograms);
    s.quickPrint = ini.read(Option::PrintQuick);
    return s;
}

QString autorunCommand(const QString& programFile, const QString& programFolder)
{
    const QString quotedProgram = u'"' + QDir::toNativeSeparators(programFile) + u'"';
    if (QFileInfo(QFileInfo(programFile).absolutePath()) == QFileInfo(programFolder))
        return quotedProgram;
    return quotedProgram + u" --folder \""_s + QDir::toNativeSeparators(programFolder) + u'"';
}

void PersonalSettings::write(IniFile& ini, const QString& folder) const
{
    ini.write(Option::BackupFolder(folder), backupFolder);
    ini.write(Option::AutoBackupEnabled, autoBackup);
    ini.write(Option::CloseBackupEnabled, closeBackup);
    ini.write(Option::AutoBackupTime, backupTime);
    ini.write(Option::PicturePath(folder), picturePath);
    ini.write(Option::BackdropColor, Option::colorValue(backdropColor));
    ini.write(Option::ShutdownTime, shutdownTime);
    ini.write(Option::SelectNumText, selectNum);
    ini.write(Option::LowerLimitText, lowerLimit);
    ini.write(Option::PictureBackdrop, backdrop);
    ini.write(Option::Sound, sound);
    ini.write(Option::ShutdownEnabled, shutdownEnabled);
    ini.write(Option::AutoRun, autoRun);
    ini.write(Option::CheckdataInSettings, checkData);
    ini.write(Option::PrintDirectly, printDirectly);
    ini.write(Option::CheckLaterThanLast, checkLaterThanLast);
    ini.write(Option::CheckTareDifference, checkTareDifference);
    ini.write(Option::RemindAfter30Days, remindAfter30Days);
    ini.write(Option::ImeName, imeName);
    ini.write(Option::Video, video);
    ini.write(Option::UnitKilograms, kilograms);
    ini.write(Option::PrintQuick, quickPrint);
}
