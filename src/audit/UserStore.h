#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>

class Clock;
class DataModule;
class Dialect;

/** What a successful login hands to the program. */
struct LoginOutcome
{
    QMap<QString, bool> rights;
    /** [Ime] Ime: the input method of Chinese input boxes. */
    QString imeName;
};

/** Users, their passwords and rights in the table `users`; every statement throws DbError. */
namespace UserStore {

/**
 * The login: checks name and password; on success, with `startShift`, marks the shift's first record
 * and time in the settings file, writes the "登录" log entry, and returns the rights. Nothing is
 * written when the check fails (nullopt).
 */
std::optional<LoginOutcome> logIn(DataModule& dm, const Clock& clock, const QString& name, const QString& password,
                                  bool startShift);

/** A condition on `users` with its bound values, for the user management grid. */
struct UserFilter
{
    QString where;
    QVariantList values;
};

/**
 * The users the management grid lists: everyone but admin (hidden from every user), or only the user
 * named `name` (letter case ignored) when it is given.
 */
UserFilter listedUsers(const Dialect& dialect, const std::optional<QString>& name = std::nullopt);

/**
 * Why a typed user name cannot be stored: empty, or held by another user (letter case ignored). A user
 * whose name is unchanged passes; `original` is the name as loaded, invalid for a new row.
 */
std::optional<QString> nameProblem(const QSqlDatabase& db, const Dialect& dialect, const QString& typed,
                                   const QVariant& original);

/** Every user name in the order the table returns them (admin included). */
QStringList userNames(const QSqlDatabase& db);

/**
 * The rights of the user whose name matches (letter case ignored) and whose password verifies against
 * the stored hash; nothing when no such user exists. Quotes in name or password are plain characters.
 */
std::optional<QMap<QString, bool>> authenticate(const QSqlDatabase& db, const QString& name,
                                                const QString& password);

/** The rights of a user by name (letter case ignored); all false when the user is unknown. */
QMap<QString, bool> rightsOf(const QSqlDatabase& db, const QString& name);

/** First record number of a new shift: the largest 编号 of `weight` plus one, "1" when empty. */
QString nextShiftStart(const QSqlDatabase& db);

/** Stores a new hash for the user's password. */
void setPassword(const QSqlDatabase& db, const QString& name, const QString& password);

} // namespace UserStore
