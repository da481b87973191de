#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

/** How the simulated indicator writes one reading. */
enum class FrameFormat {
    /** STX, sign, six digits, decimal position, two check characters (hexadecimal XOR), ETX. */
    Stx,
    /** "=" and seven characters with the lowest digit first; the receiver reverses the text. */
    Reversed,
};

std::optional<FrameFormat> frameFormatNamed(const QString& name);
QStringList frameFormatNames();
/** One frame for a weight in kilograms (whole kilograms). */
QByteArray makeFrame(FrameFormat format, double kg);
/** The model parameters that read the format, for the help text. */
QString frameFormatHelp();
