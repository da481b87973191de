#include "UserStore.h"

#include "data/Catalogue.h"
#include "data/DataModule.h"
#include "data/Dialect.h"
#include "data/IniFile.h"
#include "data/Settings.h"
#include "platform/Clock.h"
#include "data/Passwords.h"
#include "data/Sql.h"

#include <QSqlRecord>

using namespace Qt::Literals::StringLiterals;

namespace UserStore {

namespace {

QMap<QString, bool> rightsFromRecord(const QSqlRecord& record)
{
    QMap<QString, bool> rights;
    for (const QString& right : Catalogue::windowRights() + Catalogue::menuRights())
        rights.insert(right, record.value(right).toBool());
    return rights;
}

} // namespace

QStringList userNames(const QSqlDatabase& db)
{
    QStringList names;
    QSqlQuery q = Sql::exec(db, u"SELECT 用户名称 FROM users"_s);
    while (q.next())
        names.append(q.value(0).toString());
    return names;
}

std::optional<QMap<QString, bool>> authenticate(const QSqlDatabase& db, const QString& name,
                                                const QString& password)
{
    QSqlQuery q = Sql::exec(db, u"SELECT * FROM users WHERE lower(用户名称) = lower(?)"_s, {name});
    while (q.next()) {
        if (Passwords::verify(password, q.value(u"用户密码"_s).toString()))
            return rightsFromRecord(q.record());
    }
    return std::nullopt;
}

QMap<QString, bool> rightsOf(const QSqlDatabase& db, const QString& name)
{
    QSqlQuery q = Sql::exec(db, u"SELECT * FROM users WHERE lower(用户名称) = lower(?)"_s, {name});
    if (q.next())
        return rightsFromRecord(q.record());
    return rightsFromRecord(QSqlRecord());
}

QString nextShiftStart(const QSqlDatabase& db)
{
    const QVariant max = Sql::scalar(db, u"SELECT max(编号) AS ID FROM weight"_s);
    return max.isNull() ? u"1"_s : QString::number(max.toLongLong() + 1);
}

void setPassword(const QSqlDatabase& db, const QString& name, const QString& password)
{
    const QString hash = Passwords::hash(password);
    // The exact name first, so two old names that differ only in letter case keep their own passwords.
    QSqlQuery exact = Sql::exec(db, u"UPDATE users SET 用户密码 = ? WHERE 用户名称 = ?"_s, {hash, name});
    if (exact.numRowsAffected() == 0)
        Sql::exec(db, u"UPDATE users SET 用户密码 = ? WHERE lower(用户名称) = lower(?)"_s, {hash, name});
}

std::optional<LoginOutcome> logIn(DataModule& dm, const Clock& clock, const QString& name, const QString& password,
                                  bool startShift)
{
    const auto rights = authenticate(dm.weightdatabase(), name, password);
    if (!rights)
        return std::nullopt;
    IniFile ini(dm.iniPath());
    LoginOutcome outcome{*rights, ini.read(Option::ImeName)};
    if (startShift) {
        ini.write(Option::ShiftStartRecord, nextShiftStart(dm.weightdatabase()));
        ini.write(Option::ShiftStartTime, clock.now().toString(u"yyyy-MM-dd HH:mm:ss"_s));
    }
    dm.WriteLog(name, u"登录"_s, QString());
    return outcome;
}

std::optional<QString> nameProblem(const QSqlDatabase& db, const Dialect& dialect, const QString& typed,
                                   const QVariant& original)
{
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return u"用户名称不能为空"_s;
    if (original.isValid() && name.compare(original.toString().trimmed(), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    const QString sql =
        u"SELECT count(*) FROM users WHERE lower(trim(%1)) = lower(?)"_s.arg(dialect.quote(u"用户名称"_s));
    if (Sql::scalar(db, sql, {name}).toInt() > 0)
        return u"用户名称“%1”已经存在"_s.arg(name);
    return std::nullopt;
}

UserFilter listedUsers(const Dialect& dialect, const std::optional<QString>& name)
{
    const QString column = dialect.quote(u"用户名称"_s);
    UserFilter filter{u"coalesce(lower(%1), '') <> ?"_s.arg(column), {u"admin"_s}};
    if (name) {
        filter.where += u" AND lower(%1) = lower(?)"_s.arg(column);
        filter.values.append(*name);
    }
    return filter;
}

} // namespace UserStore
