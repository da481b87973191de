#include "FieldDesigner.h"

#include "data/Catalogue.h"
#include "data/DatabaseCopy.h"
#include "data/DataModule.h"
#include "data/Errors.h"
#include "data/WeightDerived.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "data/Sql.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

namespace FieldDesigner {

namespace {

const QString WeightTable = u"weight"_s;
const QString NewTable = u"weight_new"_s;

QString freeBackupName(const QString& folder, const QDateTime& now)
{
    const QString base = folder + u'/' + BackupPrefix + now.toString(u"yy_MM_dd_HH_mm_ss"_s);
    QString name = base + u".MDB"_s;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + u'_' + QString::number(n) + u".MDB"_s;
    return name;
}

/** The checked, consistent copy of the weighing database under a free name in `folder`. */
QString copySqliteDatabase(const QString& databaseFile, const QString& folder, const QDateTime& now)
{
    if (!QDir().mkpath(folder))
        throw FileError(u"无法创建备份目录 %1"_s.arg(folder));
    return DatabaseCopy::backup(databaseFile, freeBackupName(folder, now)).target;
}

QStringList columnNames(const QList<StructureRow>& rows)
{
    QStringList names{u"编号"_s};
    for (qsizetype i = 1; i < rows.size(); ++i)
        names.append(rows[i].name.trimmed());
    return names;
}

void replaceTable(const QSqlDatabase& db, const Dialect& dialect, const QList<StructureRow>& rows)
{
    Sql::exec(db, u"DROP TABLE IF EXISTS %1"_s.arg(NewTable));
    Sql::exec(db, RecordLayout::createTableSql(rows, dialect, NewTable));
    Sql::exec(db, u"DROP TABLE IF EXISTS %1"_s.arg(WeightTable));
    Sql::exec(db, u"ALTER TABLE %1 RENAME TO %2"_s.arg(NewTable, WeightTable));
    for (const QString& sql : Catalogue::weightIndexSql(columnNames(rows), dialect, WeightTable))
        Sql::exec(db, sql);
    WeightDerived::rebuild(db, dialect);
}

} // namespace

Rebuild rebuildWeight(DataModule& dm, const QDateTime& now)
{
    const QSqlDatabase db = dm.weightdatabase();
    const Dialect& dialect = dm.dialect();
    Rebuild result;
    result.rows = RecordLayout::read(db);
    result.problem = RecordLayout::problem(result.rows);
    if (result.problem)
        return result;

    const bool sqlite = dialect.engine() == Dialect::Engine::SQLite;
    if (sqlite)
        result.backup = copySqliteDatabase(db.databaseName(), dm.path(u"backup"_s), now);
    Sql::inTransaction(db, [&] {
        if (!sqlite && dialect.tableExists(db, WeightTable)) {
            result.backup = WeightTable + u"_backup_"_s + now.toString(u"yyyyMMdd_HHmmss"_s);
            Sql::exec(db, u"CREATE TABLE %1 AS SELECT * FROM %2"_s.arg(result.backup, WeightTable));
        }
        replaceTable(db, dialect, result.rows);
    });
    return result;
}

void writeCheckWidths(const QString& iniPath, const QList<StructureRow>& rows, WidthRule rule)
{
    IniFile ini(iniPath);
    for (const StructureRow& row : rows) {
        const bool isFloat = row.type.trimmed().compare(u"Float"_s, Qt::CaseInsensitive) == 0;
        ini.writeString(Option::CheckWidthSection, row.name.trimmed(),
                        rule == WidthRule::FloatAsTwelve && isFloat ? u"12"_s : row.width);
    }
}

} // namespace FieldDesigner
