#pragma once

#include "FrameRule.h"

#include <QByteArray>
#include <QList>
#include <optional>

/*
 * Reading an unknown indicator from what it sent: how clean a reception looks, and which frame
 * parameters make the frame rule read a steady weight out of it.
 */

/** Frame parameters found in a stream, in the form the model boxes hold them. */
struct FrameProposal
{
    QByteArray startChar;
    /** False: the indicator sends the weight's digits lowest first; the window is reversed. */
    bool direction = true;
    int weightOffset = 0;
    int weightCount = 0;
    int signOffset = 0;
    int signCount = 0;
    /** The sign field's value of a negative weight; empty when the weight field carries its own sign. */
    QByteArray underloadSign;
    /** The last weight the parameters read from the stream. */
    double weight = 0;
    /** The layout was confirmed by the frame's check characters, not only read from its digits. */
    bool checked = false;

    FrameParameters parameters() const;
};

/** How a line setting's reception looks. */
struct ReceptionScore
{
    /** Share of printable bytes (ASCII text, blanks, CR, LF, STX, ETX); 0 when nothing arrived. */
    double clean = 0;
    /** A frame mark repeats at a constant distance. */
    bool framed = false;
    /** The frame parameters found; set only when the reception is clean and framed. */
    std::optional<FrameProposal> proposal;
    /**
     * Bytes that arrived against what the line carries at its rate (1: the line is full). A setting
     * that loses bytes to framing errors can still read a steady, wrong number from what is left.
     */
    double throughput = 0;

    /** Clean, framed and read, by a checked frame or on a full line: no other setting can do better. */
    bool decisive() const
    {
        return proposal.has_value() && clean >= 0.95 && (proposal->checked || throughput >= 0.8);
    }
    double value() const { return clean + (framed ? 1 : 0) + (proposal ? 1 : 0) + qMin(1.0, throughput); }
};

namespace FrameAnalysis {

/** A repeating frame: its mark and its length in bytes. */
struct Framing
{
    char mark = 0;
    int length = 0;
};

/**
 * The frame marks that repeat at one distance in at least four fifths of their gaps, best first (most
 * regular, then most frequent). Frames of 3 to 64 bytes.
 */
QList<Framing> framings(QByteArrayView stream);

/**
 * Frame parameters that read the chunks (in arrival order, as the serial line delivered them) through
 * the frame rule: at least half of the chunks must yield a weight. No value when no layout does.
 */
std::optional<FrameProposal> propose(const QList<QByteArray>& chunks);

ReceptionScore score(const QList<QByteArray>& chunks);

} // namespace FrameAnalysis
