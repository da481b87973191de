#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>

/**
 * First letter of the pinyin reading of the GB2312 level-1 character in the first two bytes, upper
 * case; a blank for anything else (ASCII, level-2 characters, symbols). A one-byte text pairs its byte
 * with a terminating zero.
 */
QChar PinyinInitial(const QByteArray& gbkBytes);
/** The same on the GBK form of a text. */
QChar PinyinInitial(const QString& text);
