#include "FrameRule.h"

#include <charconv>
#include <cmath>

namespace {

std::optional<int> integerOf(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

/** The text as bytes, one per character; no value when a character does not fit in a byte. */
std::optional<QByteArray> bytesOf(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
        bytes.append(char(c.unicode()));
    }
    return bytes;
}

/** 1-based start and a count, as qint64 so that no stored offset can overflow. */
struct Span
{
    qint64 start;
    qint64 count;
};

Span spanAt(qint64 p, int offset, int count)
{
    return {qMax<qint64>(1, p + offset), count};
}

} // namespace

FrameParameters FrameParameters::fromTexts(bool direction, const QString& StarChar,
                                           const QString& StarWeightChar, const QString& WeightCharCount,
                                           const QString& StarOrderChar, const QString& OrderCharCount,
                                           const QString& OrderChar1)
{
    FrameParameters p;
    p.direction = direction;
    const std::optional<QByteArray> start = bytesOf(StarChar);
    p.startText = start.value_or(QByteArray());
    p.startTextUnmatchable = !start;
    p.weightOffset = integerOf(StarWeightChar);
    p.weightCount = integerOf(WeightCharCount);
    p.signOffset = integerOf(StarOrderChar);
    p.signCount = integerOf(OrderCharCount);
    // An empty underload text would match every empty sign field and turn every weight negative.
    if (!OrderChar1.isEmpty())
        p.underloadSign = bytesOf(OrderChar1);
    return p;
}

QByteArray FrameHistory::push(QByteArrayView chunk)
{
    const qsizetype nul = chunk.indexOf('\0');
    const QByteArrayView text = nul < 0 ? chunk : chunk.first(nul);
    QByteArray window;
    window.reserve(m_older.size() + m_previous.size() + text.size());
    window.append(m_older).append(m_previous).append(text);
    m_older = std::move(m_previous);
    m_previous = text.toByteArray();
    return window;
}

namespace FrameRule {

std::optional<FrameFields> cut(QByteArrayView window, const FrameParameters& parameters)
{
    if (!parameters.weightOffset || !parameters.weightCount || !parameters.signOffset ||
        !parameters.signCount)
        return std::nullopt;
    QByteArray reversed;
    if (!parameters.direction) {
        reversed = window.toByteArray();
        std::reverse(reversed.begin(), reversed.end());
        window = reversed;
    }

    qint64 p = 0;
    if (!parameters.startText.isEmpty() || parameters.startTextUnmatchable) {
        const qsizetype found =
            parameters.startTextUnmatchable ? -1 : window.indexOf(QByteArrayView(parameters.startText));
        // Cutting from the window's start instead reads start-up fragments as weights no frame held.
        if (found < 0)
            return std::nullopt;
        p = found + 1;
    }
    const qint64 length = window.size();

    const Span weight = spanAt(p, *parameters.weightOffset, *parameters.weightCount);
    FrameFields fields;
    if (weight.count > 0) {
        // A weight field cut short by the window's end would read a split frame as a smaller weight.
        if (weight.start + weight.count - 1 > length)
            return std::nullopt;
        fields.weight = window.sliced(weight.start - 1, weight.count).toByteArray();
    }

    const Span sign = spanAt(p, *parameters.signOffset, *parameters.signCount);
    if (sign.count > 0 && sign.start <= length)
        fields.sign = window.sliced(sign.start - 1, qMin(sign.count, length - sign.start + 1)).toByteArray();

    fields.negative = parameters.underloadSign && fields.sign == *parameters.underloadSign;
    return fields;
}

std::optional<double> toNumber(QByteArrayView field)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && field[begin] == ' ')
        ++begin;
    while (end > begin && field[end - 1] == ' ')
        --end;
    bool negative = false;
    if (begin < end && (field[begin] == '+' || field[begin] == '-')) {
        negative = field[begin] == '-';
        ++begin;
    }
    int digits = 0;
    int points = 0;
    for (qsizetype i = begin; i < end; ++i) {
        if (field[i] >= '0' && field[i] <= '9')
            ++digits;
        else if (field[i] == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    double value = 0;
    const char* first = field.data() + begin;
    const char* last = field.data() + end;
    const auto [stop, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc() || stop != last || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<double> read(QByteArrayView chunk, FrameHistory& history, const FrameParameters& parameters)
{
    const QByteArray window = history.push(chunk);
    const std::optional<FrameFields> fields = cut(window, parameters);
    if (!fields)
        return std::nullopt;
    const std::optional<double> number = toNumber(fields->weight);
    if (!number)
        return std::nullopt;
    return fields->negative ? -*number : *number;
}

} // namespace FrameRule
