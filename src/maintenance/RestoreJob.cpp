#include "RestoreJob.h"

#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/Errors.h"
#include "data/IniFile.h"
#include "data/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace RestoreJob {

namespace {

const QString ProgramSection = u"Program"_s;
const QString ProgramKey = u"Path"_s;

QString backupFolder(const QString& programFolder)
{
    return IniFile(programFolder + u"/Option.ini"_s).read(Option::BackupFolder(programFolder));
}

QString restoreIni(const QString& programFolder)
{
    return programFolder + u"/Restore/Restore.ini"_s;
}

} // namespace

QList<Backup> findBackups(const QString& programFolder)
{
    QStringList folders{QFileInfo(backupFolder(programFolder)).absoluteFilePath(),
                        QFileInfo(programFolder + u"/backup"_s).absoluteFilePath()};
    folders.removeDuplicates();
    QList<Backup> found;
    for (const QString& folder : folders) {
        const QFileInfoList files = QDir(folder).entryInfoList({u"*.mdb"_s}, QDir::Files);
        for (const QFileInfo& info : files) {
            Backup backup{info.absoluteFilePath(), info.lastModified(), info.size(), std::nullopt};
            try {
                backup.records = DatabaseCopy::recordCount(backup.file);
            } catch (const AppError&) {
            }
            found.append(backup);
        }
    }
    std::sort(found.begin(), found.end(), [](const Backup& a, const Backup& b) { return a.modified > b.modified; });
    return found;
}

Restored restore(const QString& programFolder, const QString& backup, const QDateTime& now)
{
    const qint64 records = DatabaseCopy::verify(backup);
    const QString database = programFolder + u'/' + Catalogue::WeighingFile;
    if (DatabaseCopy::openedByOtherProcess(database))
        throw FileError(u"称重程序还在使用数据库 %1，请先退出称重程序。"_s.arg(QDir::toNativeSeparators(database)));

    const QString folder = backupFolder(programFolder);
    if (!QDir().mkpath(folder))
        throw FileError(u"无法创建备份目录 %1"_s.arg(QDir::toNativeSeparators(folder)));
    const QString previous = folder + u"/Restore"_s + now.toString(u"yy_MM_dd_HH_mm_ss"_s) + u".MDB"_s;
    if (QFileInfo::exists(database)) {
        try {
            DatabaseCopy::backup(database, previous);
        } catch (const AppError&) {
            // A damaged database is kept as it is, byte for byte.
            QFile::remove(previous);
            if (!QFile::copy(database, previous))
                throw FileError(u"无法保存当前数据库到 %1"_s.arg(QDir::toNativeSeparators(previous)));
        }
    }
    DatabaseCopy::backup(backup, database);
    return {previous, records};
}

QString mainProgram(const QString& programFolder)
{
    const QString recorded = IniFile(restoreIni(programFolder)).readString(ProgramSection, ProgramKey, {});
    if (!recorded.isEmpty() && QFileInfo(recorded).isExecutable())
        return recorded;
#ifdef Q_OS_WIN
    const QString inFolder = programFolder + u"/weight.exe"_s;
#else
    const QString inFolder = programFolder + u"/weight"_s;
#endif
    return QFileInfo(inFolder).isExecutable() ? inFolder : QString();
}

void recordMainProgram(const QString& programFolder, const QString& program)
{
    QDir().mkpath(programFolder + u"/Restore"_s);
    IniFile(restoreIni(programFolder)).writeString(ProgramSection, ProgramKey, program);
}

} // namespace RestoreJob
