#pragma once

#include <QByteArray>
#include <QString>

/** Text in the Chinese (GBK) code page; characters GBK cannot hold become '?'. */
QByteArray toGbk(const QString& text);
QString fromGbk(const QByteArray& bytes);
/** True when GBK holds every character of the text. */
bool fitsGbk(const QString& text);
/** Length of the text in GBK bytes: a Chinese character counts two. */
qsizetype gbkLength(const QString& text);
/** True when the bytes are valid UTF-8 that is not plain ASCII-compatible GBK by accident. */
bool looksLikeUtf8(const QByteArray& bytes);
