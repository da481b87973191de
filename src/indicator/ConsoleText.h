#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

/*
 * Text helpers of the test console: what is received is kept as bytes (one character per byte) and
 * shown with its control characters made visible.
 */

/** A character that may mark a frame: not a blank, "+", "-", a decimal digit or an ASCII letter. */
bool isFrameMark(char c);

/**
 * The most frequent character of the text that is not a blank, "+", "-", a decimal digit or an ASCII
 * letter, provided it occurs at least twice; among equal counts the one that occurs first wins.
 * Empty when no such character occurs twice.
 */
QByteArray GuessStartChar(QByteArrayView text);

/**
 * The bytes a hexadecimal send text stands for: characters that are no hexadecimal digits are
 * skipped; two adjacent digits form one byte, a digit on its own forms one byte.
 */
QByteArray HexTextToBytes(QByteArrayView text);

/** Each byte as two upper-case hexadecimal digits followed by one blank. */
QString BytesToHexText(QByteArrayView bytes);

/**
 * Received bytes as the console shows them: one character per byte (Latin-1), control characters as
 * their visible symbols (STX as ␂, CR as ␍, DEL as ␡, NUL as ␀).
 */
QString visibleText(QByteArrayView bytes);

/** A text with its control characters made visible, as visibleText does for bytes. */
QString visibleControls(const QString& text);
/** The reverse of visibleControls: the visible symbols of control characters become the characters. */
QString rawControls(const QString& text);

/**
 * The parameter search's odometer over the item indexes of the baud, parity, data bits and stop bits
 * boxes (fastest wheel first); an index of -1 (a text that is no item) stands before the first item.
 * No value once the stop bits box stood on its last item: the search has run through.
 */
std::optional<std::array<int, 4>> nextLineCombination(std::array<int, 4> indexes,
                                                      const std::array<int, 4>& itemCounts);

/** The received lines of the console's receive area, as bytes; the usage note counts as lines too. */
class ReceiveLog final
{
public:
    void setLines(const QList<QByteArray>& lines) { m_lines = lines; }
    void append(QByteArray line) { m_lines.append(std::move(line)); }
    void clear() { m_lines.clear(); }
    qsizetype lineCount() const { return m_lines.size(); }
    const QList<QByteArray>& lines() const { return m_lines; }
    /** The whole area: lines joined by CR LF. */
    QByteArray text() const { return m_lines.join("\r\n"); }

private:
    QList<QByteArray> m_lines;
};
