#include "Passwords.h"

#include <sodium.h>

#include <stdexcept>

namespace Passwords {

namespace {

void ensureSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium could not be initialised");
}

} // namespace

QString hash(const QString& password)
{
    ensureSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                              crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return QString::fromLatin1(out);
}

bool verify(const QString& password, const QString& storedHash)
{
    ensureSodium();
    const QByteArray stored = storedHash.toLatin1();
    if (!storedHash.startsWith(QStringLiteral("$argon2")) || stored.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(stored.constData(), utf8.constData(),
                                    static_cast<unsigned long long>(utf8.size())) == 0;
}

QString newUserHash()
{
    // One fixed hash of "123456" serves as the column default, so a row added without a password value
    // gets the documented initial password. Its salt is public like the password itself.
    static const QString fixed = QStringLiteral("$argon2id$v=19$m=65536,t=2,p=1$0G22WZPnXgRbRdje3tffug$H7EIKegWAsuyrNJJj8aWj31kPjLytD9Za8jPiRyleoc");
    return fixed;
}

} // namespace Passwords
