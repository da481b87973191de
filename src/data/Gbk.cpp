#include "Gbk.h"

#include <QStringDecoder>
#include <QStringEncoder>

QByteArray toGbk(const QString& text)
{
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless);
    return encoder(text);
}

QString fromGbk(const QByteArray& bytes)
{
    QStringDecoder decoder("GBK", QStringDecoder::Flag::Stateless);
    return decoder.decode(bytes);
}

bool fitsGbk(const QString& text)
{
    QStringEncoder encoder("GBK", QStringEncoder::Flag::Stateless | QStringEncoder::Flag::ConvertInvalidToNull);
    const QByteArray bytes = encoder(text);
    return !encoder.hasError() && fromGbk(bytes) == text;
}

qsizetype gbkLength(const QString& text)
{
    return toGbk(text).size();
}

bool looksLikeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(bytes);
    return !decoder.hasError() && !decoded.isNull();
}
