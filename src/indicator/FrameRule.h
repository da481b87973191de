#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

/*
 * The frame rule: how a weight is cut out of the text an indicator streams. The text is handled byte by
 * byte; every byte is one character (a byte above 0x7F too), so positions never depend on an encoding.
 */

/** The frame parameters of an indicator model, converted once for cutting. */
struct FrameParameters
{
    /** False: the window is reversed before it is cut. */
    bool direction = true;
    /** Start text; empty: offsets count from the window's start. */
    QByteArray startText;
    /** The start text holds a character that no byte can be; it then never occurs. */
    bool startTextUnmatchable = false;
    /** Offsets and counts; no value when the stored text is not an integer (every cut then fails). */
    std::optional<int> weightOffset;
    std::optional<int> weightCount;
    std::optional<int> signOffset;
    std::optional<int> signCount;
    /** The sign field's value that makes a weight negative; no value: nothing does. */
    std::optional<QByteArray> underloadSign;

    /** From the texts of a model (or of the setup window's boxes). */
    static FrameParameters fromTexts(bool direction, const QString& StarChar, const QString& StarWeightChar,
                                     const QString& WeightCharCount, const QString& StarOrderChar,
                                     const QString& OrderCharCount, const QString& OrderChar1);
};

/** What the cut found in one window. */
struct FrameFields
{
    QByteArray weight;
    QByteArray sign;
    bool negative = false;
};

/** The previous two chunks of one reader; each reader keeps its own for as long as it lives. */
class FrameHistory final
{
public:
    /**
     * Takes the chunk up to its first NUL byte, returns the window (older chunk + previous chunk + this
     * one) and shifts the history, whatever later becomes of the window.
     */
    QByteArray push(QByteArrayView chunk);

private:
    QByteArray m_older;
    QByteArray m_previous;
};

namespace FrameRule {

/**
 * Cuts the weight and sign fields out of a window. No value when an offset or count is not an integer,
 * when a non-empty start text does not occur in the window, or when the weight field runs past the end
 * of the window. A start index below 1 counts as 1; the sign field is cut short at the window's end.
 */
std::optional<FrameFields> cut(QByteArrayView window, const FrameParameters& parameters);

/**
 * A weight field as a decimal number: "." as decimal point, an optional sign, no exponent,
 * blanks around it tolerated. No value for anything else (empty, letters, infinities).
 */
std::optional<double> toNumber(QByteArrayView field);

/**
 * One chunk through the whole rule: window and history shift, cut, sign and conversion. The weight as
 * the indicator sent it, negative when the sign field matched; no value when the chunk yields none.
 */
std::optional<double> read(QByteArrayView chunk, FrameHistory& history, const FrameParameters& parameters);

} // namespace FrameRule
