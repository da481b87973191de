#include "Maintenance.h"

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/Dialect.h"
#include "data/Errors.h"
#include "data/Sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace Maintenance {

QString weighingFile(const DataModule& dm)
{
    if (dm.dialect().engine() != Dialect::Engine::SQLite)
        throw FileError(u"称重数据在数据库服务器上，请用数据库服务器的备份工具备份。"_s);
    return dm.path(Catalogue::WeighingFile);
}

QString monthlyBackupFile(const QString& folder, const QDate& today)
{
    return folder + u'/' + today.toString(u"yyyy-MM"_s) + u".mdb"_s;
}

DatabaseCopy::Copied backupWeighing(const DataModule& dm, const QString& target, const DatabaseCopy::Progress& progress)
{
    return DatabaseCopy::backup(weighingFile(dm), target, progress);
}

void clearRecords(DataModule& dm, const QDateTime& from, const QDateTime& to)
{
    Sql::inTransaction(dm.weightdatabase(), [&] {
        Sql::exec(dm.weightdatabase(), u"delete from Weight\n  where  (毛重时间  between ? and ?)"_s,
                  {Dialect::dateTimeText(from), Dialect::dateTimeText(to)});
    });
}

const QList<InitialiseStep>& initialiseSteps()
{
    static const QList<InitialiseStep> steps{{u"称重数据表格"_s, u"weight"_s, 25},
                                             {u"系统日志表格"_s, u"LogTab"_s, 50},
                                             {u"组合汇总项目表"_s, u"ToTalTab"_s, 75},
                                             {u"固定存皮表"_s, u"TareWeight"_s, 100}};
    return steps;
}

void initialise(DataModule& dm, const QList<bool>& ticked, const std::function<void(int)>& progress)
{
    Sql::inTransaction(dm.weightdatabase(), [&] {
        const QList<InitialiseStep>& steps = initialiseSteps();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            if (ticked.value(i))
                Sql::exec(dm.weightdatabase(), u"delete from "_s + steps[i].table);
            if (progress)
                progress(steps[i].progress);
        }
    });
}

Compaction compact(DataModule& dm)
{
    const QString file = weighingFile(dm);
    const QString work = file + u'1';
    Compaction result{CompactOutcome::Compacted, {}};
    // With the program's own connection closed, no statement of ours holds the file, and the swapped-in
    // file is the one the connection opens again.
    dm.withWeighingClosed([&] {
        if (DatabaseCopy::openedByOtherProcess(file)) {
            result = {CompactOutcome::Failed, u"另一个程序打开了 %1"_s.arg(file)};
            return;
        }
        try {
            DatabaseCopy::compactInto(file, work);
        } catch (const AppError& e) {
            result = {CompactOutcome::Failed, e.text()};
            return;
        }
        try {
            DatabaseCopy::replaceFile(work, file);
        } catch (const FileError& e) {
            QFile::remove(work);
            result = {CompactOutcome::CannotRename, e.text()};
        }
    });
    return result;
}

int backupCommand(const QString& programFolder, const QString& target, const QDate& today, QTextStream& out,
                  QTextStream& err)
{
    const QString folder = QDir(programFolder).absolutePath();
    const QString file = target.isEmpty() ? monthlyBackupFile(folder + u"/backup"_s, today)
                                          : QFileInfo(target).absoluteFilePath();
    try {
        const DatabaseCopy::Copied copied = DatabaseCopy::backup(folder + u'/' + Catalogue::WeighingFile, file);
        out << QDir::toNativeSeparators(copied.target) << u'\t' << copied.records << Qt::endl;
        return 0;
    } catch (const AppError& e) {
        err << u"weight: "_s << e.text() << Qt::endl;
        return 1;
    }
}

} // namespace Maintenance
