#pragma once

#include <QColor>
#include <QString>
#include <QTime>

class IniFile;

/** The values the personal settings window edits, as read from and written to Option.ini. */
struct PersonalSettings
{
    QString backupFolder;
    QString picturePath;
    QColor backdropColor;
    QTime shutdownTime;
    QString selectNum;  // kept as typed
    QString lowerLimit; // kept as typed
    bool backdrop = false;
    bool sound = false;
    bool shutdownEnabled = false;
    bool autoRun = false;
    bool checkData = false;
    bool printDirectly = true;
    bool checkLaterThanLast = true;
    bool checkTareDifference = true;
    bool remindAfter30Days = true;
    bool video = false;
    bool autoBackup = false;
    bool closeBackup = false;
    QTime backupTime;
    QString imeName;
    bool kilograms = true;
    bool quickPrint = true;

    /** Reads every value with the defaults of the settings catalogue; `folder` is the program folder. */
    static PersonalSettings read(const IniFile& ini, const QString& folder);
    /** Writes every value; throws FileError when the settings file cannot be written. */
    void write(IniFile& ini, const QString& folder) const;
};

/**
 * The command line that autorun starts: the quoted program file, followed by `--folder "<folder>"`
 * when the program folder is not the folder of the program file.
 */
QString autorunCommand(const QString& programFile, const QString& programFolder);

