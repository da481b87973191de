#pragma once

#include "Dialect.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>

/**
 * The data module: the program folder, the two database connections and the small shared operations
 * every window uses. All failures of statements throw DbError with the database's text.
 */
class DataModule final
{
public:
    enum class OpenResult { Ok, MissingFile, CannotOpen };

    inline static const QString MissingFileMessage = QStringLiteral("数据配置文件没有找到,系统初始化失败！");
    inline static const QString CannotOpenMessage = QStringLiteral("系统初始化失败！");
    inline static const QString FatalTitle = QStringLiteral("严重错误！");

    explicit DataModule(QString programFolder, Dialect dialect = Dialect());
    ~DataModule();
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;

    /** Existing: only this program's databases open. Create: empty files receive the catalogue. */
    enum class OpenMode { Existing, Create };

    /**
     * Checks both files, opens `Para.wdv` then `Pcomm.dll`, and brings their schema up to date. With
     * OpenMode::Existing a file without the program's schema version or missing a catalogue table, and a
     * file the program cannot write, is refused (CannotOpen) and left untouched.
     */
    OpenResult open(OpenMode mode = OpenMode::Existing);
    /** Why the last open failed, for the log of an installer; the user sees only the fixed messages. */
    QString lastOpenError() const { return m_lastOpenError; }
    void close();
    /**
     * Closes the weighing connection (every open result on it ends), runs `work`, and opens the
     * connection again, also when `work` throws. Throws DbError when it cannot be opened again.
     */
    void withWeighingClosed(const std::function<void()>& work);

    QString ProgramFolder() const { return m_folder; }
    QString path(const QString& relative) const;
    QString iniPath() const { return path(QStringLiteral("Option.ini")); }
    const Dialect& dialect() const { return m_dialect; }
    QSqlDatabase weightdatabase() const;
    QSqlDatabase Parameters() const;

    /** One `LogTab` row: operator, action, content (may be empty). */
    void WriteLog(const QString& operatorName, const QString& action, const QString& content);
    /**
     * Inserts one row: `columns` comma-separated in the order of `values`; every value is trimmed and
     * converted to its column's type (a text that does not convert throws ConversionError).
     */
    void InsertRow(const QString& table, const QString& columns, const QStringList& values);
    /** Runs one SELECT on the weighing database and returns it positioned before the first row. */
    QSqlQuery& OpenPublicDataSet(const QString& sql, const QVariantList& values = {});
    /** First field of the first row as text; empty when there is no row or the value is null. */
    QString QueryScalar(const QString& sql, const QVariantList& values = {});
    QString ReadIniString(const QString& section, const QString& key, const QString& def) const;
    int ReadIniInteger(const QString& section, const QString& key, int def) const;

private:
    QString m_folder;
    Dialect m_dialect;
    QString m_weighingName;
    QString m_parametersName;
    QString m_lastOpenError;
    QSqlQuery m_publicDataSet;
};
