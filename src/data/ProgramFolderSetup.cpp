#include "ProgramFolderSetup.h"

#include "Catalogue.h"
#include "DataModule.h"
#include "data/Errors.h"
#include "data/WeightDerived.h"
#include "IniFile.h"
#include "Passwords.h"
#include "RecordLayout.h"
#include "Settings.h"
#include "Sql.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace ProgramFolderSetup {

namespace {

QString defaultPort()
{
#ifdef Q_OS_WIN
    return u"COM1"_s;
#else
    return u"/dev/ttyS0"_s;
#endif
}

void createDatabaseFile(const QString& file)
{
    const QString name = u"setup-"_s + file;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        if (!db.open())
            throw FileError(u"无法创建数据库文件 %1"_s.arg(file));
        Sql::exec(db, u"PRAGMA user_version = 0"_s);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void seedWeighing(DataModule& dm, const QList<StructureRow>& layout)
{
    const QSqlDatabase db = dm.weightdatabase();
    Sql::inTransaction(db, [&] {
        RecordLayout::write(db, layout);
        Sql::exec(db, RecordLayout::createTableSql(layout, dm.dialect(), u"weight"_s));
        QStringList names;
        for (const StructureRow& row : layout)
            names.append(row.name);
        for (const QString& sql : Catalogue::weightIndexSql(names, dm.dialect(), u"weight"_s))
            Sql::exec(db, sql);
        WeightDerived::rebuild(db, dm.dialect());

        QStringList rights = Catalogue::windowRights() + Catalogue::menuRights();
        QStringList marks(rights.size(), u"?"_s);
        QVariantList values{u"admin"_s, Passwords::hash(Passwords::AdminInitial)};
        for (qsizetype i = 0; i < rights.size(); ++i)
            values.append(true);
        Sql::exec(db, u"INSERT INTO users (用户名称, 用户密码, %1) VALUES (?, ?, %2)"_s.arg(rights.join(u", "_s),
                                                                                          marks.join(u", "_s)),
                  values);
        // No deduction: a kind that is none of the four, so records read "无[]" and nothing is taken off.
        Sql::exec(db, u"INSERT INTO Agio (折扣项目, 折扣数值) VALUES (?, ?)"_s, {u"无"_s, 0.0});
    });
}

void seedParameters(DataModule& dm, const Options& options)
{
    // A continuous-output indicator: STX, sign, six weight digits, decimal position, two check
    // characters, ETX; read as sent, at 9600 baud 8N1.
    Sql::exec(dm.Parameters(),
              u"INSERT INTO Com_parameter (仪表型号, 接线方式说明, 是否选择, Commname, Baudrate, Parity, ParityCheck, "
              "Bytesize, Stopbits, Direction, CountChar, StarChar, StarWeightChar, WeightCharCount, StarOrderChar, "
              "OrderCharCount, OrderChar1, OrderChar2, OrderChar3) "
              "VALUES (?, ?, TRUE, ?, 9600, 'None', TRUE, '8', '1', TRUE, '18', ?, '2', '6', '1', '1', '-', '', '')"_s,
              {u"通用连续输出仪表"_s, u"仪表RS232输出：2脚接电脑3脚，3脚接电脑2脚，5脚接地"_s,
               options.port.isEmpty() ? defaultPort() : options.port, QString(QChar(0x02))});
}

void writeSettings(const QString& folder, const QList<StructureRow>& layout)
{
    IniFile ini(folder + u"/Option.ini"_s);
    ini.write(Option::ApplicationCaption, Option::DefaultCaption);
    for (const StructureRow& row : layout) {
        const bool isFloat = row.type.compare(u"Float"_s, Qt::CaseInsensitive) == 0;
        ini.writeString(Option::CheckWidthSection, row.name, isFloat ? u"12"_s : row.width);
    }
}

// Files a new folder receives from the program itself (the bell, ticket templates, pictures); a file
// the site already has is kept.
std::optional<QString> copyResources(const QDir& dir)
{
    const QString root = u":/programfolder"_s;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = dir.filePath(source.mid(root.size() + 1));
        if (QFileInfo::exists(target))
            continue;
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target))
            return u"无法复制文件 %1"_s.arg(target);
        // Files copied out of the program are read-only; the site edits its templates.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
    }
    return std::nullopt;
}

// The restore program is built beside this program; a folder made without it (tests) gets none, and
// "数据恢复..." then says so.
std::optional<QString> installRestoreProgram(const QDir& dir)
{
#ifdef Q_OS_WIN
    const QString built = u"/weight-restore.exe"_s, installed = u"Restore/Restore.exe"_s;
#else
    const QString built = u"/weight-restore"_s, installed = u"Restore/Restore"_s;
#endif
    const QString source = QCoreApplication::applicationDirPath() + built;
    const QString target = dir.filePath(installed);
    if (!QFileInfo::exists(source) || QFileInfo::exists(target))
        return std::nullopt;
    if (!QDir().mkpath(dir.filePath(u"Restore"_s)) || !QFile::copy(source, target))
        return u"无法复制文件 %1"_s.arg(target);
    return std::nullopt;
}

} // namespace

std::optional<QString> create(const QString& folder, const Options& options)
{
    QDir dir(folder);
    if (!dir.mkpath(u"."_s))
        return u"无法创建程序目录 %1"_s.arg(folder);
    for (const QString& file : {Catalogue::WeighingFile, Catalogue::ParametersFile})
        if (QFileInfo::exists(dir.filePath(file)))
            return u"%1 已经存在，不会覆盖已有的数据库"_s.arg(dir.filePath(file));
    for (const QString& sub : {u"磅单"_s, u"backup"_s, u"Picture"_s, u"打铃音"_s, u"Restore"_s})
        if (!dir.mkpath(sub))
            return u"无法创建目录 %1"_s.arg(dir.filePath(sub));
    if (const auto problem = copyResources(dir))
        return problem;
    if (const auto problem = installRestoreProgram(dir))
        return problem;

    try {
        createDatabaseFile(dir.filePath(Catalogue::WeighingFile));
        createDatabaseFile(dir.filePath(Catalogue::ParametersFile));
        DataModule dm(dir.absolutePath());
        if (dm.open(DataModule::OpenMode::Create) != DataModule::OpenResult::Ok)
            throw DbError(dm.lastOpenError());
        const QList<StructureRow> layout = RecordLayout::defaultRows();
        seedWeighing(dm, layout);
        seedParameters(dm, options);
        writeSettings(dir.absolutePath(), layout);
    } catch (const AppError& e) {
        QFile::remove(dir.filePath(Catalogue::WeighingFile));
        QFile::remove(dir.filePath(Catalogue::ParametersFile));
        return e.text();
    }
    return std::nullopt;
}

} // namespace ProgramFolderSetup
