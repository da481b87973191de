#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <deque>
#include <optional>

/** How bytes travel on an asynchronous serial line: rate, parity, data bits and stop bits. */
struct LineCoding
{
    enum class Parity { None, Odd, Even, Mark, Space };

    int rate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 1;

    /** Start bit, data bits, parity bit and stop bits. */
    int bitsPerByte() const { return 1 + dataBits + (parity == Parity::None ? 0 : 1) + stopBits; }
    bool operator==(const LineCoding&) const = default;
};

std::optional<LineCoding::Parity> parityNamed(const QString& name);

/**
 * A line from a sender at one coding to a receiver at another: the sender's bytes become the bit stream
 * on the wire, and the receiver reads it as a UART does (it waits for a falling edge, samples each bit
 * in its middle at its own rate, checks only the first stop bit, drops a byte whose stop bit is missing
 * and does not check parity, as Qt Serial Port sets a line up). At equal rate, parity and data bits the
 * bytes pass unchanged.
 */
class LineChannel final
{
public:
    explicit LineChannel(const LineCoding& sender) : m_sender(sender), m_receiver(sender) {}

    /** The receiver changed its settings: what was on the line for the old ones is gone. */
    void setReceiver(const LineCoding& receiver);
    const LineCoding& receiver() const { return m_receiver; }
    /** What the receiver reads of these bytes, as far as their bits allow; the rest follows later. */
    QByteArray carry(QByteArrayView bytes);

private:
    bool bitAt(double t) const;
    bool available(double t) const;

    LineCoding m_sender;
    LineCoding m_receiver;
    /** Bits on the wire not yet passed by the receiver; m_first is the index of the front one. */
    std::deque<bool> m_bits;
    qint64 m_first = 0;
    /** The receiver's position on the wire, in sender bit times. */
    double m_at = 0;
};
