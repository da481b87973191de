#include "Pinyin.h"

#include "Gbk.h"

namespace {

struct Range
{
    char letter;
    int from;
    int to;
};

// GB2312 level-1 characters are ordered by pinyin; each letter owns one range of codes.
constexpr Range Ranges[] = {
    {'A', 45217, 45252}, {'B', 45253, 45760}, {'C', 45761, 46317}, {'D', 46318, 46825}, {'E', 46826, 47009},
    {'F', 47010, 47296}, {'G', 47297, 47613}, {'H', 47614, 48118}, {'J', 48119, 49061}, {'K', 49062, 49323},
    {'L', 49324, 49895}, {'M', 49896, 50370}, {'N', 50371, 50613}, {'O', 50614, 50621}, {'P', 50622, 50905},
    {'Q', 50906, 51386}, {'R', 51387, 51445}, {'S', 51446, 52217}, {'T', 52218, 52697}, {'W', 52698, 52979},
    {'X', 52980, 53640}, {'Y', 53689, 54480}, {'Z', 54481, 55289},
};

} // namespace

QChar PinyinInitial(const QByteArray& gbkBytes)
{
    if (gbkBytes.isEmpty())
        return QLatin1Char(' ');
    const int high = static_cast<unsigned char>(gbkBytes[0]);
    const int low = gbkBytes.size() > 1 ? static_cast<unsigned char>(gbkBytes[1]) : 0;
    const int code = high * 256 + low;
    for (const Range& r : Ranges)
        if (code >= r.from && code <= r.to)
            return QLatin1Char(r.letter);
    return QLatin1Char(' ');
}

QChar PinyinInitial(const QString& text)
{
    return PinyinInitial(toGbk(text));
}
