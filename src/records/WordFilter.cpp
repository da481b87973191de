#include "WordFilter.h"

#include "data/Errors.h"
#include "data/Dialect.h"
#include "data/Gbk.h"
#include "data/Pinyin.h"
#include "data/Sql.h"
#include "data/WeightDerived.h"

#include <QSqlDatabase>

using namespace Qt::Literals::StringLiterals;

namespace {

QString realTableName(const QSqlDatabase& db, const QString& table)
{
    const QString wanted = table.trimmed();
    const QStringList tables = db.tables(QSql::Tables);
    for (const QString& name : tables)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    throw DbError(u"找不到数据表“%1”"_s.arg(wanted));
}

QString realColumnName(const QSqlDatabase& db, const Dialect& dialect, const QString& table,
                       const QString& field)
{
    const QList<ColumnInfo> columns = dialect.columns(db, table);
    for (const ColumnInfo& column : columns)
        if (column.name.compare(field, Qt::CaseInsensitive) == 0)
            return column.name;
    throw DbError(u"数据表“%1”中没有字段“%2”"_s.arg(table, field));
}

QString asText(const QVariant& value)
{
    if (value.isNull())
        return QString::fromLatin1("");
    if (value.metaType().id() == QMetaType::QDateTime)
        return Dialect::dateTimeText(value.toDateTime());
    return value.toString();
}

} // namespace

WordFilter::WordFilter(const QStringList& words) : m_words(words)
{
    m_codes.reserve(words.size());
    for (const QString& word : words)
        m_codes.append(PinyinCode(word));
}

QString WordFilter::PinyinCode(const QString& word)
{
    const QByteArray bytes = toGbk(word);
    QString code;
    code.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        code.append(PinyinInitial(bytes.mid(i, 2)));
    return code;
}

QString WordFilter::normalizedInitials(const QString& typed)
{
    return typed.toUpper();
}

QStringList WordFilter::matching(const QString& typed) const
{
    const QString initials = normalizedInitials(typed);
    QStringList result;
    for (qsizetype i = 0; i < m_words.size(); ++i)
        if (initials.isEmpty() || m_codes[i].startsWith(initials))
            result.append(m_words[i]);
    return result;
}

QStringList WordFilter::distinctValues(const QSqlDatabase& db, const Dialect& dialect, const QString& field,
                                       const QString& table)
{
    const QString realTable = realTableName(db, table);
    const QString name = realColumnName(db, dialect, realTable, field.trimmed());
    if (realTable == u"weight"_s)
        if (const std::optional<QStringList> kept = WeightDerived::words(db, dialect, name))
            return *kept;
    const QString column = dialect.quote(name);
    QSqlQuery query =
        Sql::exec(db, u"SELECT DISTINCT %1 FROM %2 ORDER BY %1"_s.arg(column, dialect.quote(realTable)));
    QStringList words;
    while (query.next())
        words.append(asText(query.value(0)));
    return words;
}
