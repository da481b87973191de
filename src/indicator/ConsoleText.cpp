#include "ConsoleText.h"

#include <QHash>

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QChar visibleChar(char16_t c)
{
    if (c < 0x20)
        return QChar(char16_t(0x2400 + c));
    if (c == 0x7F)
        return QChar(char16_t(0x2421));
    return QChar(c);
}

} // namespace

bool isFrameMark(char c)
{
    const auto u = uchar(c);
    const bool letterOrDigit = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
    return !letterOrDigit && u != ' ' && u != '+' && u != '-';
}

QByteArray GuessStartChar(QByteArrayView text)
{
    std::array<int, 256> counts{};
    std::array<qsizetype, 256> first{};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (!isFrameMark(c))
            continue;
        if (counts[uchar(c)]++ == 0)
            first[uchar(c)] = i;
    }
    int best = -1;
    for (int c = 0; c < 256; ++c) {
        if (counts[c] < 2)
            continue;
        if (best < 0 || counts[c] > counts[best] || (counts[c] == counts[best] && first[c] < first[best]))
            best = c;
    }
    return best < 0 ? QByteArray() : QByteArray(1, char(best));
}

QByteArray HexTextToBytes(QByteArrayView text)
{
    QByteArray bytes;
    qsizetype i = 0;
    while (i < text.size()) {
        const int high = hexDigit(text[i]);
        if (high < 0) {
            ++i;
            continue;
        }
        const int low = i + 1 < text.size() ? hexDigit(text[i + 1]) : -1;
        bytes.append(char(low < 0 ? high : high * 16 + low));
        i += 2;
    }
    return bytes;
}

QString BytesToHexText(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size() * 3);
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    for (const char c : bytes) {
        text.append(QChar(Digits[uchar(c) >> 4]));
        text.append(QChar(Digits[uchar(c) & 0xF]));
        text.append(u' ');
    }
    return text;
}

QString visibleText(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes)
        text.append(visibleChar(uchar(c)));
    return text;
}

QString visibleControls(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text)
        shown.append(visibleChar(c.unicode()));
    return shown;
}

QString rawControls(const QString& text)
{
    QString raw;
    raw.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x2400 && u < 0x2420)
            raw.append(QChar(char16_t(u - 0x2400)));
        else if (u == 0x2421)
            raw.append(QChar(char16_t(0x7F)));
        else
            raw.append(c);
    }
    return raw;
}

std::optional<std::array<int, 4>> nextLineCombination(std::array<int, 4> indexes,
                                                      const std::array<int, 4>& itemCounts)
{
    for (size_t wheel = 0; wheel < indexes.size(); ++wheel) {
        if (indexes[wheel] < itemCounts[wheel] - 1) {
            ++indexes[wheel];
            return indexes;
        }
        if (wheel + 1 == indexes.size())
            return std::nullopt;
        indexes[wheel] = 0;
    }
    return std::nullopt;
}
