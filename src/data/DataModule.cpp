#include "DataModule.h"

#include "Catalogue.h"
#include "data/Errors.h"
#include "IniFile.h"
#include "Sql.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>

using namespace Qt::Literals::StringLiterals;

namespace {

QString uniqueConnectionName(const QString& base)
{
    static QAtomicInt counter;
    return u"%1-%2"_s.arg(base).arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

DataModule::DataModule(QString programFolder, Dialect dialect)
    : m_folder(QDir::cleanPath(QDir(programFolder).absolutePath())), m_dialect(dialect),
      m_weighingName(uniqueConnectionName(u"weightdatabase"_s)),
      m_parametersName(uniqueConnectionName(u"Parameters"_s))
{
}

DataModule::~DataModule()
{
    close();
}

QString DataModule::path(const QString& relative) const
{
    return m_folder + u'/' + relative;
}

QSqlDatabase DataModule::weightdatabase() const
{
    return QSqlDatabase::database(m_weighingName, false);
}

QSqlDatabase DataModule::Parameters() const
{
    return QSqlDatabase::database(m_parametersName, false);
}

DataModule::OpenResult DataModule::open(OpenMode mode)
{
    close();
    const QString parameters = path(Catalogue::ParametersFile);
    const QString weighing = path(Catalogue::WeighingFile);
    if (!QFileInfo(parameters).isFile() || !QFileInfo(weighing).isFile())
        return OpenResult::MissingFile;

    const auto openOne = [&](const QString& name, const QString& file, Store store) {
        if (m_dialect.engine() == Dialect::Engine::SQLite) {
            // SQLite needs to write the file and, for its journal, the folder.
            if (!QFileInfo(file).isWritable() || !QFileInfo(QFileInfo(file).absolutePath()).isWritable())
                throw DbError(u"数据库文件 %1 或其所在目录只读，程序无法写入"_s.arg(file));
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(m_dialect.driverName(), name);
        db.setDatabaseName(file);
        if (!db.open())
            throw DbError(db.lastError().text());
        // A file that is not a database opens lazily; the first statement tells. Several stations or a
        // maintenance program may hold the file, so writers wait for each other instead of failing.
        if (m_dialect.engine() == Dialect::Engine::SQLite)
            Sql::exec(db, u"PRAGMA busy_timeout = 5000"_s);
        if (mode == OpenMode::Existing)
            Catalogue::checkOwnDatabase(db, store, m_dialect, file);
        Catalogue::upgrade(db, store, m_dialect);
        if (mode == OpenMode::Existing)
            Catalogue::checkTables(db, store, m_dialect, file);
    };
    try {
        openOne(m_parametersName, parameters, Store::Parameters);
        openOne(m_weighingName, weighing, Store::Weighing);
    } catch (const DbError& e) {
        m_lastOpenError = e.text();
        close();
        return OpenResult::CannotOpen;
    }
    m_publicDataSet = QSqlQuery(weightdatabase());
    return OpenResult::Ok;
}

void DataModule::withWeighingClosed(const std::function<void()>& work)
{
    QSqlDatabase db = weightdatabase();
    m_publicDataSet = QSqlQuery();
    db.close();
    const auto reopen = [&] {
        if (!db.open())
            throw DbError(db.lastError().text());
        if (m_dialect.engine() == Dialect::Engine::SQLite)
            Sql::exec(db, u"PRAGMA busy_timeout = 5000"_s);
        m_publicDataSet = QSqlQuery(db);
    };
    try {
        work();
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

void DataModule::close()
{
    m_publicDataSet = QSqlQuery();
    for (const QString& name : {m_weighingName, m_parametersName}) {
        if (!QSqlDatabase::contains(name))
            continue;
        QSqlDatabase::database(name, false).close();
        QSqlDatabase::removeDatabase(name);
    }
}

void DataModule::WriteLog(const QString& operatorName, const QString& action, const QString& content)
{
    Sql::exec(weightdatabase(), u"INSERT INTO LogTab (操作人, 操作类型, 操作内容) VALUES (?, ?, ?)"_s,
              {operatorName, action, content.isNull() ? QString::fromLatin1("") : content});
}

void DataModule::InsertRow(const QString& table, const QString& columns, const QStringList& values)
{
    const QList<ColumnInfo> known = m_dialect.columns(weightdatabase(), table.trimmed());
    if (known.isEmpty())
        throw DbError(u"找不到数据表“%1”"_s.arg(table.trimmed()));
    QStringList names;
    QStringList placeholders;
    QVariantList bound;
    const QStringList requested = columns.split(u',');
    if (requested.size() != values.size())
        throw DbError(u"字段数目与数值数目不一致"_s);
    for (qsizetype i = 0; i < requested.size(); ++i) {
        const QString name = requested[i].trimmed();
        const auto column = std::find_if(known.begin(), known.end(), [&](const ColumnInfo& c) {
            return c.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (column == known.end())
            throw DbError(u"数据表“%1”中没有字段“%2”"_s.arg(table.trimmed(), name));
        names.append(m_dialect.quote(column->name));
        placeholders.append(u":A%1"_s.arg(i));
        bound.append(Dialect::toColumnValue(column->kind, values[i].trimmed(), column->name));
    }
    Sql::exec(weightdatabase(),
              u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(table.trimmed(), names.join(u','), placeholders.join(u',')),
              bound);
}

QSqlQuery& DataModule::OpenPublicDataSet(const QString& sql, const QVariantList& values)
{
    m_publicDataSet.finish();
    Sql::execOn(m_publicDataSet, sql, values);
    return m_publicDataSet;
}

QString DataModule::QueryScalar(const QString& sql, const QVariantList& values)
{
    const QVariant value = Sql::scalar(weightdatabase(), sql, values);
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return Dialect::dateTimeText(value.toDateTime());
    return value.toString();
}

QString DataModule::ReadIniString(const QString& section, const QString& key, const QString& def) const
{
    return IniFile(iniPath()).readString(section, key, def);
}

int DataModule::ReadIniInteger(const QString& section, const QString& key, int def) const
{
    return IniFile(iniPath()).readInteger(section, key, def);
}
