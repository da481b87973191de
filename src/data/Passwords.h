#pragma once

#include <QString>

/** Password storage: Argon2id hashes (libsodium); no password is ever stored as text. */
namespace Passwords {

inline const QString AdminInitial = QStringLiteral("admin");
inline const QString NewUserInitial = QStringLiteral("123456");

/** A new salted hash of the password. */
QString hash(const QString& password);
/** True when the password matches the stored hash; false for anything that is not a hash. */
bool verify(const QString& password, const QString& storedHash);
/** The stored default of `users.用户密码`: a hash of the password every new user receives. */
QString newUserHash();

} // namespace Passwords
