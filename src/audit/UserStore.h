#pragma once

#include <QMap>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <optional>

/** Users, their passwords and rights in the table `users`; every statement throws DbError. */
namespace UserStore {

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
